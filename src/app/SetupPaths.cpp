#include "SetupPaths.h"

#include "Settings.h"
#include "util/AnsiPath.h"

TSetupOrigin DefaultSetupOrigin(const std::string& modulePath) {
    return {Settings::ServerHost, Settings::ServerPort, modulePath};
}

std::string FormatPackageUrl(const std::string& host, int32_t port) {
    return "http://" + host + ":" + std::to_string(port) + "/" + Settings::DownloadPath + Settings::PackageFileName;
}

TSetupPaths MakeSetupPaths(const TSetupOrigin& origin) {
    TSetupPaths paths;
    paths.Url = FormatPackageUrl(origin.ServerHost, origin.ServerPort);
    paths.TempDir = ExtractFileDir(origin.ModulePath) + "\\install";
    paths.ZipFile = paths.TempDir + "\\install.zip";
    return paths;
}
