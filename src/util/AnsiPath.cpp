#include "AnsiPath.h"

std::string::size_type LastDelimiter(const std::string& delimiters, const std::string& s) {
    std::string::size_type last = std::string::npos;
    for (std::string::size_type i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(c) && i + 1 < s.size()) {
            ++i; // the trail byte belongs to this character
            continue;
        }
        if (delimiters.find(static_cast<char>(c)) != std::string::npos)
            last = i;
    }
    return last;
}

std::string ExtractFilePath(const std::string& fileName) {
    const auto i = LastDelimiter("\\:", fileName);
    return i == std::string::npos ? std::string() : fileName.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
    const auto i = LastDelimiter("\\:", fileName);
    if (i == std::string::npos)
        return {};
    // Keep the separator of a root ("\" or "E:\") and after a drive colon.
    const bool keepSeparator = i == 0 || fileName[i] == ':' || LastDelimiter("\\:", fileName.substr(0, i)) == i - 1;
    return fileName.substr(0, keepSeparator ? i + 1 : i);
}

std::string ExtractFileName(const std::string& fileName) {
    const auto i = LastDelimiter("\\:", fileName);
    return i == std::string::npos ? fileName : fileName.substr(i + 1);
}
