// Program entry: create the one setup window and run the message loop until it closes.
#include <windows.h>

#include "DovexSetupFrm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TDovexSetupFrm DovexSetupFrm;
    DovexSetupFrm.SetMainForm(true);
    DovexSetupFrm.Show();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
