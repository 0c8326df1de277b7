#pragma once
// Serves the calling thread's messages until a condition holds, for at most a
// bounded number of rounds. True when the condition holds at the end.
#include <windows.h>

#include <functional>

inline bool PumpUntil(const std::function<bool()>& done, int maxRounds = 600) {
    for (int round = 0; round < maxRounds; ++round) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return done();
}
