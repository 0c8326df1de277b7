#pragma once
// A window timer of a given window and identifier. Enabling it starts its
// interval afresh; the window receives WM_TIMER with the identifier, and the
// platform never queues more than one pending tick.
#include <windows.h>

class TWindowTimer {
public:
    TWindowTimer(HWND window, UINT_PTR id, UINT interval) : FWindow(window), FId(id), FInterval(interval) {}
    TWindowTimer(const TWindowTimer&) = delete;
    TWindowTimer& operator=(const TWindowTimer&) = delete;
    ~TWindowTimer() { SetEnabled(false); }

    UINT_PTR Id() const { return FId; }
    UINT Interval() const { return FInterval; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);

private:
    HWND FWindow;
    UINT_PTR FId;
    UINT FInterval;
    bool FEnabled = false;
};
