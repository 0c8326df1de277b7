#include "ui/Control.h"

void TControl::SetBounds(int left, int top, int width, int height) {
    FBounds = RECT{left, top, left + width, top + height};
}

void TControl::SetVisible(bool value) {
    FVisible = value;
}

void TControl::SetEnabled(bool value) {
    if (FEnabled == value)
        return;
    FEnabled = value;
    EnabledChanged();
}

void TControl::MouseDown(TMouseButton button, UINT keys, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(button, keys, x, y);
}

void TControl::MouseUp(TMouseButton button, UINT keys, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(button, keys, x, y);
}

void TControl::MouseMove(UINT keys, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(keys, x, y);
}

void TControl::Click() {
    if (OnClick)
        OnClick();
}
