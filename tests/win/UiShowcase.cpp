// Shows the setup window view on a plain borderless form until it is closed
// (its close button closes it); used to take the window's screenshot. An
// optional argument gives the number of seconds after which it closes itself.
#include "ui/SetupWindowView.h"

#include <cstdlib>

namespace {

class TShowcaseForm : public TForm {
public:
    TShowcaseForm() {
        CreateBorderlessWindow("TavrinUiShowcase", TSetupWindowView::kClientWidth, TSetupWindowView::kClientHeight);
        FView = std::make_unique<TSetupWindowView>(*this);
        FView->pb1().RemoveStaticEdge();
        FView->lblInstall().SetCaption(L"正在为您搜集服务资源");
        FView->pb1().SetPosition(42);
        FView->OnCloseClick = [this] { Close(); };
        FView->StartSlideshow();
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER && wParam == kCloseTimerId) {
            Close();
            return 0;
        }
        LRESULT result = 0;
        if (FView && FView->HandleMessage(msg, wParam, lParam, result))
            return result;
        if (msg == WM_DESTROY && FView)
            FView->ReleaseSlides();
        return TForm::WndProc(msg, wParam, lParam);
    }

public:
    static constexpr UINT_PTR kCloseTimerId = 1;

private:
    std::unique_ptr<TSetupWindowView> FView;
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    TShowcaseForm form;
    form.SetMainForm(true);
    form.CentreOnDesktop();
    form.Show();
    if (const int seconds = std::atoi(commandLine); seconds > 0)
        SetTimer(form.Handle(), TShowcaseForm::kCloseTimerId, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
