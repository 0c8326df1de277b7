// The package front end: CheckZipFile accepts only archives that a test
// without a password does not pass; UnZipFile extracts an accepted package
// with the package password and answers whether every entry arrived.
#include <gtest/gtest.h>

#include <vector>

#include "archive/UnZipErrors.h"
#include "PackageTestSupport.h"
#include "util/CommonUntil.h"

namespace {

// The events UnZipFile hands on, as the install sequence would receive them.
struct TEvents {
    std::vector<std::pair<int, std::string>> BadPasswords;
    std::vector<int> Percents;

    TBadPassword BadPassword() {
        return [this](TUnZip&, int index, std::string& newPassword) { BadPasswords.emplace_back(index, newPassword); };
    }
    TTotalPercentDone PercentDone() {
        return [this](TUnZip&, int percent) { Percents.push_back(percent); };
    }
    bool UnZip(const std::string& zipFile, const std::string& destDir) {
        return UnZipFile(zipFile, destDir, BadPassword(), PercentDone());
    }
};

// The package tree as the component extracts it from the unencrypted copy.
std::map<std::string, std::string> ReferenceTree() {
    TScratchDir reference;
    TUnZip unzip;
    unzip.SetZipName(PackageFixture("package-plain.zip"));
    unzip.SetDestDir(reference.Path());
    unzip.SetOverwriteMode(TOverwriteMode::Always);
    unzip.SetDoAll(true);
    unzip.SetRecreateDirs(true);
    EXPECT_EQ(unzip.ExtractArchive(), 6);
    return ReadTree(reference.Path());
}

TEST(PackageArchive, PasswordIsTheBuildSetting) {
    EXPECT_STREQ(kPackagePassword, "PlovoTarnis");
}

TEST(PackageArchive, PackagesWithThePackagePasswordAreExtractedCompletely) {
    const auto reference = ReferenceTree();
    ASSERT_EQ(reference.size(), 6u);
    ASSERT_EQ(reference.at("data/config.ini"), "[client]\r\nserver=localhost\r\n");
    ASSERT_EQ(reference.at("empty"), "<dir>");
    for (const char* package : {"package-aes256.zip", "package-trad.zip"}) {
        SCOPED_TRACE(package);
        EXPECT_TRUE(CheckZipFile(PackageFixture(package)));
        for (const char* suffix : {"", "\\"}) { // a trailing backslash changes nothing
            SCOPED_TRACE(std::string("suffix '") + suffix + "'");
            TScratchDir scratch;
            TEvents events;
            EXPECT_TRUE(events.UnZip(PackageFixture(package), (scratch / "UNZIP") + suffix));
            EXPECT_EQ(ReadTree(scratch / "UNZIP"), reference);
            EXPECT_EQ(CountTreeItems(scratch.Path()), 7);
            EXPECT_TRUE(events.BadPasswords.empty());
            ASSERT_FALSE(events.Percents.empty());
            EXPECT_EQ(events.Percents.back(), 100);
            for (std::size_t i = 1; i < events.Percents.size(); ++i)
                EXPECT_LE(events.Percents[i - 1], events.Percents[i]);
        }
    }
}

TEST(PackageArchive, UnprotectedArchiveIsRefusedAndTheDestinationUntouched) {
    EXPECT_FALSE(CheckZipFile(PackageFixture("package-plain.zip")));
    TScratchDir scratch;
    WriteWholeFile(scratch / "marker.txt", "before");
    TEvents events;
    EXPECT_FALSE(events.UnZip(PackageFixture("package-plain.zip"), scratch.Path()));
    EXPECT_EQ(ReadTree(scratch.Path()), (std::map<std::string, std::string>{{"marker.txt", "before"}}));
    EXPECT_TRUE(events.BadPasswords.empty());
    EXPECT_TRUE(events.Percents.empty());
}

TEST(PackageArchive, AnotherPasswordReportsEveryEncryptedEntryAndKeepsTheFolders) {
    EXPECT_TRUE(CheckZipFile(PackageFixture("package-other.zip")));
    TScratchDir scratch;
    TEvents events;
    EXPECT_FALSE(events.UnZip(PackageFixture("package-other.zip"), scratch / "UNZIP"));
    // Entry list: bin\, bin\ZAVeri.exe, data\, data\config.ini, data\zlast.bin, empty\.
    EXPECT_EQ(events.BadPasswords,
              (std::vector<std::pair<int, std::string>>{{1, "PlovoTarnis"}, {3, "PlovoTarnis"}, {4, "PlovoTarnis"}}));
    EXPECT_EQ(ReadTree(scratch / "UNZIP"),
              (std::map<std::string, std::string>{{"bin", "<dir>"}, {"data", "<dir>"}, {"empty", "<dir>"}}));
    EXPECT_TRUE(events.Percents.empty());
}

TEST(PackageArchive, CutPackageKeepsTheEarlierEntriesAndNoPartialFile) {
    TScratchDir scratch;
    TEvents events;
    bool answer = true;
    EXPECT_NO_THROW(answer = events.UnZip(PackageFixture("package-cut.zip"), scratch / "UNZIP"));
    EXPECT_FALSE(answer);
    const auto reference = ReferenceTree();
    const auto tree = ReadTree(scratch / "UNZIP");
    EXPECT_EQ(tree.at("bin/ZAVeri.exe"), reference.at("bin/ZAVeri.exe"));
    EXPECT_EQ(tree.at("data/config.ini"), reference.at("data/config.ini"));
    EXPECT_EQ(tree.count("data/zlast.bin"), 0u);
    EXPECT_EQ(tree.count("empty"), 0u); // after the cut: not reached
    EXPECT_TRUE(events.BadPasswords.empty());
}

TEST(PackageArchive, MissingAndEmptyPackagesAnswerFalseWithoutEvents) {
    TScratchDir scratch;
    {
        TEvents events;
        EXPECT_FALSE(events.UnZip(scratch / "install.zip", scratch / "UNZIP"));
        EXPECT_FALSE(PathIsFolder(scratch / "UNZIP"));
        EXPECT_TRUE(events.BadPasswords.empty() && events.Percents.empty());
    }
    WriteWholeFile(scratch / "install.zip", "");
    EXPECT_TRUE(CheckZipFile(scratch / "install.zip")); // no entries: the test does not pass
    TEvents events;
    EXPECT_FALSE(events.UnZip(scratch / "install.zip", scratch / "UNZIP"));
    EXPECT_TRUE(events.BadPasswords.empty());
    EXPECT_TRUE(events.Percents.empty());
    EXPECT_EQ(CountTreeItems(scratch / "UNZIP"), 0);
}

TEST(PackageArchive, ErrorsOfTheCheckReachTheCaller) {
    struct TCase {
        const char* Name;
        std::string Path; // empty: an HTML page written as the package
        std::string Message;
    };
    const TCase cases[] = {
        {"HTML page", "", "Incomplete Zip File"},
        {"data ending early", ArchiveFixture("premature.zip"), "Premature end of file reached"},
        {"invalid Deflate data", ArchiveFixture("bad-deflate.zip"), "error"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScratchDir scratch;
        std::string package = c.Path;
        if (package.empty()) {
            package = scratch / "install.zip";
            WriteWholeFile(package, "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>\n");
        }
        TEvents events;
        try {
            events.UnZip(package, scratch / "UNZIP");
            ADD_FAILURE() << "no exception";
        } catch (const EUnZipException& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_FALSE(PathIsFolder(scratch / "UNZIP"));
    }
    TScratchDir scratch;
    try {
        EXPECT_TRUE(CheckZipFile(scratch / "install.zip"));
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + (scratch / "install.zip"));
    }
}

} // namespace
