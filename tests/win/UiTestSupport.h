#pragma once
// Shared pieces of the window tests: a borderless host form that records the
// system commands it receives, message pumping, mouse input and pixel capture.
#include "ui/Bitmap.h"
#include "ui/Form.h"

#include <functional>
#include <vector>

class TSetupWindowView;

class TTestHostForm : public TForm {
public:
    TTestHostForm(int width = 601, int height = 427);

    // Messages not handled here go to this hook first (the view's HandleMessage).
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> MessageHook;
    std::vector<WPARAM> SysCommands; // WM_SYSCOMMAND commands received (not acted on)

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// Dispatches every pending message of the thread.
void PumpMessages();
// Dispatches messages for about the given time, so that window timers fire.
void PumpMessagesFor(int milliseconds);

// Posts a mouse message at a client point of the window and dispatches it. The
// real pointer is moved there as well, so that leave tracking sees it inside.
void PostMouse(HWND window, UINT msg, int x, int y, WPARAM keys = 0);

// The window's client area as painted by `paint` into a fresh white bitmap.
using TPaintFunction = std::function<void(HDC)>;
void Capture(TBitmap& target, int width, int height, const TPaintFunction& paint);

// R, G, B of a COLORREF, for readable failure messages.
struct TRgb {
    int R, G, B;
    bool operator==(const TRgb&) const = default;
};
TRgb ToRgb(COLORREF c);
std::ostream& operator<<(std::ostream& out, const TRgb& c);
