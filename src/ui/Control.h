#pragma once
// The common part of windowed and windowless controls: bounds relative to the
// parent's client area, visibility, enabled state and the mouse events. The
// base handling of each mouse notification raises the matching event.
#include <windows.h>

#include <functional>

class TCanvas;
class TWinControl;

enum class TMouseButton { Left, Right, Middle };

using TNotifyEvent = std::function<void()>;
using TMouseEvent = std::function<void(TMouseButton button, UINT keys, int x, int y)>;
using TMouseMoveEvent = std::function<void(UINT keys, int x, int y)>;

class TControl {
public:
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;
    virtual ~TControl() = default;

    int Left() const { return FBounds.left; }
    int Top() const { return FBounds.top; }
    int Width() const { return FBounds.right - FBounds.left; }
    int Height() const { return FBounds.bottom - FBounds.top; }
    const RECT& BoundsRect() const { return FBounds; }
    RECT ClientRect() const { return RECT{0, 0, Width(), Height()}; }
    virtual void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);

    // Mouse notifications in the control's own coordinates.
    virtual void MouseDown(TMouseButton button, UINT keys, int x, int y);
    virtual void MouseUp(TMouseButton button, UINT keys, int x, int y);
    virtual void MouseMove(UINT keys, int x, int y);
    virtual void Click();
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnClick;

protected:
    TControl() = default;
    virtual void EnabledChanged() {}

    RECT FBounds{};
    bool FVisible = true;
    bool FEnabled = true;
};
