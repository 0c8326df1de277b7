#include "ApplicationWindow.h"

#include "ui/Form.h"
#include "util/Exception.h"

namespace {

constexpr char kClassName[] = "TavrinApplication";

class EApplicationWindow : public Exception {
public:
    EApplicationWindow() : Exception("Cannot create the application window") {}
};

} // namespace

TApplicationWindow::TApplicationWindow(const std::string& title) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(instance, kClassName, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        wc.lpszClassName = kClassName;
        RegisterClassExA(&wc);
    }
    // A captioned popup of no size at the screen's centre: it has a task-bar
    // button with the title and a system menu, but no visible area.
    FHandle = CreateWindowExA(0, kClassName, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, instance, nullptr);
    if (!FHandle)
        throw EApplicationWindow();
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(FHandle, SW_SHOWNOACTIVATE);
}

TApplicationWindow::~TApplicationWindow() {
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
}

LRESULT CALLBACK TApplicationWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TApplicationWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_ACTIVATE:
        // Activation through the task bar goes on to the window the user works in.
        if (LOWORD(wParam) != WA_INACTIVE) {
            const HWND popup = GetLastActivePopup(hwnd);
            if (popup && popup != hwnd && IsWindowEnabled(popup))
                SetActiveWindow(popup);
        }
        return 0;
    case WM_CLOSE:
        // A close from the task bar takes the same way as the close button.
        if (self && self->FOnCloseRequest) {
            try {
                self->FOnCloseRequest();
            } catch (const std::exception& error) {
                ShowException(hwnd, error);
            }
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
