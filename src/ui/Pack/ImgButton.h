#pragma once
// A windowless push button that shows PNG pictures with per-pixel alpha, one
// per visual state (normal, over, down, and a faded normal for disabled), with
// an optional caption and an optional frame.
#include "ui/Font.h"
#include "ui/GraphicControl.h"
#include "ui/Pack/ImgButtonLayout.h"
#include "ui/PngPicture.h"

#include <string>

class TImgButton : public TGraphicControl {
public:
    TImgButton(TWinControl& parent, int left, int top);
    ~TImgButton() override = default;

    TImgButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TImgButtonStyle value);
    TImgButtonLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TImgButtonLayout value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value);
    const TFontSpec& Font() const { return FFontSpec; }
    void SetFont(const TFontSpec& spec);

    const TPngPicture& ImageNormal() const { return FImageNormal; }
    void SetImageNormal(const TPngPicture& value);
    const TPngPicture& ImageDown() const { return FImageDown; }
    void SetImageDown(const TPngPicture& value);
    const TPngPicture& ImageOver() const { return FImageOver; }
    void SetImageOver(const TPngPicture& value);
    const TPngPicture& DisabledImage() const { return FDisabledImage; }

    TImgButtonState ButtonState() const { return FButtonState; }
    bool MouseOver() const { return FMouseOver; }

    // The picture the next paint shows and where (in button coordinates).
    const TPngPicture& CurrentPicture() const;
    TImgButtonPlacement CurrentPlacement(HDC dc) const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

    // The destination becomes the source with every alpha value divided by 3,
    // unless the source is a palette picture.
    static void MakeFadedCopy(const TPngPicture& source, TPngPicture& destination);

    void MouseDown(TMouseButton button, UINT keys, int x, int y) override;
    void MouseUp(TMouseButton button, UINT keys, int x, int y) override;
    void MouseMove(UINT keys, int x, int y) override;
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Paint(TCanvas& canvas) override;

protected:
    void SetButtonState(TImgButtonState state);
    void EnabledChanged() override;

private:
    TImgButtonSituation Situation() const;
    void DrawFrame(HDC dc, bool pushed) const;

    TImgButtonStyle FButtonStyle = ibsDefault;
    bool FMouseOver = false;
    std::string FCaption;
    TImgButtonLayout FButtonLayout = iblImageAbove;
    TImgButtonState FButtonState = TImgButtonState::Up;
    TPngPicture FImageDown;
    TPngPicture FImageNormal;
    TPngPicture FDisabledImage;
    TPngPicture FImageOver;
    TFontSpec FFontSpec;
    TGdiObject FFont;
};
