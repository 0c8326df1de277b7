#pragma once
// A windowless control: it paints on its parent's surface within its bounds,
// in creation order after the parent, and receives the parent's mouse input for
// its area. Repainting it repaints the parent's area beneath it first, unless
// the control is opaque.
#include "ui/Control.h"

class TGraphicControl : public TControl {
public:
    ~TGraphicControl() override;

    TWinControl* Parent() const { return FParent; }
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool value) override;

    // Paints in the control's own coordinates; the canvas is clipped to its bounds.
    virtual void Paint(TCanvas& canvas) = 0;
    // An opaque control covers its whole area, so the parent skips painting beneath it.
    virtual bool Opaque() const { return false; }
    // A left press captures the mouse until the release (clicks need it).
    bool CapturesMouse() const { return FCapturesMouse; }

    void Invalidate();
    // Invalidates and repaints at once.
    void Repaint();

protected:
    explicit TGraphicControl(TWinControl& parent);
    bool FCapturesMouse = true;

private:
    TWinControl* FParent;
};
