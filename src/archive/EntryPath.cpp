#include "EntryPath.h"

#include <vector>

#include "CodePage.h"

namespace {
bool HasDrivePrefix(const std::string& path) {
    return path.size() >= 2 && path[1] == ':';
}

// Splits at backslashes that are not the second byte of a double-byte character.
std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts(1);
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (CodePage::IsNarrowLeadByte(c) && i + 1 < path.size()) {
            parts.back() += path.substr(i, 2);
            ++i;
        } else if (c == '\\') {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(c);
        }
    }
    return parts;
}

bool IsParentReference(const std::string& component) {
    int dots = 0;
    for (const char c : component) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}
} // namespace

std::string EntryOutputFolder(const std::string& destDir, const std::string& folderPart, bool recreateDirs) {
    if (!recreateDirs || folderPart.empty())
        return destDir + "\\";
    const bool rooted = folderPart[0] == '\\';
    if (!rooted && !HasDrivePrefix(folderPart))
        return destDir + "\\" + folderPart;
    if (destDir.empty())
        return folderPart;
    if (rooted)
        return destDir + folderPart;
    // "C:\a\" and the drive-relative "C:a\" both land in destDir\a\.
    const std::string rest = folderPart.substr(2);
    return !rest.empty() && rest[0] == '\\' ? destDir + rest : destDir + "\\" + rest;
}

bool IsUnsafeEntryPath(const std::string& folderPart, const std::string& fileName) {
    const std::string path = folderPart + fileName;
    if (path.find('\0') != std::string::npos)
        return true;
    const std::string::size_type firstAllowedColon = HasDrivePrefix(folderPart) ? 1 : std::string::npos;
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (CodePage::IsNarrowLeadByte(c) && i + 1 < path.size())
            ++i;
        else if (c == ':' && i != firstAllowedColon)
            return true;
    }
    for (const std::string& component : SplitComponents(path))
        if (IsParentReference(component))
            return true;
    return false;
}
