#include "MessagePump.h"

#include <windows.h>

namespace MessagePump {

void ServePendingMessages() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the caller's own message loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ShowUnknownMethodNotice() {
    MessageBoxA(nullptr, "Unknown Compression Method", "Zip Error", MB_OK);
}

} // namespace MessagePump
