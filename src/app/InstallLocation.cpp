// Where the client is installed, and its registration as the ZAVeri protocol
// handler with shortcuts on the all-users desktop and programs menu.
#include "DovexSetupFrm.h"

#include <objbase.h>

#include <algorithm>

#include "archive/PlatformFile.h"
#include "InstallPaths.h"
#include "Settings.h"
#include "util/CommonUntil.h"
#include "util/Exception.h"
#include "util/ShellShortcut.h"
#include "util/WinHandle.h"

namespace {

constexpr const char* kCommandKey = "ZAVeri\\shell\\open\\command";
constexpr const char* kShortcutName = "Tavrin服务.lnk";
constexpr int kCommonDesktop = 25;  // CSIDL_COMMON_DESKTOPDIRECTORY
constexpr int kCommonPrograms = 23; // CSIDL_COMMON_PROGRAMS

// The default value of the command key as stored; empty when the key or value
// is missing. A value that is not a string cannot name a folder.
std::string ReadRegisteredCommand() {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kCommandKey, 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return {};
    const TRegKey key(raw);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Exception("Invalid data type for ''");
    std::string value(size, '\0');
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    value.resize(std::min<std::size_t>(size, value.size()));
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    return value;
}

void WriteClassesString(const char* subKey, const char* valueName, const std::string& data) {
    HKEY raw = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey, 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        throw Exception(std::string("Failed to create key ") + subKey);
    const TRegKey key(raw);
    if (RegSetValueExA(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
        throw Exception(std::string("Failed to set data for '") + (valueName ? valueName : "") + "'");
}

// COM for the calling thread, released when the guard goes.
class TComInitialization {
public:
    TComInitialization() : FInitialized(SUCCEEDED(CoInitialize(nullptr))) {}
    TComInitialization(const TComInitialization&) = delete;
    TComInitialization& operator=(const TComInitialization&) = delete;
    ~TComInitialization() {
        if (FInitialized)
            CoUninitialize();
    }

private:
    bool FInitialized;
};

} // namespace

std::string TDovexSetupFrm::GetInstallDir() {
    std::string result;
    const std::string command = ReadRegisteredCommand();
    if (!command.empty())
        result = InstallDirFromCommand(command);
    if (result.empty()) {
        char systemDir[255] = {};
        GetSystemDirectoryA(systemDir, sizeof(systemDir));
        result = std::string(1, systemDir[0]) + ":\\" + Settings::ProductFolderName;
        PlatformFs::ForceDirectories(result);
    }
    return CollapseDoubledBackslashes(result + "\\");
}

void TDovexSetupFrm::RegisterClient() {
    DeleteDir(FTempDir);

    const std::string clientExe = FInstallDir + Settings::ClientExeName;
    try {
        WriteClassesString(kCommandKey, nullptr, ProtocolCommand(FInstallDir, Settings::ClientExeName));
        WriteClassesString("ZAVeri\\DefaultIcon", nullptr, clientExe + " 1");
        WriteClassesString("ZAVeri", nullptr, "URL: ZAVeri Protocol");
        WriteClassesString("ZAVeri", "URL Protocol", "");
    } catch (const std::exception& e) {
        // Registration is best effort: the files are installed either way.
        OutputDebugStringA(e.what());
    }

    try {
        const TComInitialization com;
        CreateShortcut(clientExe, kShortcutName, kCommonDesktop);
        CreateShortcut(clientExe, kShortcutName, kCommonPrograms);
    } catch (...) {
        // A missing shortcut does not undo the installation.
    }
}
