#include "DovexSetupFrm.h"

#include <commctrl.h>

#include <utility>

#include "ControllerState.h"
#include "FolderTree.h"

namespace {

// Carries the failed download's status text over to the GUI thread.
constexpr UINT WM_DOWNLOAD_FAILED = WM_USER + 102;

constexpr wchar_t kCollectingText[] = L"正在为您搜集服务资源";
constexpr wchar_t kDownloadFailedText[] = L"不能成功下载安装包，请确认网络！";
constexpr char kCannotExitText[] = "程序安装过程中，不能退出！";
constexpr char kNoticeCaption[] = "提示";
constexpr UINT kNoticeStyle = 64; // MB_OK | MB_ICONINFORMATION

std::string ModuleFileName() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

} // namespace

TDovexSetupFrm::TDovexSetupFrm(HWND owner) : TDovexSetupFrm(DefaultSetupOrigin(ModuleFileName()), owner) {}

TDovexSetupFrm::TDovexSetupFrm(TSetupOrigin origin, HWND owner) : FOrigin(std::move(origin)) {
    CreateBorderlessWindow("TDovexSetupFrm", kClientWidth, kClientHeight, owner);
    FReportWindow = Handle();
    CreateInterimControls();
    // The creation handler is an event handler: an error in it is reported and
    // the window stays.
    try {
        FormCreate();
    } catch (const std::exception& error) {
        ShowException(Handle(), error);
    }
}

TDovexSetupFrm::~TDovexSetupFrm() {
    // Take the worker out of FThread first, so that its end-of-run handler, which
    // may run while the worker is stopped here, finds nothing left to free.
    std::unique_ptr<TFileDownLoadThread> worker = std::move(FThread);
    worker.reset();
}

void TDovexSetupFrm::FormCreate() {
    RemoveProgressBarEdge();
    InitPaths();
    SetStatusText(kCollectingText);
    FThread = std::make_unique<TFileDownLoadThread>(
        FUrl, FZipFile,
        [this](TFileDownLoadThread* sender, uint32_t progress, uint32_t progressMax) {
            DownloadProgress(sender, static_cast<int32_t>(progress), static_cast<int32_t>(progressMax));
        },
        [this](TFileDownLoadThread* sender) { DownloadFinished(sender); },
        [this](TFileDownLoadThread* sender, HRESULT errorCode) { DownloadFailed(sender, errorCode); }, true);
    // Self-freeing stays off: the controller owns the worker and frees it in
    // its end-of-run handler.
    FThread->SetOnTerminate([this](TThread* sender) { DownloadThreadTerminate(sender); });
    FState = ControllerState::kDownloading;
    FThread->Start();
    SetUpSlideshow();
}

void TDovexSetupFrm::FormShow() {
    CentreOnDesktop();
}

void TDovexSetupFrm::FormDestroy() {
    ReleaseSlideshow();
}

void TDovexSetupFrm::InitPaths() {
    const TSetupPaths paths = MakeSetupPaths(FOrigin);
    FUrl = paths.Url;
    FTempDir = paths.TempDir;
    // A folder that cannot be created shows up as a failed download.
    CreateFolderTree(FTempDir);
    FZipFile = paths.ZipFile;
}

void TDovexSetupFrm::DownloadProgress(TFileDownLoadThread*, int32_t progress, int32_t progressMax) {
    SetProgressPosition(progress);
    SetProgressMax(progressMax);
}

void TDovexSetupFrm::DownloadFinished(TFileDownLoadThread*) {
    // Worker thread: only the state store and a post.
    FState = ControllerState::kInstalling;
    PostMessageA(FReportWindow, WM_INSTALL, 0, 0);
}

void TDovexSetupFrm::DownloadFailed(TFileDownLoadThread*, HRESULT) {
    // Worker thread: the status line changes on the GUI thread.
    FState = ControllerState::kDownloadFailed;
    PostMessageA(FReportWindow, WM_DOWNLOAD_FAILED, 0, 0);
}

void TDovexSetupFrm::DownloadThreadTerminate(TThread*) {
    if (!FThread)
        return;
    FThread->SetOnProgress(nullptr);
    FThread->SetOnFinish(nullptr);
    FThread->SetOnFail(nullptr);
    // The worker touches nothing of itself once this handler returns.
    FThread.reset();
}

void TDovexSetupFrm::InstallPackage() {
    // The install sequence comes here.
}

void TDovexSetupFrm::btnCloseClick() {
    if (CloseAllowed(FState))
        Close();
    else
        MessageBoxA(Handle(), kCannotExitText, kNoticeCaption, kNoticeStyle);
}

LRESULT TDovexSetupFrm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SHOWWINDOW && wParam)
        FormShow();
    if (msg == WM_DESTROY)
        FormDestroy();
    LRESULT result = TForm::WndProc(msg, wParam, lParam);
    switch (msg) {
    case WM_QUERYENDSESSION:
        // Log-off and shutdown may always go ahead, whatever the state.
        result = 1;
        break;
    case WM_INSTALL:
        InstallPackage();
        break;
    case WM_DOWNLOAD_FAILED:
        SetStatusText(kDownloadFailedText);
        break;
    }
    return result;
}

// ---- interim controls -------------------------------------------------------

void TDovexSetupFrm::CreateInterimControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    FStatusLine = CreateWindowExW(0, L"STATIC", L"lblInstall", WS_CHILD | WS_VISIBLE | SS_CENTER, 12, 364, 577, 25,
                                  Handle(), nullptr, instance, nullptr);
    FProgressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 11, 398, 577, 15,
                                   Handle(), nullptr, instance, nullptr);
    SendMessageA(FProgressBar, PBM_SETRANGE32, 0, 100);
    SendMessageA(FProgressBar, PBM_SETPOS, 0, 0);
}

void TDovexSetupFrm::RemoveProgressBarEdge() {
    const LONG exStyle = GetWindowLongA(FProgressBar, GWL_EXSTYLE);
    SetWindowLongA(FProgressBar, GWL_EXSTYLE, exStyle & ~WS_EX_STATICEDGE);
    SetWindowPos(FProgressBar, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDovexSetupFrm::SetStatusText(const std::wstring& text) {
    SetWindowTextW(FStatusLine, text.c_str());
}

std::wstring TDovexSetupFrm::StatusText() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(FStatusLine)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(FStatusLine, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TDovexSetupFrm::SetProgressPosition(int32_t position) {
    SendMessageA(FProgressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TDovexSetupFrm::SetProgressMax(int32_t maximum) {
    const auto minimum = static_cast<int32_t>(SendMessageA(FProgressBar, PBM_GETRANGE, TRUE, 0));
    SendMessageA(FProgressBar, PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void TDovexSetupFrm::SetUpSlideshow() {
    // The slideshow (five slides, pause timer) is merged in with the window's controls.
    FCurIndex = -999;
    FStep = 60;
}

void TDovexSetupFrm::ReleaseSlideshow() {}
