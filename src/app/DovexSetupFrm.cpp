#include "DovexSetupFrm.h"

#include <utility>

#include "ControllerState.h"
#include "archive/PlatformFile.h"

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
    CreateView();
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
    PlatformFs::ForceDirectories(FTempDir);
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

void TDovexSetupFrm::btnCloseClick() {
    if (CloseAllowed(FState))
        Close();
    else
        MessageBoxA(Handle(), kCannotExitText, kNoticeCaption, kNoticeStyle);
}

LRESULT TDovexSetupFrm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT viewResult = 0;
    if (FView && FView->HandleMessage(msg, wParam, lParam, viewResult))
        return viewResult;
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

// ---- the window's controls --------------------------------------------------

void TDovexSetupFrm::CreateView() {
    FView = std::make_unique<TSetupWindowView>(*this);
    FView->OnCloseClick = [this] { btnCloseClick(); };
}

void TDovexSetupFrm::RemoveProgressBarEdge() {
    FView->pb1().RemoveStaticEdge();
}

void TDovexSetupFrm::SetStatusText(const std::wstring& text) {
    FView->lblInstall().SetCaption(text);
}

std::wstring TDovexSetupFrm::StatusText() const {
    return FView->lblInstall().Caption();
}

void TDovexSetupFrm::SetProgressPosition(int32_t position) {
    FView->pb1().SetPosition(position);
}

void TDovexSetupFrm::SetProgressMin(int32_t minimum) {
    FView->pb1().SetMin(minimum);
}

void TDovexSetupFrm::SetProgressMax(int32_t maximum) {
    FView->pb1().SetMax(maximum);
}

void TDovexSetupFrm::SetUpSlideshow() {
    FView->StartSlideshow();
}

void TDovexSetupFrm::ReleaseSlideshow() {
    FView->ReleaseSlides();
}
