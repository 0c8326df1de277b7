#pragma once
// The platform's files and folders, with paths as narrow strings in which "\"
// separates folders (the POSIX back end turns it into "/").
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum class TSeekOrigin { Begin, Current, End };

// One open file; closed when destroyed.
class TFile {
public:
    TFile();
    ~TFile();
    TFile(TFile&&) noexcept;
    TFile& operator=(TFile&&) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Read-only; others may read but not write.
    static TFile OpenRead(const std::string& path);
    // Created or truncated, for writing.
    static TFile Create(const std::string& path);

    bool IsOpen() const;
    std::size_t Read(void* buffer, std::size_t count);
    std::size_t Write(const void* buffer, std::size_t count);
    // Answers the new position, or -1 on failure.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin);
    std::int64_t Size();
    // Sets the length with the space reserved; false when it cannot be had.
    bool SetSize(std::int64_t size);
    void Close();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

namespace PlatformFs {

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder with all missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& path);
// The file's last-write time as an opaque, comparable stamp.
std::optional<std::int64_t> ModificationStamp(const std::string& path);
// The current time in the same scale as ModificationStamp.
std::int64_t CurrentStamp();
// Sets the last-write time from an MS-DOS date-time read as local time.
bool SetDosDateTime(const std::string& path, std::uint32_t dosDateTime);
// Applies a ZIP entry's external attributes to a file or folder.
bool SetAttributes(const std::string& path, std::uint32_t externalAttributes);
// Clears the read-only attribute; true when it was set and is now cleared.
bool ClearReadOnly(const std::string& path);
bool DeleteFileAt(const std::string& path);

} // namespace PlatformFs
