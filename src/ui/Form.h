#pragma once
// A top-level window with a virtual window procedure. The object is bound to
// its window on WM_NCCREATE and unbound on WM_NCDESTROY, so messages that
// arrive before construction finishes or after destruction starts go to the
// default handling. A main form ends the message loop when it is destroyed.
#include <windows.h>

class TForm {
public:
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm();

    HWND Handle() const { return FHandle; }
    bool IsMainForm() const { return FMainForm; }
    void SetMainForm(bool value) { FMainForm = value; }

    void Show();
    void Close();

    // Places the window at the centre of the bounding box of all monitors.
    void CentreOnDesktop();

protected:
    TForm() = default;

    // Creates a borderless popup window (no caption, border icons or sizing)
    // whose client area, and so whole window, has the given size.
    void CreateBorderlessWindow(const char* className, int clientWidth, int clientHeight);

    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND FHandle = nullptr;
    bool FMainForm = false;
};
