#pragma once
// Path rules of the install sequence: where an extracted file goes, and which
// folder a registered protocol command names. ANSI (code page 936) byte strings.
#include <string>

// Replaces every occurrence of from in text, comparing ASCII letters without
// regard to case; a match never starts on the second byte of a double-byte character.
std::string ReplaceIgnoringCase(const std::string& text, const std::string& from, const std::string& to);

// Replaces every doubled backslash by a single one, scanning left to right.
std::string CollapseDoubledBackslashes(const std::string& path);

// The target of an extracted file: every occurrence of stagingRoot (the
// extraction folder, no trailing backslash), in any letter case, replaced by
// installDir (which ends with one backslash), then doubled backslashes collapsed.
std::string MapToInstallPath(const std::string& extractedPath, const std::string& stagingRoot,
                             const std::string& installDir);

// The installation folder a registered protocol command names, with its
// trailing separator, or empty text. A command that starts with a quote names
// the folder of the quoted path ("\"C:\A B\ZAVeri.exe\" \"%1\"" -> "C:\A B\");
// an unquoted one is cut after its last backslash or colon
// ("C:\App\ZAVeri.exe %1" -> "C:\App\").
std::string InstallDirFromCommand(const std::string& command);

// The protocol command written for the client: the quoted executable path and
// the quoted URL placeholder, so that neither a blank in the folder nor a
// crafted URL can split the command line.
std::string ProtocolCommand(const std::string& installDir, const std::string& clientExeName);
