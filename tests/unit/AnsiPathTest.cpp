#include "util/AnsiPath.h"

#include <gtest/gtest.h>

namespace {

// GBK bytes written as escapes so the test means the same in every build.
// "\x8B\x5C" is one character whose trail byte equals '\'; "\xB7\xFE" is "服".
const std::string kTrail5C = "\x8B\x5C";
const std::string kFu = "\xB7\xFE";

struct TSplitCase {
    std::string Path;
    std::string FilePath;
    std::string FileDir;
    std::string FileName;
};

class AnsiPathSplit : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(AnsiPathSplit, SplitsAtTheLastRealSeparator) {
    const auto& c = GetParam();
    EXPECT_EQ(ExtractFilePath(c.Path), c.FilePath);
    EXPECT_EQ(ExtractFileDir(c.Path), c.FileDir);
    EXPECT_EQ(ExtractFileName(c.Path), c.FileName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AnsiPathSplit,
    ::testing::Values(TSplitCase{"D:\\Setup\\TavrinSetup.exe", "D:\\Setup\\", "D:\\Setup", "TavrinSetup.exe"},
                      TSplitCase{"E:\\TavrinSetup.exe", "E:\\", "E:\\", "TavrinSetup.exe"},
                      TSplitCase{"E:TavrinSetup.exe", "E:", "E:", "TavrinSetup.exe"},
                      TSplitCase{"\\a.exe", "\\", "\\", "a.exe"},
                      TSplitCase{"\\\\server\\a.exe", "\\\\server\\", "\\\\server", "a.exe"},
                      TSplitCase{"ZAVeri.exe", "", "", "ZAVeri.exe"},
                      TSplitCase{"C:\\Tavrin" + kFu + "\\ZAVeri.exe", "C:\\Tavrin" + kFu + "\\",
                                 "C:\\Tavrin" + kFu, "ZAVeri.exe"},
                      // The trail byte 0x5C of a double-byte character is not a separator.
                      TSplitCase{"C:\\dir\\" + kTrail5C + "x.exe", "C:\\dir\\", "C:\\dir", kTrail5C + "x.exe"},
                      TSplitCase{"C:\\" + kTrail5C + "\\a.exe", "C:\\" + kTrail5C + "\\", "C:\\" + kTrail5C,
                                 "a.exe"},
                      TSplitCase{"C:\\dir\\" + kTrail5C, "C:\\dir\\", "C:\\dir", kTrail5C}));

TEST(AnsiPath, LeadBytesFollowTheGbkRange) {
    EXPECT_FALSE(IsLeadByte(0x5C));
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0xB7));
    EXPECT_TRUE(IsLeadByte(0xFE));
    EXPECT_FALSE(IsLeadByte(0xFF));
}

TEST(AnsiPath, LoneLeadByteAtTheEndIsAnOrdinaryByte) {
    // A truncated double-byte character must not swallow anything past the end.
    EXPECT_EQ(LastDelimiter("\\", "a\\\x8B"), 1u);
    EXPECT_EQ(LastDelimiter("\\", "a\x8B\\"), std::string::npos);
}

} // namespace
