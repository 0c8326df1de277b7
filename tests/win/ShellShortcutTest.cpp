// Special folders and .lnk files written through the shell link object, read
// back through IShellLinkA from the files on disk.
#include "util/ShellShortcut.h"
#include "util/WinHandle.h"
#include "UtilTempFolder.h"

#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

const std::string kLinkName = "Tavrin服务.lnk";
constexpr int kCommonPrograms = 23;
constexpr int kCommonDesktop = 25;

struct TLinkContents {
    bool Loaded = false;
    std::string Path;
    std::string WorkingDirectory;
};

TLinkContents ReadLink(const std::string& linkFile) {
    TLinkContents contents;
    TComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return contents;
    TComPtr<IPersistFile> file;
    if (FAILED(link.As(file)))
        return contents;
    wchar_t wide[MAX_PATH + 1] = {};
    MultiByteToWideChar(CP_ACP, 0, linkFile.c_str(), -1, wide, MAX_PATH);
    if (FAILED(file->Load(wide, STGM_READ)))
        return contents;
    char buffer[MAX_PATH + 1] = {};
    link->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH);
    contents.Path = buffer;
    char directory[MAX_PATH + 1] = {};
    link->GetWorkingDirectory(directory, sizeof directory);
    contents.WorkingDirectory = directory;
    contents.Loaded = true;
    return contents;
}

LONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class ShellShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        FComReady = true;
        ASSERT_TRUE(CreateDirectoryA(FInstallDir.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes(FTarget, "MZ"));
    }
    void TearDown() override {
        for (const std::string& link : FLinksToRemove)
            DeleteFileA(link.c_str());
        if (FComReady)
            CoUninitialize();
    }

    std::string LinkIn(int csidl) {
        const std::string folder = GetSpecialFolderPath(csidl);
        const std::string link = folder + "\\" + kLinkName;
        FLinksToRemove.push_back(link);
        return link;
    }

    TTempFolder FFolder{"tavrin-link"};
    const std::string FInstallDir = FFolder / "Tavrin服务";
    const std::string FTarget = FInstallDir + "\\ZAVeri.exe";
    std::vector<std::string> FLinksToRemove;
    bool FComReady = false;
};

TEST_F(ShellShortcutTest, SpecialFolderPathsMatchTheShell) {
    for (const int csidl : {kCommonPrograms, kCommonDesktop}) {
        char expected[MAX_PATH + 1] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, expected)));
        EXPECT_EQ(GetSpecialFolderPath(csidl), expected) << csidl;
        EXPECT_FALSE(GetSpecialFolderPath(csidl).empty());
    }
}

TEST_F(ShellShortcutTest, UnresolvableFolderIsEmptyAndGetsNoLink) {
    // With an empty folder the link name would be "\\TavrinUnresolved.lnk": the
    // root of the current drive. Neither it nor a file in the current folder may appear.
    const std::string linkName = "TavrinUnresolved.lnk";
    const std::string strayPlaces[] = {"\\" + linkName, linkName};
    for (const std::string& stray : strayPlaces) {
        FLinksToRemove.push_back(stray);
        DeleteFileA(stray.c_str());
        ASSERT_FALSE(PathExists(stray)) << stray;
    }
    // 0x11 is "My Computer", which has no file-system path; 0x70 is no folder at all.
    for (const int csidl : {0x11, 0x70}) {
        SCOPED_TRACE(csidl);
        EXPECT_EQ(GetSpecialFolderPath(csidl), "");
        EXPECT_NO_THROW(CreateShortcut(FTarget, linkName, csidl));
        for (const std::string& stray : strayPlaces)
            EXPECT_FALSE(PathExists(stray)) << stray;
    }
}

TEST_F(ShellShortcutTest, WritesLinkWithTargetAndItsFolder) {
    for (const int csidl : {kCommonDesktop, kCommonPrograms}) {
        SCOPED_TRACE(csidl);
        const std::string link = LinkIn(csidl);
        DeleteFileA(link.c_str());

        CreateShortcut(FTarget, kLinkName, csidl);

        ASSERT_TRUE(PathExists(link)) << link;
        const TLinkContents contents = ReadLink(link);
        ASSERT_TRUE(contents.Loaded);
        EXPECT_EQ(contents.Path, FTarget);
        EXPECT_EQ(contents.WorkingDirectory, FInstallDir + "\\");
    }
}

TEST_F(ShellShortcutTest, CreatingAgainReplacesTheFile) {
    const std::string link = LinkIn(kCommonDesktop);
    const std::string junk(65536, 'x');
    ASSERT_TRUE(WriteFileBytes(link, junk));

    const std::string otherTarget = FFolder / "Other.exe";
    ASSERT_TRUE(WriteFileBytes(otherTarget, "MZ"));
    CreateShortcut(otherTarget, kLinkName, kCommonDesktop);
    const LONGLONG firstSize = FileSize(link);
    EXPECT_GT(firstSize, 0);
    EXPECT_LT(firstSize, static_cast<LONGLONG>(junk.size()));
    EXPECT_EQ(ReadLink(link).Path, otherTarget);

    CreateShortcut(FTarget, kLinkName, kCommonDesktop);
    const TLinkContents contents = ReadLink(link);
    ASSERT_TRUE(contents.Loaded);
    EXPECT_EQ(contents.Path, FTarget);
    EXPECT_EQ(contents.WorkingDirectory, FInstallDir + "\\");
}

TEST_F(ShellShortcutTest, TargetWithoutSeparatorHasNoWorkingFolder) {
    const std::string link = LinkIn(kCommonPrograms);
    CreateShortcut("ZAVeri.exe", kLinkName, kCommonPrograms);
    const TLinkContents contents = ReadLink(link);
    ASSERT_TRUE(contents.Loaded);
    EXPECT_EQ(contents.WorkingDirectory, "");
}

TEST_F(ShellShortcutTest, WithoutComRaisesAndWritesNothing) {
    const std::string link = LinkIn(kCommonDesktop);
    DeleteFileA(link.c_str());

    // A fresh thread has not initialised COM.
    bool raised = false;
    std::int32_t code = 0;
    std::thread([&] {
        try {
            CreateShortcut(FTarget, kLinkName, kCommonDesktop);
        } catch (const EShellLinkError& e) {
            raised = true;
            code = e.ErrorCode();
        }
    }).join();

    EXPECT_TRUE(raised);
    EXPECT_EQ(code, static_cast<std::int32_t>(CO_E_NOTINITIALIZED));
    EXPECT_FALSE(PathExists(link));
}

} // namespace
