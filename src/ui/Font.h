#pragma once
// A font request by face, height (negative: character height without internal
// leading), weight and character set; the platform matches the nearest font.
#include "util/WinHandle.h"

struct TFontSpec {
    const wchar_t* Face = L"MS Sans Serif";
    int Height = -11;
    int Weight = FW_NORMAL;
    BYTE Charset = DEFAULT_CHARSET;
    COLORREF Color = 0x80000000u | COLOR_WINDOWTEXT;
};

inline TGdiObject CreateFontFromSpec(const TFontSpec& spec) {
    return TGdiObject(CreateFontW(spec.Height, 0, 0, 0, spec.Weight, FALSE, FALSE, FALSE, spec.Charset,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  spec.Face));
}
