#include "PlatformFile.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Archive paths separate folders with "\"; the file system wants "/".
std::string NativePath(const std::string& path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}
} // namespace

struct TFile::TImpl {
    int Fd = -1;
    ~TImpl() {
        if (Fd >= 0)
            ::close(Fd);
    }
};

TFile::TFile() = default;
TFile::~TFile() = default;
TFile::TFile(TFile&&) noexcept = default;
TFile& TFile::operator=(TFile&&) noexcept = default;

TFile TFile::OpenRead(const std::string& path) {
    TFile file;
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return file;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return file;
    }
    file.FImpl = std::make_unique<TImpl>();
    file.FImpl->Fd = fd;
    return file;
}

TFile TFile::Create(const std::string& path) {
    TFile file;
    const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return file;
    file.FImpl = std::make_unique<TImpl>();
    file.FImpl->Fd = fd;
    return file;
}

bool TFile::IsOpen() const {
    return FImpl && FImpl->Fd >= 0;
}

std::size_t TFile::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    while (IsOpen() && done < count) {
        const ssize_t n = ::read(FImpl->Fd, static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t TFile::Write(const void* buffer, std::size_t count) {
    std::size_t done = 0;
    while (IsOpen() && done < count) {
        const ssize_t n = ::write(FImpl->Fd, static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::int64_t TFile::Seek(std::int64_t offset, TSeekOrigin origin) {
    if (!IsOpen())
        return -1;
    const int whence = origin == TSeekOrigin::Begin ? SEEK_SET : origin == TSeekOrigin::Current ? SEEK_CUR : SEEK_END;
    return ::lseek(FImpl->Fd, static_cast<off_t>(offset), whence);
}

std::int64_t TFile::Size() {
    struct stat st {};
    if (!IsOpen() || ::fstat(FImpl->Fd, &st) != 0)
        return 0;
    return st.st_size;
}

bool TFile::SetSize(std::int64_t size) {
    if (!IsOpen() || size < 0 || ::ftruncate(FImpl->Fd, static_cast<off_t>(size)) != 0)
        return false;
    // Reserve the space as the Windows file system does, so a size beyond the
    // free disk fails here rather than in the middle of writing.
    if (size > 0) {
        const int rc = ::posix_fallocate(FImpl->Fd, 0, static_cast<off_t>(size));
        if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL)
            return false;
    }
    return true;
}

void TFile::Close() {
    FImpl.reset();
}

namespace PlatformFs {

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& path) {
    std::string native = NativePath(path);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    if (native.empty())
        return false;
    if (DirectoryExists(native))
        return true;
    const auto slash = native.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !ForceDirectories(native.substr(0, slash)))
        return false;
    return ::mkdir(native.c_str(), 0777) == 0 || DirectoryExists(native);
}

std::optional<std::int64_t> ModificationStamp(const std::string& path) {
    struct stat st {};
    if (::stat(NativePath(path).c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::int64_t CurrentStamp() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool SetDosDateTime(const std::string& path, std::uint32_t dosDateTime) {
    std::tm local{};
    local.tm_sec = static_cast<int>((dosDateTime & 0x1F) * 2);
    local.tm_min = static_cast<int>((dosDateTime >> 5) & 0x3F);
    local.tm_hour = static_cast<int>((dosDateTime >> 11) & 0x1F);
    local.tm_mday = static_cast<int>((dosDateTime >> 16) & 0x1F);
    local.tm_mon = static_cast<int>((dosDateTime >> 21) & 0x0F) - 1;
    local.tm_year = static_cast<int>((dosDateTime >> 25) & 0x7F) + 80;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    if (when == static_cast<std::time_t>(-1))
        return false;
    timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    return ::utimensat(AT_FDCWD, NativePath(path).c_str(), times, 0) == 0;
}

bool SetAttributes(const std::string& path, std::uint32_t externalAttributes) {
    const std::string native = NativePath(path);
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0)
        return false;
    const mode_t unixMode = static_cast<mode_t>(externalAttributes >> 16);
    mode_t mode = st.st_mode & 0777;
    if ((unixMode & S_IFMT) != 0) {
        // Written on a Unix host: the high word holds the permission bits.
        mode = unixMode & 0777;
        if (S_ISDIR(st.st_mode))
            mode |= S_IRWXU; // keep the folder usable for the entries that follow
    } else if ((externalAttributes & 0x01) != 0) {
        mode &= ~static_cast<mode_t>(0222); // the DOS read-only attribute
    }
    return ::chmod(native.c_str(), mode) == 0;
}

bool ClearReadOnly(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0 || (st.st_mode & S_IWUSR) != 0)
        return false;
    return ::chmod(native.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool DeleteFileAt(const std::string& path) {
    return ::unlink(NativePath(path).c_str()) == 0;
}

} // namespace PlatformFs
