// Entry extraction and the test pass: outputs on disk with their times and
// attributes, progress, the password protocol, refused paths, unknown methods
// and the errors that stop a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "archive/ArchiveStream.h"
#include "archive/UnZip.h"
#include "archive/UnZipErrors.h"
#include "ArchiveTestSupport.h"

namespace {

const TLocalTime kFixtureTime{2021, 3, 4, 5, 6, 8};

// A component set up as the installer uses it, with the unknown-method notice counted.
struct TExtraction {
    TUnZip UnZip;
    int Notices = 0;
    std::vector<int> Percents;

    TExtraction(const std::string& fixture, const std::string& destDir) {
        UnZip.SetZipName(ArchiveFixture(fixture));
        UnZip.SetDestDir(destDir);
        UnZip.SetOverwriteMode(TOverwriteMode::Always);
        UnZip.SetDoAll(true);
        UnZip.SetRecreateDirs(true);
        UnZip.SetRetainAttributes(true);
        UnZip.OnUnknownMethod = [this] { ++Notices; };
        UnZip.OnTotalPercentDone = [this](TUnZip&, int percent) { Percents.push_back(percent); };
    }
};

std::string Contents(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

TEST(ArchiveExtract, TreeEqualsItsSourcesWithTimesAndAttributes) {
    TScratchDir dest;
    TExtraction run("tree.zip", dest.Path());
    EXPECT_EQ(run.UnZip.ExtractArchive(), 9);
    EXPECT_TRUE(run.UnZip.LastRun().AllCompleted());

    const char* files[] = {"hello.txt", "docs\\readonly.txt", "docs\\private.txt", "nested\\deeper\\lines.txt",
                           "nested\\blob.bin"};
    for (const char* file : files) {
        std::string source = ArchiveFixture(std::string("tree/") + file);
        for (char& c : source)
            if (c == '\\')
                c = '/';
        EXPECT_EQ(Contents(dest / file), Contents(source)) << file;
        EXPECT_EQ(LocalModificationTime(dest / file), kFixtureTime) << file;
    }
    EXPECT_TRUE(PathIsFolder(dest / "empty"));
    EXPECT_EQ(CountTreeItems(dest.Path()), 5 + 4); // five files, four folders
    EXPECT_TRUE(IsReadOnly(dest / "docs\\readonly.txt"));
    EXPECT_FALSE(IsReadOnly(dest / "docs\\private.txt"));
#ifndef _WIN32
    EXPECT_EQ(PermissionBits(dest / "docs\\private.txt"), 0640u);
    EXPECT_EQ(PermissionBits(dest / "docs\\readonly.txt"), 0444u);
#endif
}

TEST(ArchiveExtract, DestDirLosesItsTrailingBackslashAndIsCreated) {
    TScratchDir scratch;
    const std::string dest = scratch / "new\\deeper";
    TExtraction run("order.zip", dest + "\\");
    EXPECT_EQ(run.UnZip.DestDir(), dest);
    EXPECT_EQ(run.UnZip.ExtractArchive(), 3);
    EXPECT_EQ(Contents(scratch / "new\\deeper\\second.txt"), "second.txtsecond.txtsecond.txt");
}

TEST(ArchiveExtract, ExistingFileIsReplaced) {
    TScratchDir dest;
    WriteWholeFile(dest / "first.txt", std::string(5000, '#'));
    TExtraction run("order.zip", dest.Path());
    run.UnZip.ExtractArchive();
    EXPECT_EQ(Contents(dest / "first.txt"), "first.txtfirst.txtfirst.txt");
}

TEST(ArchiveExtract, DataDescriptorAndPublicArchives) {
    struct TCase {
        const char* Fixture;
        const char* Output;
        std::string Expected;
    };
    std::string pipe;
    for (int i = 0; i < 200; ++i)
        pipe += "streamed through a pipe\n";
    const TCase cases[] = {
        {"descriptor.zip", "-", pipe},
        {"zip64-local.zip", "forced.txt",
         [] {
             std::string s;
             for (int i = 0; i < 10; ++i)
                 s += "written with force_zip64\n";
             return s;
         }()},
        {"zip64-central.zip", "big.txt", "hello zip64\n"},
        {"sidefile.zip", "side1.txt", "from the side file\n"},
        {"damaged-central.zip", "two.txt", "two two\n"},
        {"public/test_read_format_zip_sfx.zip", "build.sh", "#!/bin/sh\necho \"test.\"\n"},
    };
    for (const TCase& c : cases) {
        TScratchDir dest;
        TExtraction run(c.Fixture, dest.Path());
        run.UnZip.ExtractArchive();
        EXPECT_TRUE(run.UnZip.LastRun().AllCompleted()) << c.Fixture;
        EXPECT_EQ(Contents(dest / c.Output), c.Expected) << c.Fixture;
    }
}

TEST(ArchiveExtract, Utf8NamesBecomeNarrowPaths) {
    TScratchDir dest;
    TExtraction run("utf8names.zip", dest.Path());
    EXPECT_EQ(run.UnZip.ExtractArchive(), 2);
    EXPECT_EQ(Contents(dest / "中文\\文件.txt"), "\xe5\x86\x85\xe5\xae\xb9\n");
    EXPECT_EQ(Contents(dest / "café.txt"), "coffee\n");
}

TEST(ArchiveTest, PassWritesNothingAndAnswersPerEntry) {
    struct TCase {
        const char* Fixture;
        bool Passes;
        int BadPasswords;
    };
    const TCase cases[] = {
        {"tree.zip", true, 0},
        {"empty22.zip", false, 0},        // no entries
        {"encrypted.zip", false, 1},      // an empty password never opens an entry
        {"unknown-method.zip", false, 0}, // method 9 fails its check
        {"bigger.zip", false, 0},         // data longer than declared
        {"paths.zip", false, 0},          // refused paths are given up
        {"public/test_read_format_zip_winzip_aes256.zip", false, 1},
    };
    for (const TCase& c : cases) {
        TScratchDir dest;
        TExtraction run(c.Fixture, dest.Path());
        std::vector<std::string> offered;
        run.UnZip.OnBadPassword = [&](TUnZip&, int, std::string& newPassword) { offered.push_back(newPassword); };
        EXPECT_EQ(run.UnZip.TestArchive(), c.Passes) << c.Fixture;
        EXPECT_EQ(CountTreeItems(dest.Path()), 0) << c.Fixture;
        EXPECT_EQ(run.UnZip.DestDir(), dest.Path()) << c.Fixture;
        EXPECT_TRUE(run.UnZip.RecreateDirs()) << c.Fixture;
        EXPECT_EQ(run.Notices, 0) << c.Fixture;
        EXPECT_EQ(offered, std::vector<std::string>(static_cast<std::size_t>(c.BadPasswords), "")) << c.Fixture;
    }
}

TEST(ArchiveTest, TestPassRestoresDoAllAndRecreateDirs) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture("order.zip"));
    unzip.SetDestDir("somewhere");
    EXPECT_TRUE(unzip.TestArchive());
    EXPECT_FALSE(unzip.DoAll());
    EXPECT_FALSE(unzip.RecreateDirs());
    EXPECT_EQ(unzip.DestDir(), "somewhere");
}

