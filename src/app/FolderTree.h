#pragma once
// Creation of a folder together with all its missing parent folders.
#include <string>

// Creates dir (an ANSI path) and every missing folder above it. True when the
// folder exists afterwards.
bool CreateFolderTree(const std::string& dir);
