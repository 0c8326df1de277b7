#pragma once
// An off-screen 24-bit RGB image with its own drawing surface (a top-down DIB
// section selected into a memory device context). A new or resized bitmap is
// all white.
#include "ui/PngDraw.h"
#include "util/WinHandle.h"

class TPngPicture;

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void SetSize(int width, int height);
    void SetHeight(int height) { SetSize(FWidth, height); }
    void SetWidth(int width) { SetSize(width, FHeight); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    HDC DC() const { return FDC.Get(); }
    TBgrSurface Surface() const;

    // The picture's size, all white, then the picture drawn at (0, 0) by the PNG rule.
    void AssignPng(const TPngPicture& picture);
    // A pixel-exact copy of another bitmap.
    void Assign(const TBitmap& source);

    // Red, green and blue of one pixel as a COLORREF (tests and diagnostics).
    COLORREF Pixel(int x, int y) const;

private:
    // Declared before the DC so that the DC is deleted first, releasing the bitmap.
    TGdiObject FBitmap;
    TMemoryDC FDC;
    std::uint8_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};
