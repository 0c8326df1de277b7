#pragma once
// The platform's progress control as a smooth, continuous bar. The position is
// kept within [Min, Max]; a range change brings it back into the new range.
#include "util/Exception.h"

#include <windows.h>

class EInvalidProgressRange : public Exception {
public:
    EInvalidProgressRange() : Exception("进度条的最大值不能小于最小值.") {}
};

class TProgressBar {
public:
    TProgressBar(HWND parent, int left, int top, int width, int height);
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;
    ~TProgressBar();

    HWND Handle() const { return FHandle; }
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    int Step() const { return FStep; }
    void SetMin(int value) { SetRange(value, FMax); }
    void SetMax(int value) { SetRange(FMin, value); }
    // Refuses a maximum below the minimum and keeps the old range.
    void SetRange(int min, int max);
    void SetPosition(int value);

    // Clears the extended static edge (the window's creation handler does this first).
    void RemoveStaticEdge();

private:
    HWND FHandle = nullptr;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 1;
};
