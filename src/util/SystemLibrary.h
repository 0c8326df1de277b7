#pragma once
// System DLLs that the program does not import statically: each is loaded from
// the system folder only, never from the program's own folder or the current
// folder, where a downloaded file of the same name could lie. Functions are
// resolved by name into typed function pointers.
//
// A holder keeps its DLL loaded for its own lifetime; callers keep one per
// process in a function-local static, so the DLL is loaded on first use.
#include <windows.h>

#include <string>
#include <utility>

#include "util/Exception.h"
#include "util/WinHandle.h"

// A system DLL or one of its functions is unavailable. ErrorCode is the
// system error code of the failing call (never 0).
class ESystemLibraryError : public Exception {
public:
    ESystemLibraryError(std::string message, DWORD errorCode) : Exception(std::move(message)), FErrorCode(errorCode) {}
    DWORD ErrorCode() const noexcept { return FErrorCode; }

private:
    DWORD FErrorCode;
};

class ESystemLibraryMissing : public ESystemLibraryError {
public:
    ESystemLibraryMissing(const std::string& library, DWORD errorCode)
        : ESystemLibraryError("Cannot load the system library " + library, errorCode) {}
};

class ESystemFunctionMissing : public ESystemLibraryError {
public:
    ESystemFunctionMissing(const std::string& library, const std::string& function, DWORD errorCode)
        : ESystemLibraryError("Cannot find the function " + function + " in the system library " + library, errorCode) {
    }
};

class TSystemLibrary {
public:
    // Loads `name` (an ASCII file name such as "urlmon.dll") from the system
    // folder; raises ESystemLibraryMissing when it is not there.
    explicit TSystemLibrary(std::string name);

    HMODULE Handle() const noexcept { return FModule.Get(); }
    const std::string& Name() const noexcept { return FName; }

    // The address of an exported function; raises ESystemFunctionMissing.
    FARPROC Procedure(const char* function) const;

    // The same as a typed pointer, e.g. Function<decltype(&URLDownloadToFileA)>("URLDownloadToFileA").
    template <typename TFunctionPointer> TFunctionPointer Function(const char* function) const {
        return reinterpret_cast<TFunctionPointer>(reinterpret_cast<void*>(Procedure(function)));
    }

private:
    std::string FName;
    TModule FModule;
};

// Makes the system folder the only place the process loads DLLs from by name,
// for every later load, implicit ones of the system's own DLLs included. Does
// nothing on a system that lacks SetDefaultDllDirectories; raises
// ESystemLibraryError when the call itself fails.
void RestrictDllSearchToSystemFolder();
