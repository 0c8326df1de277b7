#include "ui/Bitmap.h"

#include "ui/PngPicture.h"

#include <cstring>
#include <stdexcept>

namespace {
int StrideOf(int width) {
    return (width * 3 + 3) & ~3;
}
} // namespace

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0)
        throw std::invalid_argument("TBitmap::SetSize: negative size");
    if (!FDC) {
        FDC.Reset(CreateCompatibleDC(nullptr));
        if (!FDC)
            throw std::runtime_error("CreateCompatibleDC failed");
    }
    FWidth = width;
    FHeight = height;
    FBits = nullptr;
    if (width == 0 || height == 0) {
        // A fresh DC holds its stock bitmap, so ours is no longer selected when it is deleted.
        FDC.Reset(CreateCompatibleDC(nullptr));
        FBitmap.Reset();
        if (!FDC)
            throw std::runtime_error("CreateCompatibleDC failed");
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        throw std::runtime_error("CreateDIBSection failed");
    std::memset(bits, 0xFF, static_cast<std::size_t>(StrideOf(width)) * height);
    SelectObject(FDC.Get(), bitmap.Get());
    FBitmap = std::move(bitmap); // the previous bitmap, no longer selected, is deleted here
    FBits = static_cast<std::uint8_t*>(bits);
}

TBgrSurface TBitmap::Surface() const {
    GdiFlush(); // GDI may still hold drawing for the section
    return TBgrSurface{FBits, FWidth, FHeight, StrideOf(FWidth)};
}

void TBitmap::AssignPng(const TPngPicture& picture) {
    SetSize(picture.Width(), picture.Height());
    DrawRgba(picture.View(), Surface(), 0, 0, FWidth, FHeight);
}

void TBitmap::Assign(const TBitmap& source) {
    SetSize(source.FWidth, source.FHeight);
    if (FBits)
        std::memcpy(FBits, source.Surface().Bits, static_cast<std::size_t>(StrideOf(FWidth)) * FHeight);
}

COLORREF TBitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        throw std::out_of_range("TBitmap::Pixel");
    const std::uint8_t* p = Surface().Bits + static_cast<std::size_t>(y) * StrideOf(FWidth) + x * 3;
    return RGB(p[2], p[1], p[0]);
}
