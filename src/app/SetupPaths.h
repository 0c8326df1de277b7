#pragma once
// The package address and the local staging paths that the setup controller
// derives at start-up from the settings and its own executable's path.
#include <cstdint>
#include <string>

// Where the package comes from and where the program runs: the settings in the
// shipping program, a loopback server and a scratch folder in tests.
struct TSetupOrigin {
    std::string ServerHost;
    int32_t ServerPort = 0;
    std::string ModulePath; // full path of the running executable
};

struct TSetupPaths {
    std::string Url;     // "http://host:port/down/InstallNorlo.zip"
    std::string TempDir; // staging folder beside the program, no trailing backslash
    std::string ZipFile; // TempDir + "\install.zip"
};

// The settings' server and the given executable path.
TSetupOrigin DefaultSetupOrigin(const std::string& modulePath);

// "http://%s:%d/%s%s" with host, port, download path and package name.
std::string FormatPackageUrl(const std::string& host, int32_t port);

// A program at "D:\Setup\x.exe" stages in "D:\Setup\install"; one at "E:\x.exe"
// gets "E:\\install" (the root keeps its backslash), which the file system reads
// as "E:\install".
TSetupPaths MakeSetupPaths(const TSetupOrigin& origin);
