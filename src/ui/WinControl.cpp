#include "ui/WinControl.h"

#include "ui/Canvas.h"
#include "ui/Form.h"
#include "ui/GraphicControl.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

constexpr const char* kClassName = "TavrinWinControl";

void RegisterControlClass(WNDPROC proc) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(instance, kClassName, &wc))
        return;
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExA(&wc))
        throw std::runtime_error("RegisterClassExA failed");
}

bool Contains(const RECT& r, POINT pt) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

} // namespace

TWinControl::TWinControl(HWND parentWindow, int left, int top, int width, int height) : FParentWindow(parentWindow) {
    TControl::SetBounds(left, top, width, height);
    RegisterControlClass(StaticWndProc);
    const HWND hwnd = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                      left, top, width, height, parentWindow, nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd)
        throw std::runtime_error("CreateWindowExA failed");
}

TWinControl::~TWinControl() {
    if (FHandle) {
        SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (FHandle)
        MoveWindow(FHandle, left, top, width, height, TRUE);
}

void TWinControl::SetVisible(bool value) {
    TControl::SetVisible(value);
    if (FHandle)
        ShowWindow(FHandle, value ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetColor(COLORREF value) {
    FColor = value;
    Invalidate();
}

void TWinControl::Invalidate() {
    if (FHandle)
        InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::Repaint() {
    Invalidate();
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::InsertControl(TGraphicControl& control) {
    FControls.push_back(&control);
}

void TWinControl::RemoveControl(TGraphicControl& control) {
    std::erase(FControls, &control);
    if (FCaptureControl == &control)
        FCaptureControl = nullptr;
    if (FHoverControl == &control)
        FHoverControl = nullptr;
}

TGraphicControl* TWinControl::ControlAt(POINT pt) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if ((*it)->Visible() && (*it)->Enabled() && Contains((*it)->BoundsRect(), pt))
            return *it;
    return nullptr;
}

void TWinControl::Paint(TCanvas& canvas) {
    canvas.FillRect(ClientRect(), FColor);
}

bool TWinControl::EraseBackground(HDC dc) {
    TCanvas(dc).FillRect(ClientRect(), FColor);
    return true;
}

void TWinControl::PaintTo(HDC dc) {
    {
        // Opaque children cover their area, so the control's own painting skips it.
        TSavedDC saved(dc);
        for (TGraphicControl* control : FControls)
            if (control->Visible() && control->Opaque()) {
                const RECT& r = control->BoundsRect();
                ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            }
        // Nothing left to paint when opaque children cover the whole area being painted.
        RECT remaining{};
        if (GetClipBox(dc, &remaining) != NULLREGION) {
            TCanvas canvas(dc);
            Paint(canvas);
        }
    }
    for (TGraphicControl* control : FControls) {
        if (!control->Visible())
            continue;
        const RECT& r = control->BoundsRect();
        if (!RectVisible(dc, &r))
            continue;
        TSavedDC saved(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        TCanvas canvas(dc);
        control->Paint(canvas);
    }
}

void TWinControl::SetHover(TGraphicControl* control) {
    if (control == FHoverControl)
        return;
    TGraphicControl* left = FHoverControl;
    FHoverControl = control;
    if (left)
        left->MouseLeave();
    if (control)
        control->MouseEnter();
}

void TWinControl::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const UINT keys = static_cast<UINT>(wParam);
    const auto local = [&pt](const TControl& c) { return POINT{pt.x - c.Left(), pt.y - c.Top()}; };
    TMouseButton button = TMouseButton::Left;
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP)
        button = TMouseButton::Right;
    else if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP)
        button = TMouseButton::Middle;

    switch (msg) {
    case WM_MOUSEMOVE: {
        if (!FTrackingLeave) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, FHandle, 0};
            FTrackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        SetHover(ControlAt(pt));
        TControl* target = FCaptureControl ? FCaptureControl : ControlAt(pt);
        if (target) {
            const POINT p = local(*target);
            target->MouseMove(keys, p.x, p.y);
        } else {
            MouseMove(keys, pt.x, pt.y);
        }
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        TGraphicControl* target = FCaptureControl ? FCaptureControl : ControlAt(pt);
        if (target) {
            if (button == TMouseButton::Left && target->CapturesMouse()) {
                FCaptureControl = target;
                SetCapture(FHandle);
            }
            const POINT p = local(*target);
            target->MouseDown(button, keys, p.x, p.y);
        } else {
            if (button == TMouseButton::Left) {
                FOwnPress = true;
                SetCapture(FHandle);
            }
            MouseDown(button, keys, pt.x, pt.y);
        }
        break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        if (button == TMouseButton::Left && FCaptureControl) {
            TGraphicControl* target = std::exchange(FCaptureControl, nullptr);
            if (GetCapture() == FHandle)
                ReleaseCapture();
            const POINT p = local(*target);
            // A click only when the release lies inside the control; the click runs before the mouse-up.
            if (Contains(target->ClientRect(), p))
                target->Click();
            target->MouseUp(button, keys, p.x, p.y);
            SetHover(ControlAt(pt));
            break;
        }
        if (TGraphicControl* target = ControlAt(pt)) {
            const POINT p = local(*target);
            target->MouseUp(button, keys, p.x, p.y);
            break;
        }
        if (button == TMouseButton::Left) {
            const bool pressed = std::exchange(FOwnPress, false);
            if (GetCapture() == FHandle)
                ReleaseCapture();
            if (pressed && Contains(ClientRect(), pt))
                Click();
        }
        MouseUp(button, keys, pt.x, pt.y);
        break;
    }
    }
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return EraseBackground(reinterpret_cast<HDC>(wParam)) ? 1 : DefWindowProcA(FHandle, msg, wParam, lParam);
    case WM_PAINT:
        if (wParam) { // a parent asking for this control's picture in its own DC
            PaintTo(reinterpret_cast<HDC>(wParam));
        } else {
            PAINTSTRUCT ps{};
            const HDC dc = BeginPaint(FHandle, &ps);
            PaintTo(dc);
            EndPaint(FHandle, &ps);
        }
        return 0;
    case WM_PRINTCLIENT:
        PaintTo(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SIZE:
        Resize();
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        HandleMouse(msg, wParam, lParam);
        return 0;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        SetHover(nullptr);
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away (by a move loop, a message box): the pending press is void.
        if (reinterpret_cast<HWND>(lParam) != FHandle) {
            FOwnPress = false;
            if (TGraphicControl* c = std::exchange(FCaptureControl, nullptr))
                c->MouseUp(TMouseButton::Left, 0, -1, -1);
        }
        return 0;
    }
    return DefWindowProcA(FHandle, msg, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        control->FHandle = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!control)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        control->FHandle = nullptr;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // No error may cross the system's window procedure boundary: an error from a
    // control's handler goes to the application's general error report.
    try {
        return control->WndProc(msg, wParam, lParam);
    } catch (const std::exception& error) {
        ShowException(GetAncestor(hwnd, GA_ROOT), error);
    }
    return 0;
}
