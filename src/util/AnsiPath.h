#pragma once
// Splitting of ANSI (code page 936) paths into folder and file parts. A byte
// that is the second half of a double-byte character is never taken for a
// backslash or a colon, so "服\" style trail bytes 0x5C stay inside names.
#include <string>

// True when the byte starts a double-byte character in the system's ANSI code page.
bool IsLeadByte(unsigned char c);

// Index of the last byte of s that is one of delimiters and not a trail byte,
// or std::string::npos.
std::string::size_type LastDelimiter(const std::string& delimiters, const std::string& s);

// Everything up to and including the last backslash or colon ("C:\a\b.exe" -> "C:\a\").
std::string ExtractFilePath(const std::string& fileName);

// The folder without its trailing backslash, except that a drive root keeps it
// ("C:\a\b.exe" -> "C:\a", "E:\b.exe" -> "E:\").
std::string ExtractFileDir(const std::string& fileName);

// Everything after the last backslash or colon.
std::string ExtractFileName(const std::string& fileName);
