#include "app/InstallPaths.h"

#include <gtest/gtest.h>

namespace {

// GBK bytes as escapes: "\xB7\xFE\xCE\xF1" is "服务"; "\x8B\x5C" ends in a '\' byte.
const std::string kService = "\xB7\xFE\xCE\xF1";
const std::string kTrail5C = "\x8B\x5C";

struct TMapCase {
    std::string Extracted;
    std::string StagingRoot;
    std::string InstallDir;
    std::string Expected;
};

class InstallPathMapping : public ::testing::TestWithParam<TMapCase> {};

TEST_P(InstallPathMapping, MapsTheStagingRootOntoTheInstallFolder) {
    const auto& c = GetParam();
    EXPECT_EQ(MapToInstallPath(c.Extracted, c.StagingRoot, c.InstallDir), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, InstallPathMapping,
    ::testing::Values(
        TMapCase{"D:\\Setup\\install\\UNZIP\\bin\\a.dll", "D:\\Setup\\install\\UNZIP", "C:\\Tavrin" + kService + "\\",
                 "C:\\Tavrin" + kService + "\\bin\\a.dll"},
        // The staging part may differ in letter case.
        TMapCase{"d:\\SETUP\\Install\\unzip\\ZAVeri.exe", "D:\\Setup\\install\\UNZIP", "C:\\App\\",
                 "C:\\App\\ZAVeri.exe"},
        // A drive-root install folder leaves no doubled separator.
        TMapCase{"D:\\Setup\\install\\UNZIP\\x\\y.txt", "D:\\Setup\\install\\UNZIP", "C:\\", "C:\\x\\y.txt"},
        // A program started from a drive root stages in "E:\\install".
        TMapCase{"E:\\\\install\\UNZIP\\a.txt", "E:\\\\install\\UNZIP", "C:\\App\\", "C:\\App\\a.txt"},
        // A trail byte 0x5C next to the root does not shift the match.
        TMapCase{"D:\\" + kTrail5C + "\\install\\UNZIP\\a.txt", "D:\\" + kTrail5C + "\\install\\UNZIP", "C:\\App\\",
                 "C:\\App\\a.txt"}));

TEST(InstallPaths, ReplaceNeverMatchesInsideADoubleByteCharacter) {
    // "\x8B\x5C" + "A" holds the bytes "\\A" but no backslash character.
    EXPECT_EQ(ReplaceIgnoringCase(kTrail5C + "A", "\\a", "X"), kTrail5C + "A");
    EXPECT_EQ(ReplaceIgnoringCase("x\\A", "\\a", "Y"), "xY");
}

TEST(InstallPaths, CollapsesEachDoubledBackslashOnce) {
    EXPECT_EQ(CollapseDoubledBackslashes("C:\\\\A\\\\\\B"), "C:\\A\\\\B");
    EXPECT_EQ(CollapseDoubledBackslashes("C:\\A\\"), "C:\\A\\");
}

struct TCommandCase {
    std::string Command;
    std::string Folder;
};

class InstallDirCommand : public ::testing::TestWithParam<TCommandCase> {};

TEST_P(InstallDirCommand, NamesTheFolderOfTheRegisteredClient) {
    EXPECT_EQ(InstallDirFromCommand(GetParam().Command), GetParam().Folder);
}

INSTANTIATE_TEST_SUITE_P(Commands, InstallDirCommand,
                         ::testing::Values(TCommandCase{"C:\\App\\ZAVeri.exe %1", "C:\\App\\"},
                                           TCommandCase{"C:\\ZAVeri.exe %1", "C:\\"},
                                           TCommandCase{"\"C:\\A B\\ZAVeri.exe\" \"%1\"", "C:\\A B\\"},
                                           TCommandCase{"\"C:\\A B\\ZAVeri.exe", "C:\\A B\\"},
                                           TCommandCase{"C:\\Tavrin" + kService + "\\ZAVeri.exe %1",
                                                        "C:\\Tavrin" + kService + "\\"},
                                           TCommandCase{"ZAVeri.exe %1", ""}, TCommandCase{"", ""}));

TEST(InstallPaths, ProtocolCommandQuotesPathAndPlaceholder) {
    EXPECT_EQ(ProtocolCommand("C:\\Tavrin\\", "ZAVeri.exe"), "\"C:\\Tavrin\\ZAVeri.exe\" \"%1\"");
    // What is written reads back as the same folder.
    EXPECT_EQ(InstallDirFromCommand(ProtocolCommand("C:\\A B\\", "ZAVeri.exe")), "C:\\A B\\");
}

} // namespace