TEST(ArchiveProgress, ReportedOncePerBlockRoundedHalfToEven) {
    struct TCase {
        const char* Fixture;
        std::vector<int> Percents;
    };
    const TCase cases[] = {
        // 32768, 65536, 98304 and 100000 of 100000 bytes.
        {"stored100000.zip", {33, 66, 98, 100}},
        {"zero-and-32768.zip", {100}},
        // 27, 57 and 84 of 84 bytes.
        {"order.zip", {32, 68, 100}},
        // 1, 3 and 8 of 8 bytes: 12.5 and 37.5 round to the even neighbour.
        {"ties.zip", {12, 38, 100}},
    };
    for (const TCase& c : cases) {
        TScratchDir dest;
        TExtraction run(c.Fixture, dest.Path());
        run.UnZip.ExtractArchive();
        EXPECT_EQ(run.Percents, c.Percents) << c.Fixture;
    }
}

TEST(ArchiveProgress, TreeProgressNeverDecreasesAndEndsAt100) {
    TScratchDir dest;
    TExtraction run("tree.zip", dest.Path());
    run.UnZip.ExtractArchive();
    ASSERT_FALSE(run.Percents.empty());
    for (std::size_t i = 1; i < run.Percents.size(); ++i)
        EXPECT_LE(run.Percents[i - 1], run.Percents[i]);
    EXPECT_EQ(run.Percents.back(), 100);
    // 70000 bytes stored in 3 blocks, 28890 deflated in 1, three small stored files.
    EXPECT_EQ(run.Percents.size(), 7u);
}

