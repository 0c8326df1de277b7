#include "UiTestSupport.h"

#include <ostream>

TTestHostForm::TTestHostForm(int width, int height) {
    CreateBorderlessWindow("TavrinUiTestHost", width, height);
    SetWindowPos(Handle(), HWND_TOP, 40, 30, 0, 0, SWP_NOSIZE);
    Show();
}

LRESULT TTestHostForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND) {
        // Recorded, not acted on: the move loop would wait for a real mouse release.
        SysCommands.push_back(wParam);
        return 0;
    }
    LRESULT result = 0;
    if (MessageHook && MessageHook(msg, wParam, lParam, result))
        return result;
    return TForm::WndProc(msg, wParam, lParam);
}

void PumpMessages() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpMessagesFor(int milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
}

void PostMouse(HWND window, UINT msg, int x, int y, WPARAM keys) {
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PumpMessages();
    PostMessageA(window, msg, keys, MAKELPARAM(x, y));
    PumpMessages();
}

void Capture(TBitmap& target, int width, int height, const TPaintFunction& paint) {
    target.SetSize(width, height);
    paint(target.DC());
    GdiFlush();
}

TRgb ToRgb(COLORREF c) {
    return TRgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

std::ostream& operator<<(std::ostream& out, const TRgb& c) {
    return out << "(" << c.R << ", " << c.G << ", " << c.B << ")";
}
