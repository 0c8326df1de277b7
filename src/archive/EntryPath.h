#pragma once
// Where an entry's output goes under the destination folder, and which stored
// paths are refused because they would reach outside it.
#include <string>

// The output folder, ending with "\": a folder part that begins with "\" or
// with a drive letter and colon is placed under destDir all the same.
std::string EntryOutputFolder(const std::string& destDir, const std::string& folderPart, bool recreateDirs);

// True when the stored path must never be written: a ".." component (or a
// component of dots and spaces that the file system reads as one), a ":" other
// than a leading drive prefix (an alternate data stream or a drive-relative
// name), or a NUL byte.
bool IsUnsafeEntryPath(const std::string& folderPart, const std::string& fileName);
