#pragma once
// A container control with its own window that paints a picture as its
// background. Each repaint composes the whole panel in a fresh off-screen bitmap
// (the parent's picture first when Transparent is on, then the picture, then
// the caption) and copies it in one operation; background erases are ignored,
// so nothing flickers.
#include "ui/Font.h"
#include "ui/PngPicture.h"
#include "ui/WinControl.h"

#include <string>

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBevelCut { bvNone, bvLowered, bvRaised };

class TImgPanel : public TWinControl {
public:
    // parentWindow: the form or the parent control's window. foreignParent marks a
    // panel hosted in a window that is not a control of this program (a plugin
    // host): it has no parent control to copy a background from.
    TImgPanel(HWND parentWindow, int left, int top, int width = 185, int height = 41, bool foreignParent = false);
    ~TImgPanel() override = default;

    const TPngPicture& Picture() const { return FPicture; }
    void SetPicture(const TPngPicture& value);
    bool Transparent() const { return FTransparent; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value) { FStretch = value; }
    bool TitleBar() const { return FTitleBar; }
    void SetTitleBar(bool value) { FTitleBar = value; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value) { FAlign = value; }
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value) { FBevelInner = value; }
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value) { FBevelOuter = value; }
    const TFontSpec& Font() const { return FFontSpec; }
    void SetFont(const TFontSpec& spec);

    // The caption's fixed top-left corner; -1 in either means "placed by Alignment".
    int CaptionLeft() const { return FCaptionLeft; }
    int CaptionTop() const { return FCaptionTop; }
    void SetCaptionPosition(int left, int top);
    const RECT& CaptionRect() const { return FCaptionRect; }

    TNotifyEvent OnResize;

    virtual void SetTransparent(bool value);

protected:
    void Paint(TCanvas& canvas) override;
    bool EraseBackground(HDC dc) override;
    void Resize() override;

    // Added operations, for descendants.
    virtual void ClearBackground();
    virtual void CaptionChanged(RECT& rect) {}
    virtual void PictureChanged();

private:
    void AdjustToPicture();
    void SyncPictureTransparency();
    void CopyParentBackground(HDC dc);

    bool FForeignParent;
    TPngPicture FPicture;
    bool FTransparent = false;
    bool FAutoSize = false;
    int FCaptionLeft = -1;
    int FCaptionTop = -1;
    RECT FCaptionRect{};
    bool FStretch = false;
    bool FTitleBar = false;

    std::string FCaption;
    TAlignment FAlignment = TAlignment::taCenter;
    TAlign FAlign = TAlign::alNone;
    TBevelCut FBevelInner = TBevelCut::bvNone;
    TBevelCut FBevelOuter = TBevelCut::bvNone;
    TFontSpec FFontSpec;
    TGdiObject FFont;
};
