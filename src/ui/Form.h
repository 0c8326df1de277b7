#pragma once
// A top-level window with a virtual window procedure. The object is bound to
// its window on WM_NCCREATE and unbound on WM_NCDESTROY, so messages that
// arrive before construction finishes or after destruction starts go to the
// default handling. A main form ends the message loop when it is destroyed.
#include <windows.h>

#include <exception>
#include <string>

// The program title: the executable's file name without its folder, cut before
// its first ".".
std::string ApplicationTitle();

// The application's general error report for an error that escaped an event,
// timer or message handler: a message box owned by `owner` (may be null) with
// the error's message, the program title as caption, the stop icon and OK.
// The program goes on afterwards.
void ShowException(HWND owner, const std::exception& error);

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
    // whose client area, and so whole window, has the given size. An owned
    // window has no task-bar entry of its own; its owner's stands for it.
    void CreateBorderlessWindow(const char* className, int clientWidth, int clientHeight, HWND owner = nullptr);

    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs the form's window procedure; an error that escapes it goes to the
    // general error report, and the message answers 0.
    static LRESULT DispatchToForm(TForm* form, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND FHandle = nullptr;
    bool FMainForm = false;
};
