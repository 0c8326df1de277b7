#include "ui/Pack/ImgPanel.h"

#include "ui/Bitmap.h"
#include "ui/Canvas.h"

#include <string_view>

namespace {

// The caption without blanks and control characters at either end.
std::string_view TrimCaption(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

TImgPanel::TImgPanel(HWND parentWindow, int left, int top, int width, int height, bool foreignParent)
    : TWinControl(parentWindow, left, top, width, height), FForeignParent(foreignParent) {
    FFont = CreateFontFromSpec(FFontSpec);
    Invalidate();
}

void TImgPanel::SetPicture(const TPngPicture& value) {
    FPicture.Assign(value);
    PictureChanged();
}

void TImgPanel::SetAutoSize(bool value) {
    FAutoSize = value;
    if (!FPicture.Empty())
        AdjustToPicture();
}

void TImgPanel::SetTransparent(bool value) {
    FTransparent = value;
    if (!FPicture.Empty())
        SyncPictureTransparency();
    Invalidate();
}

void TImgPanel::SetCaption(const std::string& value) {
    FCaption = value;
    CaptionChanged(FCaptionRect);
    Invalidate();
}

void TImgPanel::SetAlignment(TAlignment value) {
    FAlignment = value;
    Invalidate();
}

void TImgPanel::SetFont(const TFontSpec& spec) {
    FFontSpec = spec;
    FFont = CreateFontFromSpec(spec);
    Invalidate();
}

void TImgPanel::SetCaptionPosition(int left, int top) {
    FCaptionLeft = left;
    FCaptionTop = top;
    Invalidate();
}

void TImgPanel::PictureChanged() {
    if (!FPicture.Empty()) {
        if (FAutoSize)
            AdjustToPicture();
        SyncPictureTransparency();
    }
    ClearBackground();
    Invalidate();
}

void TImgPanel::ClearBackground() {
    if (!FForeignParent || !Handle())
        return;
    TWindowDC dc(Handle());
    TCanvas(dc.Get()).FillRect(ClientRect(), FColor);
}

void TImgPanel::AdjustToPicture() {
    if (!FAutoSize)
        return;
    int width = Width();
    int height = Height();
    if (FAlign != TAlign::alTop && FAlign != TAlign::alBottom && FAlign != TAlign::alClient)
        width = FPicture.Width();
    if (FAlign != TAlign::alLeft && FAlign != TAlign::alRight && FAlign != TAlign::alClient)
        height = FPicture.Height();
    SetBounds(Left(), Top(), width, height);
}

void TImgPanel::SyncPictureTransparency() {
    if (FPicture.Transparent() != FTransparent)
        FPicture.SetTransparent(FTransparent);
}

void TImgPanel::CopyParentBackground(HDC dc) {
    if (FForeignParent || !ParentWindow())
        return;
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, -Left(), -Top(), nullptr);
    RECT parentClient{};
    GetClientRect(ParentWindow(), &parentClient);
    IntersectClipRect(dc, 0, 0, parentClient.right, parentClient.bottom);
    // The parent's background, then its own content (without its child windows).
    SendMessageA(ParentWindow(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(ParentWindow(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

void TImgPanel::Paint(TCanvas& canvas) {
    TBitmap buffer;
    buffer.SetHeight(Height());
    buffer.SetWidth(Width());
    const HDC dc = buffer.DC();
    const RECT client = ClientRect();
    if (FTransparent)
        CopyParentBackground(dc);
    TCanvas bufferCanvas(dc);
    if (!FPicture.Empty()) {
        if (FStretch)
            bufferCanvas.StretchDrawPng(FPicture, client);
        else
            bufferCanvas.DrawPng(FPicture, 0, 0);
    } else if (!FTransparent) {
        bufferCanvas.FillRect(client, FColor);
    }
    SetBkMode(dc, TRANSPARENT);
    const std::string_view caption = TrimCaption(FCaption);
    if (!caption.empty()) {
        SelectObject(dc, FFont.Get());
        SetTextColor(dc, ResolveColor(FFontSpec.Color));
        if (FCaptionLeft == -1 || FCaptionTop == -1) {
            UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
            if (FAlignment == TAlignment::taLeftJustify)
                format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
            else if (FAlignment == TAlignment::taRightJustify)
                format = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
            RECT box = client;
            DrawTextA(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &box, format);
            FCaptionRect = client;
        } else {
            TextOutA(dc, FCaptionLeft, FCaptionTop, FCaption.c_str(), static_cast<int>(FCaption.size()));
            SIZE extent{};
            GetTextExtentPoint32A(dc, FCaption.c_str(), static_cast<int>(FCaption.size()), &extent);
            FCaptionRect = RECT{FCaptionLeft, FCaptionTop, FCaptionLeft + extent.cx, FCaptionTop + extent.cy};
        }
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
    }
    BitBlt(canvas.Handle(), 0, 0, Width(), Height(), dc, 0, 0, SRCCOPY);
}

bool TImgPanel::EraseBackground(HDC) {
    return true;
}

void TImgPanel::Resize() {
    if (OnResize)
        OnResize();
    Invalidate();
}
