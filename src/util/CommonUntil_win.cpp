// Windows side of CommonUntil: shell removal of a tree, the recursive file
// listing over FindFirstFileA, and the Toolhelp walk that ends processes
// holding listed modules.
#include "CommonUntil.h"

#include "AnsiPath.h"
#include "WinHandle.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstddef>
#include <cstring>
#include <exception>

// TFindData mirrors WIN32_FIND_DATAA so that records can be copied as bytes.
static_assert(sizeof(TFindData) == sizeof(WIN32_FIND_DATAA));
static_assert(offsetof(TFindData, nFileSizeLow) == offsetof(WIN32_FIND_DATAA, nFileSizeLow));
static_assert(offsetof(TFindData, cFileName) == offsetof(WIN32_FIND_DATAA, cFileName));
static_assert(offsetof(TFindData, cAlternateFileName) == offsetof(WIN32_FIND_DATAA, cAlternateFileName));

#if defined(UNICODE)
#error "The Toolhelp walk uses the ANSI records PROCESSENTRY32 and MODULEENTRY32."
#endif
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296);
static_assert(sizeof(void*) != 4 || sizeof(MODULEENTRY32) == 548);

namespace {

constexpr UINT kDeleteFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI; // 0x0450
constexpr DWORD kAnyFile = 63; // read-only, hidden, system, volume label, directory, archive
constexpr DWORD kDirectoryAttr = 0x10;
constexpr DWORD kExcludeAttr = ~kAnyFile & 0x1E;

// ---- FindFiles ----

std::string WithTrailingBackslash(const std::string& dir) {
    // A trail byte 0x5C of a double-byte character is not a separator.
    if (!dir.empty() && LastDelimiter("\\", dir) == dir.size() - 1)
        return dir;
    return dir + '\\';
}

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool FileExistsAsFile(const std::string& path) {
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

TSearchRec MakeSearchRec(const WIN32_FIND_DATAA& data, HANDLE search) {
    TSearchRec rec;
    FILETIME local{};
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &dosDate, &dosTime))
        rec.Time = static_cast<std::int32_t>((static_cast<DWORD>(dosDate) << 16) | dosTime);
    rec.Size = static_cast<std::int32_t>(data.nFileSizeLow);
    rec.Attr = static_cast<std::int32_t>(data.dwFileAttributes);
    rec.Name = data.cFileName;
    rec.ExcludeAttr = static_cast<std::int32_t>(kExcludeAttr);
    rec.FindHandle = search;
    std::memcpy(&rec.FindData, &data, sizeof data);
    return rec;
}

// Lists one folder (path ends with a backslash) into files; false when a
// sub-folder's listing failed. Errors other than that are raised.
bool ScanFolder(const std::string& path, const std::string& mask, TFileArray& files) {
    WIN32_FIND_DATAA data{};
    TFindHandle search(FindFirstFileA((path + mask).c_str(), &data));
    if (!search)
        return true; // missing folder or nothing matches
    do {
        if (IsDotEntry(data.cFileName))
            continue;
        const std::string fullName = path + data.cFileName;
        if (data.dwFileAttributes & kDirectoryAttr) {
            if (!FindFiles(fullName, mask, files))
                return false;
        } else if (FileExistsAsFile(fullName)) {
            TSearchRec rec = MakeSearchRec(data, search.Get());
            rec.Name = fullName;
            files.push_back(std::move(rec));
        }
    } while (FindNextFileA(search.Get(), &data));
    return true;
}

// ---- KillProcessesUsingFiles ----

// The Toolhelp functions, looked up in kernel32 at run time; any of them may be missing.
class TToolhelp {
public:
    TToolhelp() {
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (!kernel)
            return;
        FCreateSnapshot = Lookup<TCreateSnapshot>(kernel, "CreateToolhelp32Snapshot");
        FProcessFirst = Lookup<TProcessWalk>(kernel, "Process32First");
        FProcessNext = Lookup<TProcessWalk>(kernel, "Process32Next");
        FModuleFirst = Lookup<TModuleWalk>(kernel, "Module32First");
        FModuleNext = Lookup<TModuleWalk>(kernel, "Module32Next");
    }

