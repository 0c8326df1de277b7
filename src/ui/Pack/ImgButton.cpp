#include "ui/Pack/ImgButton.h"

#include "ui/Canvas.h"

TImgButton::TImgButton(TWinControl& parent, int left, int top) : TGraphicControl(parent) {
    FCapturesMouse = true;
    TControl::SetBounds(left, top, 23, 23);
    FFont = CreateFontFromSpec(FFontSpec);
}

void TImgButton::SetButtonStyle(TImgButtonStyle value) {
    FButtonStyle = value;
    Repaint();
}

void TImgButton::SetButtonLayout(TImgButtonLayout value) {
    FButtonLayout = value;
    Repaint();
}

void TImgButton::SetCaption(const std::string& value) {
    FCaption = value;
    Repaint();
}

void TImgButton::SetFont(const TFontSpec& spec) {
    FFontSpec = spec;
    FFont = CreateFontFromSpec(spec);
    Repaint();
}

void TImgButton::SetImageNormal(const TPngPicture& value) {
    FImageNormal.Assign(value);
    MakeFadedCopy(FImageNormal, FDisabledImage);
    Repaint();
}

void TImgButton::SetImageDown(const TPngPicture& value) {
    FImageDown.Assign(value);
    Repaint();
}

void TImgButton::SetImageOver(const TPngPicture& value) {
    FImageOver.Assign(value);
    Repaint();
}

void TImgButton::MakeFadedCopy(const TPngPicture& source, TPngPicture& destination) {
    destination.Assign(source); // decoded pictures always carry an alpha channel (opaque when the file had none)
    if (destination.IsPalette())
        return;
    auto& pixels = destination.Pixels();
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = static_cast<std::uint8_t>(pixels[i] / 3);
}

void TImgButton::SetButtonState(TImgButtonState state) {
    FButtonState = state;
    Repaint();
}

void TImgButton::EnabledChanged() {
    if (!Enabled())
        MakeFadedCopy(FImageNormal, FDisabledImage);
    SetButtonState(Enabled() ? TImgButtonState::Up : TImgButtonState::Disabled);
}

void TImgButton::MouseDown(TMouseButton button, UINT keys, int x, int y) {
    if (FButtonState == TImgButtonState::Up && button == TMouseButton::Left)
        SetButtonState(TImgButtonState::Down);
    TGraphicControl::MouseDown(button, keys, x, y);
}

void TImgButton::Click() {
    if (FButtonState == TImgButtonState::Down)
        SetButtonState(TImgButtonState::Up);
    TGraphicControl::Click();
}

void TImgButton::MouseUp(TMouseButton button, UINT keys, int x, int y) {
    if (FButtonState == TImgButtonState::Down)
        SetButtonState(TImgButtonState::Up);
    TGraphicControl::MouseUp(button, keys, x, y);
}

void TImgButton::MouseMove(UINT keys, int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (inside && !FMouseOver && FButtonState != TImgButtonState::Down) {
        FMouseOver = true;
        Repaint();
    }
    TGraphicControl::MouseMove(keys, x, y);
}

void TImgButton::MouseEnter() {
    if (!Enabled())
        return;
    if (OnMouseEnter)
        OnMouseEnter();
    FMouseOver = true;
    Repaint();
}

void TImgButton::MouseLeave() {
    if (!Enabled())
        return;
    if (OnMouseExit)
        OnMouseExit();
    FMouseOver = false;
    Repaint();
}

TImgButtonSituation TImgButton::Situation() const {
    return TImgButtonSituation{FButtonState,        FMouseOver,          Enabled(),
                               !FImageDown.Empty(), !FImageOver.Empty(), !FDisabledImage.Empty()};
}

const TPngPicture& TImgButton::CurrentPicture() const {
    switch (ChooseImgButtonPicture(Situation())) {
    case TImgButtonPicture::Down:
        return FImageDown;
    case TImgButtonPicture::Over:
        return FImageOver;
    case TImgButtonPicture::Disabled:
        return FDisabledImage;
    case TImgButtonPicture::Normal:
        break;
    }
    return FImageNormal;
}

TImgButtonPlacement TImgButton::CurrentPlacement(HDC dc) const {
    const TPngPicture& picture = CurrentPicture();
    SIZE text{};
    if (!FCaption.empty())
        GetTextExtentPoint32A(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &text);
    return PlaceImgButton(FButtonLayout, Width(), Height(), picture.Width(), picture.Height(), text.cx, text.cy,
                          !FCaption.empty(), IsPushed(Situation()));
}

void TImgButton::DrawFrame(HDC dc, bool pushed) const {
    RECT r = ClientRect();
    switch (FButtonStyle) {
    case ibsDefault:
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0u));
        break;
    case ibsFlat: {
        if (FButtonState == TImgButtonState::Disabled)
            break;
        UINT edge = 0;
        if (pushed)
            edge = BDR_SUNKENOUTER; // shadow top-left, highlight bottom-right
        else if (FMouseOver || FButtonState == TImgButtonState::Down)
            edge = BDR_RAISEDINNER; // the same frame with the colours swapped
        if (edge)
            DrawEdge(dc, &r, edge, BF_RECT);
        break;
    }
    case ibsNoFrame:
        break;
    }
}

void TImgButton::Paint(TCanvas& canvas) {
    const HDC dc = canvas.Handle();
    SelectObject(dc, FFont.Get());
    const bool pushed = IsPushed(Situation());
    const TImgButtonPlacement place = CurrentPlacement(dc);
    DrawFrame(dc, pushed);
    SetBkMode(dc, TRANSPARENT);
    canvas.DrawPng(CurrentPicture(), place.PictureX, place.PictureY);
    SetTextColor(
        dc, ResolveColor(FButtonState == TImgButtonState::Disabled ? SystemColor(COLOR_GRAYTEXT) : FFontSpec.Color));
    if (!FCaption.empty()) {
        RECT clip = ClientRect();
        ExtTextOutA(dc, place.CaptionX, place.CaptionY, ETO_CLIPPED, &clip, FCaption.c_str(),
                    static_cast<UINT>(FCaption.size()), nullptr);
    }
}
