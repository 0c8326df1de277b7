#include "Form.h"

#include <stdexcept>

#include "util/AnsiPath.h"
#include "util/Exception.h"

std::string ApplicationTitle() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string name = ExtractFileName(std::string(path, length));
    return name.substr(0, name.find('.'));
}

void ShowException(HWND owner, const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    const std::string message = own ? own->Message() : std::string(error.what());
    MessageBoxA(owner, message.c_str(), ApplicationTitle().c_str(), MB_ICONSTOP | MB_OK);
}

TForm::~TForm() {
    if (FHandle) {
        // Unbind first so that the destruction messages do not reach a half-destroyed object.
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

void TForm::CreateBorderlessWindow(const char* className, int clientWidth, int clientHeight, HWND owner) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(instance, className, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = className;
        if (!RegisterClassExA(&wc))
            throw std::runtime_error("RegisterClassExA failed");
    }
    // WS_POPUP without WS_CAPTION, WS_SYSMENU or WS_THICKFRAME: the window rectangle is the client area.
    const HWND hwnd = CreateWindowExA(0, className, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, clientWidth, clientHeight,
                                      owner, nullptr, instance, this);
    if (!hwnd)
        throw std::runtime_error("CreateWindowExA failed");
}

void TForm::Show() {
    ShowWindow(FHandle, SW_SHOW);
    UpdateWindow(FHandle);
}

void TForm::Close() {
    if (FHandle)
        DestroyWindow(FHandle);
}

void TForm::CentreOnDesktop() {
    RECT r{};
    GetWindowRect(FHandle, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int left = (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2;
    SetWindowPos(FHandle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && FMainForm)
        PostQuitMessage(0);
    return DefWindowProcA(FHandle, msg, wParam, lParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->FHandle = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        const LRESULT result = DispatchToForm(form, hwnd, msg, wParam, lParam);
        form->FHandle = nullptr;
        return result;
    }
    return DispatchToForm(form, hwnd, msg, wParam, lParam);
}

LRESULT TForm::DispatchToForm(TForm* form, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // No error may cross the system's window procedure boundary.
    try {
        return form->WndProc(msg, wParam, lParam);
    } catch (const std::exception& error) {
        ShowException(GetAncestor(hwnd, GA_ROOT), error);
    } catch (...) {
        ShowException(GetAncestor(hwnd, GA_ROOT), Exception("Unknown error"));
    }
    return 0;
}
