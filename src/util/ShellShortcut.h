#pragma once
// Special folders of the shell and shortcut (.lnk) files in them. Windows only.
// The caller initialises COM on its thread before CreateShortcut.
#include "Exception.h"

#include <cstdint>
#include <string>

// The shell link object could not be created (COM not initialised, class
// missing); ErrorCode is the platform's failure code.
class EShellLinkError : public Exception {
public:
    explicit EShellLinkError(std::int32_t errorCode)
        : Exception("The shell link object cannot be created"), FErrorCode(errorCode) {}
    std::int32_t ErrorCode() const noexcept { return FErrorCode; }

private:
    std::int32_t FErrorCode;
};

// The shell link object does not offer an interface the shortcut needs.
class EInterfaceCastError : public Exception {
public:
    EInterfaceCastError() : Exception("Interface not supported") {}
};

// The file-system path of the special folder csidl (23 all-users programs,
// 25 all-users desktop), at most 260 bytes; empty when it cannot be resolved.
std::string GetSpecialFolderPath(int csidl);

// Writes the shortcut linkName (with its extension) into the special folder
// csidl, pointing at target, with target's folder (and its trailing backslash)
// as working folder. An existing file of that name is replaced. Raises
// EShellLinkError or EInterfaceCastError; writes nothing when the folder
// cannot be resolved, and does not report a failed save.
void CreateShortcut(const std::string& target, const std::string& linkName, int csidl);
