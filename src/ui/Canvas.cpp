#include "ui/Canvas.h"

#include "ui/Bitmap.h"
#include "ui/PngPicture.h"
#include "util/WinHandle.h"

#include <algorithm>

COLORREF ResolveColor(COLORREF color) {
    if (color & 0x80000000u)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color;
}

void TCanvas::DrawPng(const TPngPicture& picture, int x, int y) {
    StretchDrawPng(picture, RECT{x, y, x + picture.Width(), y + picture.Height()});
}

void TCanvas::StretchDrawPng(const TPngPicture& picture, const RECT& rect) {
    if (picture.Empty() || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    // Only the part that can show: the rectangle within the DC's clip box.
    RECT clip{};
    if (GetClipBox(FDC, &clip) == ERROR)
        return;
    RECT area{};
    if (!IntersectRect(&area, &rect, &clip))
        return;
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    TBitmap scratch(w, h);
    BitBlt(scratch.DC(), 0, 0, w, h, FDC, area.left, area.top, SRCCOPY);
    DrawRgba(picture.View(), scratch.Surface(), rect.left - area.left, rect.top - area.top, rect.right - rect.left,
             rect.bottom - rect.top);
    BitBlt(FDC, area.left, area.top, w, h, scratch.DC(), 0, 0, SRCCOPY);
}

void TCanvas::FillRect(const RECT& rect, COLORREF color) {
    TGdiObject brush(CreateSolidBrush(ResolveColor(color)));
    ::FillRect(FDC, &rect, static_cast<HBRUSH>(brush.Get()));
}
