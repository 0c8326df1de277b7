#include "FolderTree.h"

#include <windows.h>

#include "util/AnsiPath.h"

namespace {

bool FolderExists(const std::string& dir) {
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Drops trailing backslashes that are real separators (not GBK trail bytes).
std::string WithoutTrailingSeparators(std::string dir) {
    while (!dir.empty() && LastDelimiter("\\", dir) == dir.size() - 1)
        dir.pop_back();
    return dir;
}

} // namespace

bool CreateFolderTree(const std::string& dir) {
    const std::string folder = WithoutTrailingSeparators(dir);
    if (folder.empty() || FolderExists(folder))
        return !folder.empty() || FolderExists(dir);
    // A drive ("E:") that does not exist cannot be created.
    if (folder.size() == 2 && folder[1] == ':')
        return false;
    const std::string parent = WithoutTrailingSeparators(ExtractFileDir(folder));
    if (!parent.empty() && parent != folder && !CreateFolderTree(parent))
        return false;
    return CreateDirectoryA(folder.c_str(), nullptr) || FolderExists(folder);
}
