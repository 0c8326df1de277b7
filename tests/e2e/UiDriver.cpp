// A small UI driver for end-to-end runs under Wine: it waits for a message box
// (a "#32770" dialog) of a given caption, prints the box's text as UTF-8 and
// presses one of its buttons.
//
//   tavrin-uidriver box CAPTION BUTTON [TIMEOUT_SECONDS]
//       BUTTON: ok, cancel, retry, yes, no, or none (print the text, press nothing)
//   tavrin-uidriver window CLASS [TIMEOUT_SECONDS]
//       waits until a visible top-level window of that class exists
//   tavrin-uidriver click CLASS X Y [TIMEOUT_SECONDS]
//       a left click at client position (X, Y) of that window
//   tavrin-uidriver hold FILE SECONDS
//       keeps FILE open without sharing for that long (a file "in use")
//
// Exit code 0 when the box or window was found, 1 on timeout, 2 on bad usage.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string ToUtf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(hwnd, buffer, 4096);
    return buffer;
}

struct TSearch {
    std::wstring ClassName;
    std::wstring Caption;
    HWND Found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<TSearch*>(param);
    wchar_t className[256] = {};
    GetClassNameW(hwnd, className, 256);
    if (search->ClassName == className && IsWindowVisible(hwnd) &&
        (search->Caption.empty() || WindowText(hwnd) == search->Caption)) {
        search->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(const std::wstring& className, const std::wstring& caption, int timeoutSeconds) {
    for (int waited = 0; waited < timeoutSeconds * 10; ++waited) {
        TSearch search{className, caption};
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.Found)
            return search.Found;
        Sleep(100);
    }
    return nullptr;
}

// The message text of a message box is the static control with id 0xFFFF.
std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::wstring();
}

int ButtonId(const std::wstring& name) {
    if (name == L"ok")
        return IDOK;
    if (name == L"cancel")
        return IDCANCEL;
    if (name == L"retry")
        return IDRETRY;
    if (name == L"yes")
        return IDYES;
    if (name == L"no")
        return IDNO;
    return 0;
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* raw = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args(raw, raw + argc);
    LocalFree(raw);
    if (args.size() < 3)
        return 2;

    if (args[1] == L"box" && args.size() >= 4) {
        const int timeout = args.size() >= 5 ? _wtoi(args[4].c_str()) : 60;
        HWND box = WaitForWindow(L"#32770", args[2], timeout);
        if (!box)
            return 1;
        // Let the box finish its initialisation before reading and pressing.
        Sleep(200);
        std::printf("%s\n", ToUtf8(MessageBoxText(box)).c_str());
        std::fflush(stdout);
        const int id = ButtonId(args[3]);
        if (id != 0) {
            HWND button = GetDlgItem(box, id);
            if (button)
                SendMessageW(button, BM_CLICK, 0, 0);
            else
                PostMessageW(box, WM_COMMAND, id, 0);
        }
        return 0;
    }
    if (args[1] == L"click" && args.size() >= 5) {
        const int timeout = args.size() >= 6 ? _wtoi(args[5].c_str()) : 60;
        HWND hwnd = WaitForWindow(args[2], L"", timeout);
        if (!hwnd)
            return 1;
        // Deliver the click to the deepest child window under the point, as the
        // system would, in that window's client coordinates.
        POINT pt{_wtoi(args[3].c_str()), _wtoi(args[4].c_str())};
        for (;;) {
            HWND child = ChildWindowFromPointEx(hwnd, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == hwnd)
                break;
            MapWindowPoints(hwnd, child, &pt, 1);
            hwnd = child;
        }
        const LPARAM at = MAKELPARAM(pt.x, pt.y);
        PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
        PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (args[1] == L"hold" && args.size() >= 4) {
        HANDLE file = CreateFileW(args[2].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(_wtoi(args[3].c_str())) * 1000);
        CloseHandle(file);
        return 0;
    }
    if (args[1] == L"window") {
        const int timeout = args.size() >= 4 ? _wtoi(args[3].c_str()) : 60;
        return WaitForWindow(args[2], L"", timeout) ? 0 : 1;
    }
    return 2;
}
