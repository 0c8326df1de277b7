#pragma once
// Helpers shared by the decryption and package tests: fixture paths under
// tests/data/package, and the whole tree below a folder as path -> contents.
#include <map>
#include <string>

#include "ArchiveTestSupport.h"

// Path of a file under tests/data/package.
std::string PackageFixture(const std::string& name);

// Every file and folder below root, by relative path with "/" separators;
// folders map to the marker "<dir>", files to their bytes.
std::map<std::string, std::string> ReadTree(const std::string& root);
