#pragma once
// Helpers for the archive tests: fixture paths, a scratch folder, file
// contents and the platform's view of a file's time and attributes.
#include <cstdint>
#include <string>

// Path of a file under tests/data/archive.
std::string ArchiveFixture(const std::string& name);

// A fresh, empty folder under the system temp folder, removed with everything in it.
class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    const std::string& Path() const { return FPath; }
    // Path + separator + relative ("\" separated relative paths are accepted).
    std::string operator/(const std::string& relative) const;

private:
    std::string FPath;
};

// The whole file, or nullopt-like empty result with ok false.
bool ReadWholeFile(const std::string& path, std::string& contents);
void WriteWholeFile(const std::string& path, const std::string& contents);
bool PathIsFile(const std::string& path);
bool PathIsFolder(const std::string& path);
std::uint64_t FileSizeOf(const std::string& path);
// Number of files and folders below path (recursive).
int CountTreeItems(const std::string& path);

// Last-write time as local calendar fields: year, month, day, hour, minute, second.
struct TLocalTime {
    int Year, Month, Day, Hour, Minute, Second;
    bool operator==(const TLocalTime&) const = default;
};
TLocalTime LocalModificationTime(const std::string& path);

// Windows: the read-only attribute. POSIX: no write permission for anyone.
bool IsReadOnly(const std::string& path);
// POSIX permission bits; 0 on Windows.
unsigned PermissionBits(const std::string& path);
