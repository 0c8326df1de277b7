#pragma once
// The setup window, which is also the setup controller: it starts the package
// download at creation, follows the worker's reports, runs the install sequence
// on WM_INSTALL and applies the close rule.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "download/FileDownLoadThread.h"
#include "SetupPaths.h"
#include "ui/Form.h"
#include "ui/SetupWindowView.h"

class TDovexSetupFrm : public TForm {
public:
    static constexpr int kClientWidth = 601;
    static constexpr int kClientHeight = 427;
    // Posted to the window itself when the package has arrived; both parameters 0.
    static constexpr UINT WM_INSTALL = WM_USER + 101;

    // The shipping window: the settings' server, the running executable's
    // folder. The owner is the application window that stands in the task bar.
    explicit TDovexSetupFrm(HWND owner = nullptr);
    // A window for a given server and program location.
    explicit TDovexSetupFrm(TSetupOrigin origin, HWND owner = nullptr);
    ~TDovexSetupFrm() override;

    // Click handler of the close button: closes only while nothing is in progress.
    void btnCloseClick();
    void FormShow();

    int32_t State() const noexcept { return FState; }
    const std::string& Url() const noexcept { return FUrl; }
    const std::string& TempDir() const noexcept { return FTempDir; }
    const std::string& ZipFile() const noexcept { return FZipFile; }
    bool HasDownloadWorker() const noexcept { return FThread != nullptr; }
    std::wstring StatusText() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void FormDestroy();
    void InitPaths();
    void DownloadProgress(TFileDownLoadThread* sender, int32_t progress, int32_t progressMax);
    void DownloadFinished(TFileDownLoadThread* sender);
    void DownloadFailed(TFileDownLoadThread* sender, HRESULT errorCode);
    void DownloadThreadTerminate(TThread* sender);

    // The install sequence (InstallSequence.cpp, InstallFiles.cpp, InstallLocation.cpp).
    void InstallPackage();
    std::string GetInstallDirOrStop();
    void StopInstall(const wchar_t* statusText);
    void UnZipPercentDone(int percent);
    void UnZipBadPassword(int fileIndex, std::string& newPassword);
    static bool KeepProcess(const std::string& modulePath, std::uint32_t processId);
    void CopyInstallFiles();
    std::string GetInstallDir();
    void RegisterClient();

    // The window's controls (the view); the controller reaches the status line
    // and the progress bar only through the members below.
    void CreateView();
    void RemoveProgressBarEdge();
    void SetStatusText(const std::wstring& text);
    void SetProgressPosition(int32_t position);
    void SetProgressMin(int32_t minimum);
    void SetProgressMax(int32_t maximum);
    // Loads the slides and starts the slideshow's pause timer.
    void SetUpSlideshow();
    void ReleaseSlideshow();

    TSetupOrigin FOrigin;
    std::unique_ptr<TSetupWindowView> FView;
    // The window the worker-thread handlers post to; set before the worker
    // starts and never changed, so the worker reads it without a race.
    HWND FReportWindow = nullptr;

    std::unique_ptr<TFileDownLoadThread> FThread;
    std::string FUrl;
    std::string FZipFile;
    std::string FTempDir;
    std::atomic<int32_t> FState{0};
    std::string FInstallDir;
};
