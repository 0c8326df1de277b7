#pragma once
// A small UI driver for modal message boxes: a second thread waits (bounded)
// for a message box of the given GUI thread, reads its text, caption, icon and
// buttons, and presses OK.
#include <windows.h>

#include <string>
#include <thread>

struct TMessageBoxSeen {
    bool Found = false;
    std::string Text;
    std::string Caption;
    HICON Icon = nullptr;
    int VisibleButtons = 0;
    bool HasOk = false;
};

class TMessageBoxDriver {
public:
    explicit TMessageBoxDriver(DWORD guiThreadId = GetCurrentThreadId());
    TMessageBoxDriver(const TMessageBoxDriver&) = delete;
    TMessageBoxDriver& operator=(const TMessageBoxDriver&) = delete;
    ~TMessageBoxDriver();

    // Joins the driver thread and returns what it saw.
    TMessageBoxSeen Wait();

private:
    void Run(DWORD guiThreadId);

    TMessageBoxSeen FSeen;
    std::thread FThread;
};

// The system's shared icons, to compare with TMessageBoxSeen::Icon.
HICON InformationIcon();
HICON StopIcon();