TEST(ArchivePassword, BadPasswordGivesTheEntryUpAndKeepsFolders) {
    TScratchDir dest;
    TExtraction run("encrypted.zip", dest.Path());
    run.UnZip.SetPassword("NotThePassword");
    std::vector<std::pair<int, std::string>> calls;
    run.UnZip.OnBadPassword = [&](TUnZip&, int index, std::string& newPassword) {
        calls.emplace_back(index, newPassword);
    };
    EXPECT_EQ(run.UnZip.ExtractArchive(), 1);
    ASSERT_EQ(run.UnZip.Count(), 2);
    EXPECT_EQ(run.UnZip.Entries()[1].FileName, "secret.txt");
    EXPECT_TRUE(run.UnZip.Entries()[1].IsEncrypted());
    EXPECT_EQ(calls, (std::vector<std::pair<int, std::string>>{{1, "NotThePassword"}}));
    EXPECT_TRUE(PathIsFolder(dest / "folder"));
    EXPECT_FALSE(PathIsFile(dest / "secret.txt"));
    EXPECT_EQ(run.UnZip.LastRun().GivenUp, 1);
    EXPECT_FALSE(run.UnZip.LastRun().AllCompleted());
    EXPECT_TRUE(run.Percents.empty());
}

TEST(ArchivePassword, NewPasswordFromTheHandlerIsTriedAndKept) {
    TScratchDir dest;
    TExtraction run("encrypted.zip", dest.Path());
    run.UnZip.SetPassword("first");
    std::vector<std::string> offered;
    run.UnZip.OnBadPassword = [&](TUnZip&, int, std::string& newPassword) {
        offered.push_back(newPassword);
        if (newPassword == "first")
            newPassword = "second";
    };
    run.UnZip.ExtractArchive();
    // The header is checked again with the new password, which fails too and is kept.
    EXPECT_EQ(offered, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(run.UnZip.Password(), "second");
    EXPECT_EQ(run.UnZip.LastRun().Outcomes[1], TEntryOutcome::GivenUp);
}

TEST(ArchivePaths, FolderPartsArePlacedUnderDestDirAndEscapesRefused) {
    TScratchDir scratch;
    const std::string dest = scratch / "out";
    TExtraction run("paths.zip", dest);
    EXPECT_EQ(run.UnZip.ExtractArchive(), 5);
    EXPECT_TRUE(PathIsFolder(scratch / "out\\dir\\sub"));
    EXPECT_EQ(Contents(scratch / "out\\dir\\a.txt"), "in dir\n");
    EXPECT_EQ(Contents(scratch / "out\\rooted\\r.txt"), "rooted\n");
    EXPECT_EQ(Contents(scratch / "out\\drive\\d.txt"), "drive\n");
    EXPECT_EQ(Contents(scratch / "out\\last.txt"), "after the refused ones\n");
    EXPECT_FALSE(PathIsFile(scratch / "escape.txt"));
    EXPECT_FALSE(PathIsFile(scratch / "out\\escape.txt"));
    EXPECT_FALSE(PathIsFile(scratch / "escape2.txt"));
    EXPECT_FALSE(PathIsFile(scratch / "out\\stream.txt"));
    EXPECT_EQ(CountTreeItems(scratch.Path()), 1 + 8); // out, dir, sub, a, rooted, r, drive, d, last
    const auto& outcomes = run.UnZip.LastRun().Outcomes;
    EXPECT_EQ(outcomes[4], TEntryOutcome::GivenUp);
    EXPECT_EQ(outcomes[5], TEntryOutcome::GivenUp);
    EXPECT_EQ(outcomes[6], TEntryOutcome::GivenUp);
    EXPECT_EQ(run.UnZip.LastRun().GivenUp, 3);
}

TEST(ArchiveMethods, UnknownMethodShowsTheNoticeAndChecksTheCrc) {
    TScratchDir dest;
    TExtraction run("unknown-method.zip", dest.Path());
    std::vector<std::uint32_t> badCrc;
    run.UnZip.OnBadCRC = [&](TUnZip&, std::uint32_t calc, std::uint32_t stored, int index) {
        badCrc.insert(badCrc.end(), {calc, stored, static_cast<std::uint32_t>(index)});
    };
    EXPECT_EQ(run.UnZip.ExtractArchive(), 2);
    EXPECT_EQ(run.Notices, 2);
    // Stored CRC 0: counted, the file keeps its declared size with nothing written into it.
    EXPECT_EQ(Contents(dest / "method7.bin"), std::string(40, '\0'));
    EXPECT_FALSE(PathIsFile(dest / "method9.bin"));
    ASSERT_EQ(badCrc.size(), 3u);
    EXPECT_EQ(badCrc[0], 0u);
    EXPECT_NE(badCrc[1], 0u);
    EXPECT_EQ(badCrc[2], 1u);
    EXPECT_EQ(Contents(dest / "plain.txt"), "plain\n");
}

TEST(ArchiveMethods, DataLongerThanDeclaredFailsTheEntryOnly) {
    TScratchDir dest;
    TExtraction run("bigger.zip", dest.Path());
    EXPECT_EQ(run.UnZip.ExtractArchive(), 1);
    EXPECT_FALSE(PathIsFile(dest / "long-stored.txt"));
    EXPECT_FALSE(PathIsFile(dest / "long-deflated.txt"));
    EXPECT_EQ(Contents(dest / "good.txt"), "good\n");
    EXPECT_EQ(run.UnZip.LastRun().Failed, 2);
}

TEST(ArchiveErrors, RunStopsAndThePartialOutputIsDeleted) {
    struct TCase {
        const char* Fixture;
        const char* Message;
    };
    const TCase cases[] = {
        {"premature.zip", "Premature end of file reached"},
        {"bad-deflate.zip", "error"},
        {"cut-deflate.zip", "error"},
    };
    for (const TCase& c : cases) {
        TScratchDir dest;
        TExtraction run(c.Fixture, dest.Path());
        try {
            run.UnZip.ExtractArchive();
            ADD_FAILURE() << c.Fixture << ": no exception";
        } catch (const EUnZipException& e) {
            EXPECT_STREQ(e.what(), c.Message) << c.Fixture;
        }
        EXPECT_EQ(Contents(dest / "first.txt"), "complete\n") << c.Fixture;
        EXPECT_EQ(CountTreeItems(dest.Path()), 1) << c.Fixture;
        EXPECT_EQ(run.UnZip.LastRun().Completed, 1) << c.Fixture;
        EXPECT_EQ(run.UnZip.LastRun().Outcomes[1], TEntryOutcome::Failed) << c.Fixture;
    }
    // The test pass raises the same errors.
    TExtraction test("cut-deflate.zip", "");
    EXPECT_THROW(test.UnZip.TestArchive(), EZCompressionError);
}

TEST(ArchiveErrors, OutputThatCannotBeCreatedIsGivenUp) {
    TScratchDir dest;
    // A folder where the first file should go, and a size no disk can hold.
    std::filesystem::create_directories(std::filesystem::path(dest.Path()) / "first.txt");
    TExtraction order("order.zip", dest.Path());
    EXPECT_EQ(order.UnZip.ExtractArchive(), 2);
    EXPECT_EQ(order.UnZip.LastRun().Outcomes[0], TEntryOutcome::GivenUp);
    EXPECT_EQ(Contents(dest / "third.txt"), "third.txtthird.txtthird.txt");

    TExtraction huge("huge-declared.zip", dest.Path());
    EXPECT_EQ(huge.UnZip.ExtractArchive(), 1);
    EXPECT_EQ(huge.UnZip.LastRun().Outcomes[0], TEntryOutcome::GivenUp);
    EXPECT_FALSE(PathIsFile(dest / "huge.bin"));
    EXPECT_EQ(Contents(dest / "after.txt"), "still extracted\n");
}

TEST(ArchiveStreamSource, ExtractsFromAHandedOverStream) {
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(ArchiveFixture("order.zip"), bytes));
    TMemoryStream stream(bytes.data(), bytes.size());
    TScratchDir dest;
    {
        TUnZip unzip;
        unzip.SetArchiveStream(&stream);
        unzip.SetDestDir(dest.Path());
        unzip.SetDoAll(true);
        unzip.SetRecreateDirs(true);
        EXPECT_TRUE(unzip.TestArchive());
        EXPECT_EQ(unzip.ExtractArchive(), 3);
    }
    EXPECT_EQ(Contents(dest / "third.txt"), "third.txtthird.txtthird.txt");
    EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(bytes.size())); // still usable
}

TEST(ArchiveExtract, ChooseFolderDestinationDoesNothing) {
    TExtraction run("order.zip", "?");
    EXPECT_EQ(run.UnZip.ExtractArchive(), 0);
    EXPECT_FALSE(run.UnZip.IsLoaded());
}

TEST(ArchiveExtract, IncompleteArchiveRaisesFromExtraction) {
    TScratchDir dest;
    const std::string path = dest / "page.zip";
    WriteWholeFile(path, "<html>not a zip</html>");
    TUnZip unzip;
    unzip.SetZipName(path);
    unzip.SetDestDir(dest / "out");
    try {
        unzip.ExtractArchive();
        ADD_FAILURE() << "no exception";
    } catch (const EIncompleteZip& e) {
        EXPECT_STREQ(e.what(), "Incomplete Zip File");
    }
    EXPECT_FALSE(PathIsFolder(dest / "out"));
}

} // namespace
