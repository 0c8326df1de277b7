// FindFiles over a real tree: every file once with its full path, folders
// descended where they are met, hidden and system files included, the
// trailing-backslash rule double-byte aware, and all-or-nothing on failure.
#include "util/CommonUntil.h"
#include "UtilAllocationFaults.h"
#include "UtilTempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <vector>

namespace {

// GBK character whose second byte is 0x5C, the code of a backslash.
const std::string kTrailBackslashName = "\x8B\x5C";

class FindFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA((FRoot / "sub1").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((FRoot / "sub1\\sub2").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((FRoot / "empty").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((FRoot / kTrailBackslashName).c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes(FRoot / "a.txt", "12345"));
        ASSERT_TRUE(WriteFileBytes(FRoot / "NODOT", "x"));
        ASSERT_TRUE(WriteFileBytes(FRoot / "hidden.txt", "hh", FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(WriteFileBytes(FRoot / "system.sys", "s", FILE_ATTRIBUTE_SYSTEM));
        ASSERT_TRUE(WriteFileBytes(FRoot / "sub1\\b.txt", "b"));
        ASSERT_TRUE(WriteFileBytes(FRoot / "sub1\\sub2\\c.dat", "c"));
        ASSERT_TRUE(WriteFileBytes(FRoot / "sub1\\sub2\\d", "d"));
        ASSERT_TRUE(WriteFileBytes(FRoot / (kTrailBackslashName + "\\g.txt"), "g"));
    }

    std::set<std::string> AllFiles() const {
        return {FRoot / "a.txt",         FRoot / "NODOT",
                FRoot / "hidden.txt",    FRoot / "system.sys",
                FRoot / "sub1\\b.txt",   FRoot / "sub1\\sub2\\c.dat",
                FRoot / "sub1\\sub2\\d", FRoot / (kTrailBackslashName + "\\g.txt")};
    }

    static std::multiset<std::string> NamesOf(const TFileArray& files) {
        std::multiset<std::string> names;
        for (const TSearchRec& rec : files)
            names.insert(rec.Name);
        return names;
    }

    TTempFolder FRoot{"tavrin-find"};
};

TEST_F(FindFilesTest, ListsEveryFileOnceWithFullPath) {
    TFileArray files;
    ASSERT_TRUE(FindFiles(FRoot.Path(), "*.*", files));
    const std::multiset<std::string> names = NamesOf(files);
    const std::set<std::string> expected = AllFiles();
    EXPECT_EQ(names, std::multiset<std::string>(expected.begin(), expected.end()));

    for (const TSearchRec& rec : files) {
        EXPECT_EQ(rec.Attr & FILE_ATTRIBUTE_DIRECTORY, 0) << rec.Name;
        EXPECT_EQ(rec.ExcludeAttr, 0);
        EXPECT_EQ(rec.Size, static_cast<std::int32_t>(rec.FindData.nFileSizeLow));
    }
    const auto byName = [&](const std::string& name) {
        return *std::find_if(files.begin(), files.end(), [&](const TSearchRec& r) { return r.Name == name; });
    };
    EXPECT_EQ(byName(FRoot / "a.txt").Size, 5);
    EXPECT_NE(byName(FRoot / "hidden.txt").Attr & FILE_ATTRIBUTE_HIDDEN, 0);
    EXPECT_NE(byName(FRoot / "system.sys").Attr & FILE_ATTRIBUTE_SYSTEM, 0);
    EXPECT_STREQ(byName(FRoot / "NODOT").FindData.cFileName, "NODOT");
    EXPECT_NE(byName(FRoot / "a.txt").Time, 0);
}

TEST_F(FindFilesTest, SubFolderFilesAppearTogetherWhereTheFolderWasMet) {
    TFileArray files;
    ASSERT_TRUE(FindFiles(FRoot.Path(), "*.*", files));
    // The files below sub1 (with those of sub1\sub2) form one run, and those of
    // sub1\sub2 one run inside it: each folder is listed whole when it is met.
    const auto runOf = [&](const std::string& prefix) {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < files.size(); ++i)
            if (files[i].Name.rfind(prefix, 0) == 0)
                at.push_back(i);
        return at;
    };
    for (const std::string& prefix : {FRoot / "sub1\\", FRoot / "sub1\\sub2\\"}) {
        const std::vector<std::size_t> at = runOf(prefix);
        ASSERT_FALSE(at.empty()) << prefix;
        EXPECT_EQ(at.back() - at.front() + 1, at.size()) << prefix << " is split";
    }
}

struct TDirCase {
    const char* Label;
    std::string Suffix; // appended to the root folder
    std::set<std::string> Relative;
};

void PrintTo(const TDirCase& c, std::ostream* os) {
    *os << c.Label;
}

class FindFilesDirSpelling : public FindFilesTest, public ::testing::WithParamInterface<TDirCase> {};

TEST_P(FindFilesDirSpelling, BuildsNamesWithOneSeparator) {
    const TDirCase& c = GetParam();
    TFileArray files;
    ASSERT_TRUE(FindFiles(FRoot.Path() + c.Suffix, "*.*", files));
    std::set<std::string> expected;
    for (const std::string& relative : c.Relative)
        expected.insert(FRoot / relative);
    const std::multiset<std::string> names = NamesOf(files);
    EXPECT_EQ(names, std::multiset<std::string>(expected.begin(), expected.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindFilesDirSpelling,
    ::testing::Values(
        TDirCase{"TrailingBackslash", "\\sub1\\", {"sub1\\b.txt", "sub1\\sub2\\c.dat", "sub1\\sub2\\d"}},
        TDirCase{"NoTrailingBackslash", "\\sub1", {"sub1\\b.txt", "sub1\\sub2\\c.dat", "sub1\\sub2\\d"}},
        TDirCase{"TrailByte5C", "\\" + kTrailBackslashName, {kTrailBackslashName + "\\g.txt"}},
        TDirCase{"TrailByte5CThenBackslash", "\\" + kTrailBackslashName + "\\", {kTrailBackslashName + "\\g.txt"}},
        TDirCase{"EmptyFolder", "\\empty", {}}),
    [](const ::testing::TestParamInfo<TDirCase>& info) { return std::string(info.param.Label); });

TEST_F(FindFilesTest, MaskAlsoSelectsTheFoldersToDescend) {
    TFileArray files;
    ASSERT_TRUE(FindFiles(FRoot.Path(), "*.txt", files));
    // sub1 does not match "*.txt", so sub1\b.txt is not reached.
    EXPECT_EQ(NamesOf(files), (std::multiset<std::string>{FRoot / "a.txt", FRoot / "hidden.txt"}));
}

TEST_F(FindFilesTest, MissingFolderAnswersTrueAndAppendsNothing) {
    TFileArray files(1);
    files[0].Name = "kept";
    EXPECT_TRUE(FindFiles(FRoot / "missing", "*.*", files));
    EXPECT_TRUE(FindFiles(FRoot / "missing\\deeper\\", "*.*", files));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].Name, "kept");
}

TEST_F(FindFilesTest, AppendsToWhatTheListHolds) {
    TFileArray files(1);
    files[0].Name = "kept";
    ASSERT_TRUE(FindFiles(FRoot / "sub1", "*.*", files));
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].Name, "kept");
}

// Fails the n-th allocation of one FindFiles call, for every n until a call
// gets through. Wherever the failure strikes, at the top folder or in a
// sub-folder three levels down, the answer must be false with an empty list:
// never true with part of the tree.
TEST_F(FindFilesTest, FailureAtAnyDepthFailsTheWholeListing) {
    const std::set<std::string> expected = AllFiles();
    int failures = 0;
    for (long n = 0;; ++n) {
        TFileArray files(1);
        files[0].Name = "kept";
        FailAllocationAfter(n);
        const bool ok = FindFiles(FRoot.Path(), "*.*", files);
        if (!DisarmAllocationFailure()) {
            ASSERT_TRUE(ok);
            EXPECT_EQ(files.size(), expected.size() + 1);
            break;
        }
        ++failures;
        ASSERT_FALSE(ok) << "allocation " << n << " failed but the listing answered true with " << files.size()
                         << " entries";
        ASSERT_TRUE(files.empty()) << "allocation " << n;
        ASSERT_LT(n, 100000) << "no successful run";
    }
    EXPECT_GT(failures, 20); // the tree needs many allocations, so most failure points were tried
}

} // namespace
