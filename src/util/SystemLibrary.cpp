#include "util/SystemLibrary.h"

#include <vector>

namespace {

// The error of the call that just failed; a call that failed without setting
// one still reports a meaningful code.
DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring SystemFolderPath(const std::wstring& fileName) {
    std::vector<wchar_t> folder(MAX_PATH);
    UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length + 1);
        length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    }
    if (length == 0 || length >= folder.size())
        return std::wstring();
    return std::wstring(folder.data(), length) + L'\\' + fileName;
}

HMODULE LoadFromSystemFolder(const std::string& name) {
    const std::wstring wideName = Widen(name);
    HMODULE module = LoadLibraryExW(wideName.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system without the search flags refuses them as an invalid parameter;
    // there the full path of the system folder's copy does the same. Its own
    // dependencies are then looked up beside it first.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
        const std::wstring path = SystemFolderPath(wideName);
        if (!path.empty())
            module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return module;
}

} // namespace

TSystemLibrary::TSystemLibrary(std::string name) : FName(std::move(name)) {
    // A name with a folder part would load whatever file it points at.
    if (FName.empty() || FName.find_first_of("\\/:") != std::string::npos)
        throw ESystemLibraryMissing(FName, ERROR_INVALID_NAME);
    FModule.Reset(LoadFromSystemFolder(FName));
    if (!FModule)
        throw ESystemLibraryMissing(FName, LastErrorOr(ERROR_MOD_NOT_FOUND));
}

FARPROC TSystemLibrary::Procedure(const char* function) const {
    const FARPROC address = GetProcAddress(FModule.Get(), function);
    if (!address)
        throw ESystemFunctionMissing(FName, function, LastErrorOr(ERROR_PROC_NOT_FOUND));
    return address;
}

void RestrictDllSearchToSystemFolder() {
    // Resolved at run time: an old system without it must still start the program.
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const FARPROC address = kernel32 ? GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr;
    if (!address)
        return;
    const auto setDefaultDllDirectories =
        reinterpret_cast<decltype(&SetDefaultDllDirectories)>(reinterpret_cast<void*>(address));
    if (!setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        throw ESystemLibraryError("Cannot restrict the DLL search to the system folder",
                                  LastErrorOr(ERROR_INVALID_FUNCTION));
}
