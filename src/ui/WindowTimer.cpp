#include "ui/WindowTimer.h"

void TWindowTimer::SetEnabled(bool value) {
    if (value)
        SetTimer(FWindow, FId, FInterval, nullptr); // also restarts a running timer's interval
    else if (FEnabled)
        KillTimer(FWindow, FId);
    FEnabled = value;
}
