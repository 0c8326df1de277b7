// The controller's portable parts: the package address, the staging paths
// derived from the program's own path, the close rule and the check of a
// download the platform reported as successful.
#include "app/ControllerState.h"
#include "app/Settings.h"
#include "app/SetupPaths.h"
#include "download/DownloadCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PackageUrl, IsSchemeHostColonPortAndThePackagePath) {
    EXPECT_EQ(FormatPackageUrl("packages.example", 80), "http://packages.example:80/down/InstallNorlo.zip");
    EXPECT_EQ(MakeSetupPaths(DefaultSetupOrigin("C:\\x\\setup.exe")).Url, std::string("http://") + TAVRIN_SERVER_HOST +
                                                                              ":" + std::to_string(TAVRIN_SERVER_PORT) +
                                                                              "/down/InstallNorlo.zip");
}

struct TPathCase {
    std::string ModulePath;
    std::string TempDir;
    std::string ZipFile;
};

class SetupPaths : public ::testing::TestWithParam<TPathCase> {};

TEST_P(SetupPaths, StageBesideTheProgram) {
    const TSetupPaths paths = MakeSetupPaths({"127.0.0.1", 8080, GetParam().ModulePath});
    EXPECT_EQ(paths.TempDir, GetParam().TempDir);
    EXPECT_EQ(paths.ZipFile, GetParam().ZipFile);
}

// "\x8B\x5C" is one GBK character whose trail byte equals '\'.
INSTANTIATE_TEST_SUITE_P(
    Cases, SetupPaths,
    ::testing::Values(TPathCase{"D:\\Setup\\TavrinSetup.exe", "D:\\Setup\\install", "D:\\Setup\\install\\install.zip"},
                      TPathCase{"E:\\TavrinSetup.exe", "E:\\\\install", "E:\\\\install\\install.zip"},
                      TPathCase{"C:\\a\\b\\c.d.exe", "C:\\a\\b\\install", "C:\\a\\b\\install\\install.zip"},
                      TPathCase{"C:\\\x8B\x5C\\Setup.exe", "C:\\\x8B\x5C\\install",
                                "C:\\\x8B\x5C\\install\\install.zip"},
                      TPathCase{"C:\\dl\\\x8B\x5C.exe", "C:\\dl\\install", "C:\\dl\\install\\install.zip"}));

TEST(CloseRule, ClosesOnlyWhileNothingIsInProgress) {
    const struct {
        int32_t State;
        bool Allowed;
    } cases[] = {{0, true}, {-1, true}, {9, true}, {1, false}, {2, false}, {3, false}, {-2, false}};
    for (const auto& c : cases)
        EXPECT_EQ(CloseAllowed(c.State), c.Allowed) << c.State;
}

TEST(DownloadCheck, OnlyAWholeBodyWithoutAnHttpErrorCounts) {
    const struct {
        uint32_t Status;
        uint64_t FileSize;
        uint32_t AnnouncedMax;
        bool Whole;
    } cases[] = {
        {200, 3000000, 3000000, true},  // complete
        {200, 1000000, 3000000, false}, // body cut short
        {200, 3000001, 3000000, false}, // more than announced
        {200, 1234, 0, true},           // size never announced
        {0, 1234, 1234, true},          // no HTTP status seen
        {304, 10, 10, true},
        {399, 10, 10, true},
        {400, 10, 10, false},
        {404, 31, 31, false}, // the error page, whole
        {500, 31, 31, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWholeDownload(c.Status, c.FileSize, c.AnnouncedMax), c.Whole)
            << c.Status << " " << c.FileSize << " " << c.AnnouncedMax;
}

} // namespace
