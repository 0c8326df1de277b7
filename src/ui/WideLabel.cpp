#include "ui/WideLabel.h"

#include "ui/Canvas.h"

TWideLabel::TWideLabel(TWinControl& parent, int left, int top, int width, int height) : TGraphicControl(parent) {
    FCapturesMouse = false;
    TControl::SetBounds(left, top, width, height);
    SetFont(TFontSpec{});
}

void TWideLabel::SetCaption(const std::wstring& value) {
    FCaption = value;
    Repaint();
}

void TWideLabel::SetFont(const TFontSpec& spec) {
    FFontSpec = spec;
    FFont = CreateFontFromSpec(spec);
    Invalidate();
}

void TWideLabel::SetEllipsis(bool value) {
    FEllipsis = value;
    Invalidate();
}

UINT TWideLabel::TextFormat() const {
    return DT_CENTER | DT_TOP | DT_EXPANDTABS | (FEllipsis ? DT_END_ELLIPSIS : 0u);
}

void TWideLabel::Paint(TCanvas& canvas) {
    const HDC dc = canvas.Handle();
    SelectObject(dc, FFont.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColor(FFontSpec.Color));
    RECT box = ClientRect();
    DrawTextW(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &box, TextFormat());
}
