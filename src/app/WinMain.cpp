// Program entry: create the one setup window and run the message loop until it closes.
#include <windows.h>

#include "ApplicationWindow.h"
#include "DovexSetupFrm.h"
#include "util/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        // Before anything loads a DLL: the program starts from a download folder,
        // where a file named like a system DLL must never be picked up.
        RestrictDllSearchToSystemFolder();

        TApplicationWindow application(ApplicationTitle());
        TDovexSetupFrm DovexSetupFrm(application.Handle());
        DovexSetupFrm.SetMainForm(true);
        application.SetOnCloseRequest([&DovexSetupFrm] { DovexSetupFrm.btnCloseClick(); });
        DovexSetupFrm.Show();

        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return static_cast<int>(msg.wParam);
    } catch (const std::exception& error) {
        // Start-up itself failed (no safe DLL search, or no window could be made).
        ShowException(nullptr, error);
        return 1;
    }
}
