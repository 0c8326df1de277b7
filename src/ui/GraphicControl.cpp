#include "ui/GraphicControl.h"

#include "ui/WinControl.h"

TGraphicControl::TGraphicControl(TWinControl& parent) : FParent(&parent) {
    parent.InsertControl(*this);
}

TGraphicControl::~TGraphicControl() {
    if (FParent)
        FParent->RemoveControl(*this);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    Invalidate();
    TControl::SetBounds(left, top, width, height);
    Invalidate();
}

void TGraphicControl::SetVisible(bool value) {
    if (value == FVisible)
        return;
    TControl::SetVisible(value);
    if (FParent->Handle())
        InvalidateRect(FParent->Handle(), &FBounds, FALSE);
}

void TGraphicControl::Invalidate() {
    if (FVisible && FParent->Handle())
        InvalidateRect(FParent->Handle(), &FBounds, FALSE);
}

void TGraphicControl::Repaint() {
    Invalidate();
    if (FParent->Handle())
        UpdateWindow(FParent->Handle());
}
