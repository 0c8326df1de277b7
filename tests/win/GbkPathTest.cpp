// The Windows tests run with the ANSI code page 936, and narrow literals are
// compiled to GBK: a Chinese folder name written with the A functions must
// arrive on disk as the same Unicode name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GbkPath, AnsiCodePageIs936) {
    EXPECT_EQ(GetACP(), 936u);
}

TEST(GbkPath, NarrowLiteralsAreGbk) {
    const std::string fu = "服";
    ASSERT_EQ(fu.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(fu[0]), 0xB7);
    EXPECT_EQ(static_cast<unsigned char>(fu[1]), 0xFE);
}

TEST(GbkPath, CreatesAndFindsAChineseFolder) {
    const char* dir = "C:\\Tavrin服务";
    RemoveDirectoryA(dir);
    ASSERT_TRUE(CreateDirectoryA(dir, nullptr)) << GetLastError();

    WIN32_FIND_DATAA found{};
    HANDLE h = FindFirstFileA("C:\\Tavrin*", &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_STREQ(found.cFileName, "Tavrin服务");
    EXPECT_TRUE(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);

    // The wide view of the same folder carries the Unicode name.
    WIN32_FIND_DATAW wide{};
    h = FindFirstFileW(L"C:\\Tavrin*", &wide);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_STREQ(wide.cFileName, L"Tavrin\u670D\u52A1");

    EXPECT_TRUE(RemoveDirectoryA(dir));
}

} // namespace
