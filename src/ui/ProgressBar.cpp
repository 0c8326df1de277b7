#include "ui/ProgressBar.h"

#include "ui/CommonControls.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

TProgressBar::TProgressBar(HWND parent, int left, int top, int width, int height) {
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
    FHandle = CreateWindowExA(WS_EX_STATICEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, left, top,
                              width, height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!FHandle)
        throw std::runtime_error("CreateWindowExA(progress) failed");
    SendMessageA(FHandle, PBM_SETRANGE32, FMin, FMax);
    SendMessageA(FHandle, PBM_SETSTEP, FStep, 0);
    SendMessageA(FHandle, PBM_SETPOS, FPosition, 0);
}

TProgressBar::~TProgressBar() {
    if (FHandle && IsWindow(FHandle))
        DestroyWindow(FHandle);
}

void TProgressBar::SetRange(int min, int max) {
    if (max < min)
        throw EInvalidProgressRange();
    FMin = min;
    FMax = max;
    FPosition = std::clamp(FPosition, FMin, FMax);
    SendMessageA(FHandle, PBM_SETRANGE32, FMin, FMax);
    SendMessageA(FHandle, PBM_SETPOS, FPosition, 0);
}

void TProgressBar::SetPosition(int value) {
    FPosition = std::clamp(value, FMin, FMax);
    SendMessageA(FHandle, PBM_SETPOS, FPosition, 0);
}

void TProgressBar::RemoveStaticEdge() {
    const LONG style = GetWindowLongA(FHandle, GWL_EXSTYLE);
    SetWindowLongA(FHandle, GWL_EXSTYLE, style & ~WS_EX_STATICEDGE);
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
