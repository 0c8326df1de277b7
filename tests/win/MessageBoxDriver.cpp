#include "MessageBoxDriver.h"

namespace {

constexpr int kMaxRounds = 400; // 25 ms each
constexpr int kTextId = 0xFFFF;
constexpr int kIconIds[] = {0x14, 0x440}; // the icon control of Windows' and of Wine's box

HWND FindBoxOf(DWORD threadId) {
    for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", nullptr); box;
         box = FindWindowExA(nullptr, box, "#32770", nullptr)) {
        if (GetWindowThreadProcessId(box, nullptr) == threadId && IsWindowVisible(box))
            return box;
    }
    return nullptr;
}

std::string WindowTextA(HWND hwnd) {
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

} // namespace

HICON InformationIcon() {
    return LoadIcon(nullptr, IDI_INFORMATION);
}

HICON StopIcon() {
    return LoadIcon(nullptr, IDI_HAND);
}

TMessageBoxDriver::TMessageBoxDriver(DWORD guiThreadId) : FThread([this, guiThreadId] { Run(guiThreadId); }) {}

TMessageBoxDriver::~TMessageBoxDriver() {
    if (FThread.joinable())
        FThread.join();
}

TMessageBoxSeen TMessageBoxDriver::Wait() {
    if (FThread.joinable())
        FThread.join();
    return FSeen;
}

void TMessageBoxDriver::Run(DWORD guiThreadId) {
    HWND box = nullptr;
    for (int round = 0; round < kMaxRounds && !box; ++round) {
        box = FindBoxOf(guiThreadId);
        if (!box)
            Sleep(25);
    }
    if (!box)
        return;
    FSeen.Found = true;
    char text[1024] = {};
    GetDlgItemTextA(box, kTextId, text, sizeof(text));
    FSeen.Text = text;
    FSeen.Caption = WindowTextA(box);
    for (const int id : kIconIds) {
        if (const HWND icon = GetDlgItem(box, id))
            FSeen.Icon = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    }
    for (int id = IDOK; id <= IDCONTINUE; ++id) {
        const HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button))
            ++FSeen.VisibleButtons;
    }
    const HWND ok = GetDlgItem(box, IDOK);
    FSeen.HasOk = ok && IsWindowVisible(ok);
    PostMessageA(ok, BM_CLICK, 0, 0);
}
