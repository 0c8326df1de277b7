#pragma once
// A windowless label with UTF-16 text: drawn with DrawTextW into its box,
// horizontally centred, from the top, tabs expanded, no word wrap; "&" marks an
// accelerator ("&&" draws one "&"). It paints no background of its own.
#include "ui/Font.h"
#include "ui/GraphicControl.h"

#include <string>

class TWideLabel : public TGraphicControl {
public:
    TWideLabel(TWinControl& parent, int left, int top, int width, int height);

    const std::wstring& Caption() const { return FCaption; }
    // Repaints at once: the parent's area beneath the box, then the new text.
    void SetCaption(const std::wstring& value);

    const TFontSpec& Font() const { return FFontSpec; }
    void SetFont(const TFontSpec& spec);
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool value);

    // The DrawTextW format used for the caption.
    UINT TextFormat() const;
    void Paint(TCanvas& canvas) override;

private:
    std::wstring FCaption;
    TFontSpec FFontSpec;
    TGdiObject FFont;
    bool FEllipsis = false;
};
