// Copying the extracted tree into the installation folder, with a Retry/Cancel
// prompt for every file that cannot be written.
#include "DovexSetupFrm.h"

#include <cstdio>

#include "archive/PlatformFile.h"
#include "InstallPaths.h"
#include "util/AnsiPath.h"
#include "util/CommonUntil.h"

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = LastDelimiter("\\", path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Creates the target's folder and copies the file over any existing one.
bool CopyOneFile(const std::string& source, const std::string& target) {
    const std::string folder = FolderOf(target);
    if (!folder.empty() && !PlatformFs::ForceDirectories(folder))
        return false;
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
}

} // namespace

void TDovexSetupFrm::CopyInstallFiles() {
    const std::string runAfterUpdate = FTempDir + "\\RunAfterUpdate.bat";
    if (PlatformFs::FileExists(runAfterUpdate))
        DeleteFileA(runAfterUpdate.c_str());

    const std::string unzipDir = FTempDir + "\\UNZIP";
    TFileArray files;
    if (!FindFiles(unzipDir + "\\", "*.*", files))
        return;

    for (const auto& file : files) {
        for (;;) {
            const std::string target = MapToInstallPath(file.Name, unzipDir, FInstallDir);
            if (CopyOneFile(file.Name, target))
                break;
            char text[1024];
            std::snprintf(text, sizeof(text), "文件[%s]被占用，请退出占用的程序重试!", target.c_str());
            if (MessageBoxA(Handle(), text, "警告", MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY)
                return; // this file and every later one stay uncopied
        }
    }
}
