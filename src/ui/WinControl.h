#pragma once
// A control with its own child window that hosts windowless controls. It paints
// itself (Paint), then its windowless children in creation order, each clipped
// to its bounds; opaque children are cut out of its own painting. It feeds the
// windowless children the mouse input for their bounds: a left press on one
// captures the mouse, its release gives a click only inside the control, and the
// pointer entering and leaving is reported also while the mouse is captured.
#include "ui/Control.h"

#include <string>
#include <vector>

class TGraphicControl;

class TWinControl : public TControl {
public:
    ~TWinControl() override;

    HWND Handle() const { return FHandle; }
    // The window this control lives in (a form or another control).
    HWND ParentWindow() const { return FParentWindow; }
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool value) override;

    COLORREF Color() const { return FColor; }
    void SetColor(COLORREF value);

    // Paints the whole control and its windowless children into a device context
    // (the paint, the print and the print-client messages all come here).
    void PaintTo(HDC dc);

    void Invalidate();
    void Repaint();

    // Windowless children register themselves in creation order.
    void InsertControl(TGraphicControl& control);
    void RemoveControl(TGraphicControl& control);
    const std::vector<TGraphicControl*>& Controls() const { return FControls; }
    // The topmost visible, enabled windowless child at a client point, or null.
    TGraphicControl* ControlAt(POINT pt) const;

protected:
    TWinControl(HWND parentWindow, int left, int top, int width, int height);

    virtual void Paint(TCanvas& canvas);
    // Background erase; returns true when handled. The default fills with Color.
    virtual bool EraseBackground(HDC dc);
    virtual void Resize() {}
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

    COLORREF FColor = 0x80000000u | COLOR_BTNFACE;

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetHover(TGraphicControl* control);

    HWND FParentWindow;
    HWND FHandle = nullptr;
    std::vector<TGraphicControl*> FControls;
    TGraphicControl* FCaptureControl = nullptr; // windowless child holding the mouse
    TGraphicControl* FHoverControl = nullptr;
    bool FOwnPress = false; // a left press on the control itself, waiting for its release
    bool FTrackingLeave = false;
};
