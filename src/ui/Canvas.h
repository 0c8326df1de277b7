#pragma once
// Drawing on a device context: PNG pictures by the blending rule, fills and
// saved drawing states. PNG drawing reads the destination back into a small
// off-screen bitmap, blends there and writes the result through the DC's clip,
// so it works the same on a window, a memory DC or a printing DC.
#include <windows.h>

class TPngPicture;

class TCanvas {
public:
    explicit TCanvas(HDC dc) : FDC(dc) {}
    HDC Handle() const { return FDC; }

    // Unscaled at (x, y).
    void DrawPng(const TPngPicture& picture, int x, int y);
    // Scaled into the rectangle by nearest-neighbour sampling.
    void StretchDrawPng(const TPngPicture& picture, const RECT& rect);
    void FillRect(const RECT& rect, COLORREF color);

private:
    HDC FDC;
};

// Saves the DC's drawing state (origin, clip, selected objects) for one scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
    ~TSavedDC() {
        if (FSaved)
            RestoreDC(FDC, FSaved);
    }

private:
    HDC FDC;
    int FSaved;
};

// A COLORREF for a colour that may name a system colour (high byte 0x80 plus
// the GetSysColor index), as the controls' Color properties allow.
COLORREF ResolveColor(COLORREF color);
constexpr COLORREF SystemColor(int index) {
    return 0x80000000u | static_cast<COLORREF>(index);
}
