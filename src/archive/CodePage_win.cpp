#include "CodePage.h"

#include <windows.h>

#include <vector>

namespace {
std::optional<std::wstring> ToWide(UINT codePage, const std::string& bytes, DWORD flags) {
    if (bytes.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    return wide;
}

std::optional<std::string> FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
    if (length <= 0)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length, "?", nullptr);
    return bytes;
}
} // namespace

namespace CodePage {

std::optional<std::string> OemToNarrow(const std::string& oem) {
    const auto wide = ToWide(CP_OEMCP, oem, MB_ERR_INVALID_CHARS);
    return wide ? FromWide(CP_ACP, *wide) : std::nullopt;
}

std::optional<std::string> NarrowToOem(const std::string& narrow) {
    const auto wide = ToWide(CP_ACP, narrow, MB_ERR_INVALID_CHARS);
    return wide ? FromWide(CP_OEMCP, *wide) : std::nullopt;
}

std::string Utf8ToNarrow(const std::string& utf8) {
    const auto wide = ToWide(CP_UTF8, utf8, 0); // invalid sequences become U+FFFD, then "?"
    const auto narrow = wide ? FromWide(CP_ACP, *wide) : std::nullopt;
    return narrow ? *narrow : std::string(utf8.size(), '?');
}

bool IsNarrowLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != FALSE;
}

} // namespace CodePage