    TFileHandle Snapshot(DWORD flags, DWORD processId) const {
        return TFileHandle(FCreateSnapshot ? FCreateSnapshot(flags, processId) : INVALID_HANDLE_VALUE);
    }
    bool ProcessFirst(HANDLE snapshot, PROCESSENTRY32& entry) const {
        return FProcessFirst && FProcessFirst(snapshot, &entry);
    }
    bool ProcessNext(HANDLE snapshot, PROCESSENTRY32& entry) const {
        return FProcessNext && FProcessNext(snapshot, &entry);
    }
    bool ModuleFirst(HANDLE snapshot, MODULEENTRY32& entry) const {
        return FModuleFirst && FModuleFirst(snapshot, &entry);
    }
    bool ModuleNext(HANDLE snapshot, MODULEENTRY32& entry) const {
        return FModuleNext && FModuleNext(snapshot, &entry);
    }

private:
    using TCreateSnapshot = HANDLE(WINAPI*)(DWORD, DWORD);
    using TProcessWalk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
    using TModuleWalk = BOOL(WINAPI*)(HANDLE, MODULEENTRY32*);

    template <typename F> static F Lookup(HMODULE module, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    TCreateSnapshot FCreateSnapshot = nullptr;
    TProcessWalk FProcessFirst = nullptr;
    TProcessWalk FProcessNext = nullptr;
    TModuleWalk FModuleFirst = nullptr;
    TModuleWalk FModuleNext = nullptr;
};

// True when the process could be opened for termination and told to end.
bool TerminateById(DWORD processId) {
    const TObjectHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    return process && TerminateProcess(process.Get(), 0);
}

} // namespace

void DeleteDir(const std::string& dir) {
    // A shell file list: one path, ended by a double NUL (c_str adds the second).
    std::string from = dir;
    from.push_back('\0');

    SHFILEOPSTRUCTA operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.pTo = nullptr;
    operation.fFlags = kDeleteFlags;
    operation.fAnyOperationsAborted = FALSE;
    operation.hNameMappings = nullptr;
    operation.lpszProgressTitle = nullptr;
    SHFileOperationA(&operation); // what cannot be removed stays, unreported
}

bool FindFiles(const std::string& dir, const std::string& mask, TFileArray& files) {
    try {
        if (ScanFolder(WithTrailingBackslash(dir), mask, files))
            return true;
    } catch (const std::exception&) {
        // Memory exhaustion and the like: the listing is incomplete, so it is dropped.
    }
    // A partial list would let the install go on with part of the tree: a
    // failure at any depth fails the whole listing.
    files.clear();
    return false;
}

bool KillProcessesUsingFiles(const TFileArray& files, const TKeepProcessEvent& callback) {
    bool lastAttemptFailed = false;
    const TToolhelp toolhelp;
    const TFileHandle processes = toolhelp.Snapshot(TH32CS_SNAPPROCESS, 0);
    if (!processes)
        return false;

    PROCESSENTRY32 process{};
    process.dwSize = sizeof process;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;

    for (bool more = toolhelp.ProcessFirst(processes.Get(), process); more;
         more = toolhelp.ProcessNext(processes.Get(), process)) {
        const TFileHandle modules = toolhelp.Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID);
        if (!modules)
            continue; // access denied or gone: skipped without a report
        for (bool moreModules = toolhelp.ModuleFirst(modules.Get(), module); moreModules;
             moreModules = toolhelp.ModuleNext(modules.Get(), module)) {
            const std::string modulePath(module.szExePath, strnlen(module.szExePath, sizeof module.szExePath));
            if (!FileInList(files, modulePath))
                continue;
            if (callback && callback(modulePath, module.th32ProcessID))
                continue;
            // The walk goes on through the frozen module list; a second listed
            // module of the same process makes a second attempt.
            lastAttemptFailed = !TerminateById(process.th32ProcessID);
        }
    }
    return lastAttemptFailed;
}
