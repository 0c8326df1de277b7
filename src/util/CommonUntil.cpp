#include "CommonUntil.h"

#include <algorithm>

namespace {

// Only ASCII letters fold; every other byte, also of a double-byte character, stays as it is.
char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameFileName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

} // namespace

bool FileInList(const TFileArray& files, const std::string& fileName) {
    return std::any_of(files.begin(), files.end(),
                       [&](const TSearchRec& rec) { return SameFileName(rec.Name, fileName); });
}
