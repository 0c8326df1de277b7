// The demo client that the demo package installs. It shows a small window that
// says it is installed and which argument it was started with, and writes that
// argument to "started.txt" beside itself, so that a test or a person can see
// that it was started and how.
#include <windows.h>

#include <string>

namespace {

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    const auto slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

void WriteStartMarker(const std::string& argument) {
    const std::string marker = ModuleFolder() + "started.txt";
    HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = "started [" + argument + "]\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

struct TClientWindow {
    std::wstring Text;

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<TClientWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            if (self)
                DrawTextW(dc, self->Text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const std::string argument = commandLine ? commandLine : "";
    WriteStartMarker(argument);

    TClientWindow client;
    client.Text = L"ZAVeri \u5BA2\u6237\u7AEF\u5DF2\u5B89\u88C5\u3002"; // "客户端已安装。"
    if (!argument.empty()) {
        const int size = MultiByteToWideChar(CP_ACP, 0, argument.c_str(), -1, nullptr, 0);
        std::wstring wide(size > 0 ? size - 1 : 0, L'\0');
        MultiByteToWideChar(CP_ACP, 0, argument.c_str(), -1, wide.data(), size);
        client.Text += L"\n\u53C2\u6570: " + wide; // "参数: "
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = TClientWindow::WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"ZAVeriDemoClient";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowW(wc.lpszClassName, L"ZAVeri", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360, 160,
                              nullptr, nullptr, instance, &client);
    ShowWindow(hwnd, show);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
