#include "PlatformFile.h"

#include <algorithm>

#include "util/AnsiPath.h"
#include "util/WinHandle.h"

struct TFile::TImpl {
    TFileHandle Handle;
};

TFile::TFile() = default;
TFile::~TFile() = default;
TFile::TFile(TFile&&) noexcept = default;
TFile& TFile::operator=(TFile&&) noexcept = default;

TFile TFile::OpenRead(const std::string& path) {
    TFile file;
    TFileHandle handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) {
        file.FImpl = std::make_unique<TImpl>();
        file.FImpl->Handle = std::move(handle);
    }
    return file;
}

TFile TFile::Create(const std::string& path) {
    TFile file;
    TFileHandle handle(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) {
        file.FImpl = std::make_unique<TImpl>();
        file.FImpl->Handle = std::move(handle);
    }
    return file;
}

bool TFile::IsOpen() const {
    return FImpl && FImpl->Handle.IsValid();
}

std::size_t TFile::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    while (IsOpen() && done < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(FImpl->Handle.Get(), static_cast<char*>(buffer) + done, chunk, &n, nullptr) || n == 0)
            break;
        done += n;
    }
    return done;
}

std::size_t TFile::Write(const void* buffer, std::size_t count) {
    std::size_t done = 0;
    while (IsOpen() && done < count) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD n = 0;
        if (!WriteFile(FImpl->Handle.Get(), static_cast<const char*>(buffer) + done, chunk, &n, nullptr) || n == 0)
            break;
        done += n;
    }
    return done;
}

std::int64_t TFile::Seek(std::int64_t offset, TSeekOrigin origin) {
    if (!IsOpen())
        return -1;
    const DWORD method = origin == TSeekOrigin::Begin     ? FILE_BEGIN
                         : origin == TSeekOrigin::Current ? FILE_CURRENT
                                                          : FILE_END;
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER reached{};
    if (!SetFilePointerEx(FImpl->Handle.Get(), distance, &reached, method))
        return -1;
    return reached.QuadPart;
}

std::int64_t TFile::Size() {
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(FImpl->Handle.Get(), &size))
        return 0;
    return size.QuadPart;
}

bool TFile::SetSize(std::int64_t size) {
    if (!IsOpen() || size < 0 || Seek(size, TSeekOrigin::Begin) < 0)
        return false;
    return SetEndOfFile(FImpl->Handle.Get()) != FALSE;
}

void TFile::Close() {
    FImpl.reset();
}

namespace PlatformFs {

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

// Drops trailing backslashes that are real separators (not GBK trail bytes).
std::string WithoutTrailingSeparators(std::string dir) {
    while (!dir.empty() && LastDelimiter("\\", dir) == dir.size() - 1)
        dir.pop_back();
    return dir;
}

} // namespace

bool ForceDirectories(const std::string& path) {
    const std::string dir = WithoutTrailingSeparators(path);
    if (dir.empty() || DirectoryExists(dir))
        return !dir.empty() || DirectoryExists(path);
    // A drive ("E:") that does not exist cannot be created.
    if (dir.size() == 2 && dir[1] == ':')
        return false;
    const std::string parent = WithoutTrailingSeparators(ExtractFileDir(dir));
    if (!parent.empty() && parent != dir && !ForceDirectories(parent))
        return false;
    return CreateDirectoryA(dir.c_str(), nullptr) != FALSE || DirectoryExists(dir);
}

std::optional<std::int64_t> ModificationStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
}

std::int64_t CurrentStamp() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
}

bool SetDosDateTime(const std::string& path, std::uint32_t dosDateTime) {
    FILETIME local{};
    FILETIME utc{};
    if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        return false;
    TFileHandle handle(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle && SetFileTime(handle.Get(), nullptr, nullptr, &utc) != FALSE;
}

bool SetAttributes(const std::string& path, std::uint32_t externalAttributes) {
    // The low word holds the DOS attributes; writers on other hosts keep their own bits above.
    return SetFileAttributesA(path.c_str(), externalAttributes & 0xFFFF) != FALSE;
}

bool ClearReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0)
        return false;
    return SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != FALSE;
}

bool DeleteFileAt(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}

} // namespace PlatformFs
