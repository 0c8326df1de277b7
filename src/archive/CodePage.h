#pragma once
// Entry-name encodings. The narrow encoding is the program's: the ANSI code
// page on Windows, UTF-8 elsewhere. The OEM code page is the system's on
// Windows and CP437 elsewhere. Characters the target cannot hold become "?".
#include <optional>
#include <string>

namespace CodePage {

// OEM bytes to narrow; nullopt when the bytes are not valid in the OEM code page.
std::optional<std::string> OemToNarrow(const std::string& oem);
// Narrow bytes to OEM; nullopt when the conversion fails.
std::optional<std::string> NarrowToOem(const std::string& narrow);
// UTF-8 to narrow; invalid sequences and characters outside the narrow encoding become "?".
std::string Utf8ToNarrow(const std::string& utf8);
// True when the byte starts a double-byte character of the narrow encoding.
bool IsNarrowLeadByte(unsigned char c);

} // namespace CodePage
