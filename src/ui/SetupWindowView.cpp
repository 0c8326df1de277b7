#include "ui/SetupWindowView.h"

#include "ui/Canvas.h"
#include "ui/CommonControls.h"
#include "ui/PngResource.h"

#include <commctrl.h>

#include <stdexcept>

namespace {

// Names of the window's pictures among the program's RT_RCDATA resources.
constexpr const char* kBackgroundResource = "IMGPANEL1_PICTURE";
constexpr const char* kCloseNormalResource = "BTNCLOSE_NORMAL";
constexpr const char* kCloseOverResource = "BTNCLOSE_OVER";

constexpr UINT kSysCommandDragMove = 0xF012; // SC_MOVE combined with HTCAPTION

TFontSpec TextLineFont(COLORREF color) {
    // As the form stores it: the face with character set 178; the platform matches the nearest font.
    return TFontSpec{L"微软雅黑", -19, FW_NORMAL, ARABIC_CHARSET, color};
}

TPngPicture LoadPicture(const char* name) {
    TPngPicture picture;
    LoadPngFromResource(picture, GetModuleHandleA(nullptr), name);
    return picture;
}

} // namespace

TSetupWindowView::TSetupWindowView(TForm& form) : FForm(form.Handle()) {
    // 1. stat1: a hidden status bar of zero height, never shown or used.
    InitCommonControlClasses(ICC_BAR_CLASSES | ICC_PROGRESS_CLASS);
    Fstat1 = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 427, 601, 0,
                             FForm, nullptr, GetModuleHandleA(nullptr), nullptr);

    // 2. ImgPanel1: the background picture stretched over the whole client area.
    FImgPanel1 = std::make_unique<TImgPanel>(FForm, 0, 0, kClientWidth, kClientHeight);
    FImgPanel1->SetBevelOuter(TBevelCut::bvNone);
    FImgPanel1->SetStretch(true);
    FImgPanel1->SetPicture(LoadPicture(kBackgroundResource));
    FImgPanel1->OnMouseDown = [this](TMouseButton button, UINT keys, int x, int y) {
        ImgPanel1MouseDown(button, keys, x, y);
    };

    // 3. lblInstall: the status line.
    FlblInstall = std::make_unique<TWideLabel>(*FImgPanel1, 12, 364, 577, 25);
    FlblInstall->SetFont(TextLineFont(kStatusColor));
    FlblInstall->SetCaption(L"lblInstall");

    // 4. displayImg: the slide area.
    FdisplayImg = std::make_unique<TWideImage>(*FImgPanel1, 58, 5, 473, 329);

    // 5. WideLabel1: the fixed hint line.
    FWideLabel1 = std::make_unique<TWideLabel>(*FImgPanel1, 12, 336, 577, 25);
    FWideLabel1->SetFont(TextLineFont(RGB(0, 0, 0)));
    FWideLabel1->SetCaption(kHintText);

    // 6. btnClose: ends at x = 599, so the last column shows the background.
    FbtnClose = std::make_unique<TImgButton>(*FImgPanel1, 577, 0);
    FbtnClose->SetImageNormal(LoadPicture(kCloseNormalResource));
    FbtnClose->SetImageOver(LoadPicture(kCloseOverResource));
    FbtnClose->SetButtonLayout(iblImageCenter);
    FbtnClose->SetButtonStyle(ibsNoFrame);
    FbtnClose->OnClick = [this] {
        if (OnCloseClick)
            OnCloseClick();
    };

    // 7. pb1: a child window above everything else on the panel.
    Fpb1 = std::make_unique<TProgressBar>(FImgPanel1->Handle(), 11, 398, 577, 15);

    FSlideshow = std::make_unique<TSlideshow>(FForm, *FdisplayImg);
}

TSetupWindowView::~TSetupWindowView() {
    FSlideshow.reset();
    Fpb1.reset();
    FbtnClose.reset();
    FWideLabel1.reset();
    FdisplayImg.reset();
    FlblInstall.reset();
    FImgPanel1.reset();
    if (Fstat1 && IsWindow(Fstat1))
        DestroyWindow(Fstat1);
}

bool TSetupWindowView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_TIMER && FSlideshow->HandleTimer(static_cast<UINT_PTR>(wParam))) {
        result = 0;
        return true;
    }
    return false;
}

void TSetupWindowView::PaintTo(HDC dc) {
    FImgPanel1->PaintTo(dc);
    // The progress bar paints itself into the same DC at its place on the panel.
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, 11, 398, nullptr);
    SendMessageA(Fpb1->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
}

void TSetupWindowView::ImgPanel1MouseDown(TMouseButton button, UINT keys, int x, int y) {
    if (button != TMouseButton::Left)
        return;
    ReleaseCapture();
    SendMessageA(FForm, WM_SYSCOMMAND, kSysCommandDragMove, 0);
}
