#pragma once
// Everything the user sees and touches in the setup window: the background
// panel, the status and hint lines, the slide area with its slideshow, the
// close button and the progress bar, created in this order with their fixed
// bounds, fonts, colours and texts. The form routes its messages here through
// HandleMessage; the controller binds the close button through OnCloseClick.
#include "ui/Form.h"
#include "ui/Pack/ImgButton.h"
#include "ui/Pack/ImgPanel.h"
#include "ui/ProgressBar.h"
#include "ui/Slideshow.h"
#include "ui/WideImage.h"
#include "ui/WideLabel.h"

#include <functional>
#include <memory>

class TSetupWindowView {
public:
    static constexpr int kClientWidth = 601;
    static constexpr int kClientHeight = 427;
    static constexpr COLORREF kStatusColor = 80895; // red 255, green 59, blue 1
    static constexpr const wchar_t* kHintText = L"首次运行需要几分钟时间，请稍候......";

    // Creates every control on the form (whose client area is 601 x 427).
    explicit TSetupWindowView(TForm& form);
    TSetupWindowView(const TSetupWindowView&) = delete;
    TSetupWindowView& operator=(const TSetupWindowView&) = delete;
    ~TSetupWindowView();

    TImgPanel& ImgPanel1() { return *FImgPanel1; }
    TWideLabel& lblInstall() { return *FlblInstall; }
    TWideImage& displayImg() { return *FdisplayImg; }
    TWideLabel& WideLabel1() { return *FWideLabel1; }
    TImgButton& btnClose() { return *FbtnClose; }
    TProgressBar& pb1() { return *Fpb1; }
    HWND stat1() const { return Fstat1; }
    TSlideshow& Slideshow() { return *FSlideshow; }

    // The controller's close rule, run by a click on the close button.
    std::function<void()> OnCloseClick;

    // The slideshow's set-up (the last step of the form's creation handler) and
    // its release (the form's destruction).
    void StartSlideshow() { FSlideshow->SetUp(); }
    void ReleaseSlides() { FSlideshow->Release(); }

    // Handles the form's messages that belong to the view (the slideshow's
    // timers); true when handled, with the result in `result`.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Paints the whole client area, child windows included, into a DC.
    void PaintTo(HDC dc);

    // Starts moving the window on a left press on the background.
    void ImgPanel1MouseDown(TMouseButton button, UINT keys, int x, int y);

private:
    HWND FForm;
    HWND Fstat1 = nullptr;
    std::unique_ptr<TImgPanel> FImgPanel1;
    std::unique_ptr<TWideLabel> FlblInstall;
    std::unique_ptr<TWideImage> FdisplayImg;
    std::unique_ptr<TWideLabel> FWideLabel1;
    std::unique_ptr<TImgButton> FbtnClose;
    std::unique_ptr<TProgressBar> Fpb1;
    std::unique_ptr<TSlideshow> FSlideshow;
};
