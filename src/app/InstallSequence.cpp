// The install sequence that runs when the package has arrived: extract, map the
// extracted files to their targets, end the processes that hold them, copy,
// register, offer to start the client, end the process.
#include "DovexSetupFrm.h"

#include <shellapi.h>

#include "ControllerState.h"
#include "InstallPaths.h"
#include "Settings.h"
#include "util/CommonUntil.h"

namespace {

constexpr const wchar_t* kInstallingText = L"正在安装,请稍候.......";
constexpr const wchar_t* kBadPackageText = L"非法的安装包！";
constexpr const wchar_t* kFilesInUseText = L"安装文件被占用，请关闭相关程序后重新运行安装！";
constexpr const wchar_t* kInstallFailedText = L"安装失败，请重新运行安装程序！";

} // namespace

void TDovexSetupFrm::InstallPackage() {
    if (FInstallDir.empty())
        FInstallDir = GetInstallDirOrStop();
    if (FInstallDir.empty())
        return;

    SetStatusText(kInstallingText);
    const std::string unzipDir = FTempDir + "\\UNZIP";
    DeleteDir(unzipDir);
    SetProgressMin(0);
    SetProgressMax(100);

    bool extracted = false;
    try {
        extracted = UnZipFile(
            FZipFile, unzipDir, [this](TUnZip&, int fileIndex, std::string& newPassword) {
                UnZipBadPassword(fileIndex, newPassword);
            },
            [this](TUnZip&, int percent) { UnZipPercentDone(percent); });
    } catch (...) {
        // The archive check refused the file outright (no archive, unreadable
        // directory): the general error report shows why, the window says so.
        StopInstall(kBadPackageText);
        throw;
    }
    // Nothing is terminated, copied or registered from a package that did not
    // extract completely: a partial tree must never pass for an installation.
    if (!extracted) {
        StopInstall(kBadPackageText);
        return;
    }

    TFileArray files;
    if (!FindFiles(unzipDir + "\\", "*.*", files)) {
        StopInstall(kInstallFailedText);
        return;
    }
    for (auto& file : files)
        file.Name = MapToInstallPath(file.Name, unzipDir, FInstallDir);

    if (KillProcessesUsingFiles(files, [](const std::string& modulePath, std::uint32_t processId) {
            return KeepProcess(modulePath, processId);
        })) {
        StopInstall(kFilesInUseText);
        return;
    }

    CopyInstallFiles();
    RegisterClient();
    FState = ControllerState::kInstalled;

    const std::string clientExe = FInstallDir + Settings::ClientExeName;
    if (MessageBoxA(Handle(), "程序安装完毕，是否自动运行！", "提示", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
        ShellExecuteA(nullptr, "open", clientExe.c_str(), "", FInstallDir.c_str(), SW_SHOWDEFAULT);
    ExitProcess(0);
}

std::string TDovexSetupFrm::GetInstallDirOrStop() {
    try {
        return GetInstallDir();
    } catch (...) {
        StopInstall(kInstallFailedText);
        throw;
    }
}

void TDovexSetupFrm::StopInstall(const wchar_t* statusText) {
    // The install has ended without installing: say why and let the user close.
    SetStatusText(statusText);
    FState = ControllerState::kDownloadFailed;
}

void TDovexSetupFrm::UnZipPercentDone(int percent) {
    SetProgressPosition(percent);
}

void TDovexSetupFrm::UnZipBadPassword(int /*fileIndex*/, std::string& /*newPassword*/) {
    // No other password is tried: the entry is given up.
    SetStatusText(kBadPackageText);
}

bool TDovexSetupFrm::KeepProcess(const std::string& /*modulePath*/, std::uint32_t processId) {
    // Every holder is ended except the installer itself, which would otherwise
    // end the install half-done.
    return processId == GetCurrentProcessId();
}
