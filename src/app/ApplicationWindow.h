#pragma once
// The application's own window: it carries the program title, so the task-bar
// entry shows the title while the borderless setup window, which it owns, keeps
// an empty window text. It is visible but has no size, so nothing of it shows.
#include <windows.h>

#include <functional>
#include <string>

class TApplicationWindow {
public:
    explicit TApplicationWindow(const std::string& title);
    TApplicationWindow(const TApplicationWindow&) = delete;
    TApplicationWindow& operator=(const TApplicationWindow&) = delete;
    ~TApplicationWindow();

    HWND Handle() const noexcept { return FHandle; }

    // What a close request from the task bar does; without a handler it is ignored.
    void SetOnCloseRequest(std::function<void()> handler) { FOnCloseRequest = std::move(handler); }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND FHandle = nullptr;
    std::function<void()> FOnCloseRequest;
};
