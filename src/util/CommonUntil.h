#pragma once
// File-system helpers, process termination and the package archive
// front end of the install sequence. FileInList is portable; DeleteDir,
// FindFiles and KillProcessesUsingFiles exist in the Windows builds only.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/UnZip.h"

// A file time as the platform stores it: 100 ns ticks since 1601, in two halves.
struct TFileTimeRec {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

// The platform's ANSI find record, field for field (WIN32_FIND_DATAA), so that
// the portable header needs no system header. The Windows code checks the layout.
struct TFindData {
    std::uint32_t dwFileAttributes;
    TFileTimeRec ftCreationTime;
    TFileTimeRec ftLastAccessTime;
    TFileTimeRec ftLastWriteTime;
    std::uint32_t nFileSizeHigh;
    std::uint32_t nFileSizeLow;
    std::uint32_t dwReserved0;
    std::uint32_t dwReserved1;
    char cFileName[260];
    char cAlternateFileName[14];
};

// One entry of a directory search. In a TFileArray built by FindFiles, Name
// holds the full path; the other fields travel with the record.
struct TSearchRec {
    std::int32_t Time = 0;        // last write, local time, DOS date (high) and time (low)
    std::int32_t Size = 0;        // low 32 bits of the size
    std::int32_t Attr = 0;        // attribute bits as the platform reports them
    std::string Name;             // entry name, or the full path in a FindFiles list
    std::int32_t ExcludeAttr = 0; // (not requested attributes) and 0x1E
    void* FindHandle = nullptr;   // the search that produced the record; closed afterwards
    TFindData FindData{};         // the entry as the platform reported it
};

// Grows by appending; helpers that only read it take it by const reference.
using TFileArray = std::vector<TSearchRec>;

// Asked before a process is terminated: true spares it. An empty callback
// means terminate.
using TKeepProcessEvent = std::function<bool(const std::string& modulePath, std::uint32_t processId)>;

// Whether some entry's Name equals fileName: same byte length, bytes equal
// after folding 'a'..'z' to 'A'..'Z' (wherever they stand, also as the second
// byte of a double-byte character). Nothing else is folded or normalised.
bool FileInList(const TFileArray& files, const std::string& fileName);

// Removes the folder dir and everything below it through the shell, into the
// recycle bin where possible, without confirmation or error box. Reports nothing.
void DeleteDir(const std::string& dir);

// Appends one record per file below dir whose name matches mask, at any depth,
// with Name set to the full path; sub-folders are listed where they are met.
// A missing or empty folder answers true and adds nothing. When an error is
// raised during the scan, at any depth, files is emptied and the answer is false.
bool FindFiles(const std::string& dir, const std::string& mask, TFileArray& files);

// Terminates (exit code 0) every running process that has a module whose full
// path is in files, unless callback spares it. Answers true when the last
// termination attempt failed, false when none was made or the last one succeeded.
bool KillProcessesUsingFiles(const TFileArray& files, const TKeepProcessEvent& callback);

// The password every package entry is encrypted with (a build setting).
extern const char* const kPackagePassword;

// Whether the package may be extracted: false when a test without a password
// passes for every entry (an unprotected archive), true otherwise (also for an
// archive without entries). Raises what opening or reading the archive raises.
bool CheckZipFile(const std::string& zipFile);

// Extracts the package into destDir with the package password, reporting bad
// passwords and percent done. Raises only what CheckZipFile raises. Answers
// true only when the package exists, was accepted, has entries, and every
// entry was extracted completely; any other outcome answers false.
bool UnZipFile(const std::string& zipFile, const std::string& destDir, const TBadPassword& onBadPassword,
               const TTotalPercentDone& onPercentDone);
