#include "InstallPaths.h"

#include "util/AnsiPath.h"

namespace {

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool MatchesAt(const std::string& text, std::string::size_type at, const std::string& pattern) {
    if (text.size() - at < pattern.size())
        return false;
    for (std::string::size_type i = 0; i < pattern.size(); ++i)
        if (FoldAscii(text[at + i]) != FoldAscii(pattern[i]))
            return false;
    return true;
}

} // namespace

std::string ReplaceIgnoringCase(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return text;
    std::string result;
    result.reserve(text.size());
    std::string::size_type i = 0;
    while (i < text.size()) {
        if (MatchesAt(text, i, from)) {
            result += to;
            i += from.size();
            continue;
        }
        // Copy a whole character so that a match is only tried at character starts.
        const bool doubleByte = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        result.append(text, i, doubleByte ? 2 : 1);
        i += doubleByte ? 2 : 1;
    }
    return result;
}

std::string CollapseDoubledBackslashes(const std::string& path) {
    std::string result;
    result.reserve(path.size());
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        result += path[i];
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\')
            ++i;
    }
    return result;
}

std::string MapToInstallPath(const std::string& extractedPath, const std::string& stagingRoot,
                             const std::string& installDir) {
    return CollapseDoubledBackslashes(ReplaceIgnoringCase(extractedPath, stagingRoot, installDir));
}

std::string InstallDirFromCommand(const std::string& command) {
    if (!command.empty() && command[0] == '"') {
        const auto close = command.find('"', 1);
        const std::string quoted = command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        return ExtractFilePath(quoted);
    }
    return ExtractFilePath(command);
}

std::string ProtocolCommand(const std::string& installDir, const std::string& clientExeName) {
    return "\"" + installDir + clientExeName + "\" \"%1\"";
}
