// Directory reading: end record search, Zip64, names, the entry list order,
// the rebuild from local headers, the side file, errors and the reload rule.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "archive/ArchiveStream.h"
#include "archive/PlatformFile.h"
#include "archive/UnZip.h"
#include "archive/UnZipErrors.h"
#include "ArchiveTestSupport.h"

namespace {

std::vector<std::string> StoredPaths(const TUnZip& unzip) {
    std::vector<std::string> paths;
    for (const TZipHeaderInfo& e : unzip.Entries())
        paths.push_back(e.StoredPath());
    return paths;
}

std::string FixtureBytes(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(ArchiveFixture(name), bytes)) << name;
    return bytes;
}

std::uint32_t Dos(int year, int month, int day, int hour, int minute, int second) {
    return (static_cast<std::uint32_t>(year - 1980) << 25) | (static_cast<std::uint32_t>(month) << 21) |
           (static_cast<std::uint32_t>(day) << 16) | (static_cast<std::uint32_t>(hour) << 11) |
           (static_cast<std::uint32_t>(minute) << 5) | static_cast<std::uint32_t>(second / 2);
}

TEST(ClampDosDateTime, ForcesEachPartIntoRange) {
    struct TCase {
        std::uint32_t In;
        std::uint32_t Out;
    };
    const TCase cases[] = {
        {0, Dos(1980, 1, 1, 0, 0, 0)},                                            // month 0 and day 0
        {Dos(2020, 6, 15, 12, 30, 44), Dos(2020, 6, 15, 12, 30, 44)},             // valid: unchanged
        {(40u << 25) | (13u << 21) | (5u << 16), Dos(2020, 12, 5, 0, 0, 0)},      // month 13
        {(1u << 21) | (1u << 16) | (31u << 11), Dos(1980, 1, 1, 23, 0, 0)},       // hour 31
        {(1u << 21) | (1u << 16) | (63u << 5) | 31u, Dos(1980, 1, 1, 0, 59, 58)}, // minute 63, seconds 62
        {(127u << 25) | (1u << 21) | (1u << 16), Dos(2099, 1, 1, 0, 0, 0)},       // year 2107
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ClampDosDateTime(c.In), c.Out) << std::hex << c.In;
    // Invalid parts that need no clamping stay as they are (day 31 of February).
    EXPECT_EQ(ClampDosDateTime(Dos(2021, 2, 31, 0, 0, 0)), Dos(2021, 2, 31, 0, 0, 0));
}

struct TLoadCase {
    const char* Fixture;
    std::vector<std::string> Paths; // in entry-list order
};

class ArchiveLoad : public testing::TestWithParam<TLoadCase> {};

TEST_P(ArchiveLoad, ListsEntriesInLocalHeaderOrder) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture(GetParam().Fixture));
    unzip.LoadDirectory();
    EXPECT_TRUE(unzip.IsLoaded());
    EXPECT_EQ(StoredPaths(unzip), GetParam().Paths);
    for (int i = 1; i < unzip.Count(); ++i)
        EXPECT_LT(unzip.Entries()[i - 1].LocalHeaderOffset, unzip.Entries()[i].LocalHeaderOffset);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ArchiveLoad,
    testing::Values(TLoadCase{"empty22.zip", {}}, TLoadCase{"comment65535.zip", {"note.txt"}},
                    // The fake end record inside the comment is the later one and wins: no entries.
                    TLoadCase{"two-end-records.zip", {}},
                    TLoadCase{"order.zip", {"first.txt", "second.txt", "third.txt"}},
                    TLoadCase{"tree.zip",
                              {"nested\\", "nested\\blob.bin", "nested\\deeper\\", "nested\\deeper\\lines.txt",
                               "empty\\", "hello.txt", "docs\\", "docs\\private.txt", "docs\\readonly.txt"}},
                    TLoadCase{"descriptor.zip", {"-"}}, TLoadCase{"zip64-central.zip", {"big.txt"}},
                    TLoadCase{"zip64-local.zip", {"forced.txt"}},
                    TLoadCase{"public/test_read_format_zip_zip64a.zip", {"-"}},
                    // Declared but unwritten central extra data is tolerated.
                    TLoadCase{"extra-missing.zip", {"x.txt", "y.txt"}},
                    // A broken central record and a duplicated one: rebuilt from the local headers.
                    TLoadCase{"damaged-central.zip", {"one.txt", "two.txt"}},
                    TLoadCase{"duplicate-central.zip", {"one.txt", "two.txt"}},
                    // No end record in the archive; the side file holds the central directory.
                    TLoadCase{"sidefile.zip", {"side1.txt", "side2.txt"}},
                    // Data before the archive: the stated offsets miss, the rebuild finds the entries.
                    TLoadCase{"public/test_read_format_zip_sfx.zip", {"file0", "build.sh"}},
                    TLoadCase{"public/test_read_format_zip_padded1.zip", {"file0", "file1"}}),
    [](const auto& info) {
        std::string name = info.param.Fixture;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(ArchiveDirectory, EndRecordFieldsAndCommentPosition) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture("comment65535.zip"));
    unzip.LoadDirectory();
    const std::uint64_t size = FixtureBytes("comment65535.zip").size();
    EXPECT_EQ(unzip.EndCentral().CommentLength, 65535);
    EXPECT_EQ(static_cast<std::uint64_t>(unzip.EndCentral().CommentPosition), size - 65535);
    EXPECT_EQ(unzip.EndCentral().TotalEntries, 1);
}

TEST(ArchiveDirectory, Zip64RecordsGiveTheSizesAndOffsets) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture("zip64-central.zip"));
    unzip.LoadDirectory();
    ASSERT_EQ(unzip.Count(), 1);
    const TZipHeaderInfo& e = unzip.Entries()[0];
    EXPECT_EQ(e.UncompressedSize, 12u);
    EXPECT_EQ(e.CompressedSize, 12u);
    EXPECT_EQ(e.LocalHeaderOffset, 0u);
    EXPECT_TRUE(unzip.EndCentral().HasZip64);
    EXPECT_EQ(unzip.EndCentral().TotalEntries, 0xFFFF);
    EXPECT_EQ(unzip.EndCentral().EffectiveTotalEntries(), 1u);

    TUnZip huge;
    huge.SetZipName(ArchiveFixture("huge-declared.zip"));
    huge.LoadDirectory();
    ASSERT_EQ(huge.Count(), 2);
    EXPECT_EQ(huge.Entries()[0].UncompressedSize, std::uint64_t{1} << 62);
    EXPECT_EQ(huge.Entries()[0].CompressedSize, 4u);
}

TEST(ArchiveDirectory, FolderEntriesAndFolderParts) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture("tree.zip"));
    unzip.LoadDirectory();
    const TZipHeaderInfo& folder = unzip.Entries()[2];
    EXPECT_TRUE(folder.IsFolder());
    EXPECT_EQ(folder.FolderPart, "nested\\deeper\\");
    EXPECT_EQ(folder.FileName, "");
    const TZipHeaderInfo& file = unzip.Entries()[1];
    EXPECT_FALSE(file.IsFolder());
    EXPECT_EQ(file.FolderPart, "nested\\");
    EXPECT_EQ(file.FileName, "blob.bin");
    EXPECT_EQ(file.UncompressedSize, 70000u);
}

TEST(ArchiveDirectory, AesExtraFieldGivesStrengthAndActualMethod) {
    for (const char* fixture : {"aes-fields.zip", "public/test_read_format_zip_winzip_aes256.zip"}) {
        TUnZip unzip;
        unzip.SetZipName(ArchiveFixture(fixture));
        unzip.LoadDirectory();
        ASSERT_EQ(unzip.Count(), 1) << fixture;
        const TZipHeaderInfo& e = unzip.Entries()[0];
        EXPECT_EQ(e.MethodField, 99) << fixture;
        EXPECT_EQ(e.CompressionMethod, 8) << fixture;
        EXPECT_EQ(e.EncryptionStrength, 3) << fixture;
        EXPECT_TRUE(e.IsEncrypted() && e.IsAes()) << fixture;
    }
}

TEST(ArchiveDirectory, DateTimesAreClampedWhenRead) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture("dates.zip"));
    unzip.LoadDirectory();
    ASSERT_EQ(unzip.Count(), 2);
    EXPECT_EQ(unzip.Entries()[0].DateTime, Dos(1980, 1, 1, 0, 0, 0));
    EXPECT_EQ(unzip.Entries()[1].DateTime, Dos(2020, 12, 5, 0, 0, 0));
}

// Expected names are narrow strings: GBK under Windows (code page 936 for both
// OEM and ANSI), UTF-8 natively (where the OEM code page is CP437).
TEST(ArchiveDirectory, NamesAreDecodedPerFlagAndCodePage) {
    TUnZip utf8;
    utf8.SetZipName(ArchiveFixture("utf8names.zip"));
    utf8.LoadDirectory();
    EXPECT_EQ(StoredPaths(utf8), (std::vector<std::string>{"中文\\文件.txt", "café.txt"}));

    TUnZip names;
    names.SetZipName(ArchiveFixture("names.zip"));
    names.LoadDirectory();
    ASSERT_EQ(names.Count(), 3);
#ifdef _WIN32
    // GBK bytes round-trip through the OEM code page; the UTF-8 bytes do not and are read as UTF-8.
    EXPECT_EQ(names.Entries()[0].FileName, "测试.txt");
    EXPECT_EQ(names.Entries()[1].FileName, "ab中.txt");
#else
    // Every byte string is valid CP437, so both names are read as CP437.
    EXPECT_EQ(names.Entries()[0].FileName, "\xe2\x96\x93\xce\x93\xe2\x95\xa9\xe2\x95\x98.txt");
    EXPECT_EQ(names.Entries()[1].FileName, "ab\xce\xa3\xe2\x95\x95\xc2\xa1.txt");
#endif
    // The Unicode path field replaces the header name.
    EXPECT_EQ(names.Entries()[2].FileName, "统一码.txt");
    EXPECT_EQ(names.Entries()[2].FolderPart, "");

    TUnZip raw;
    raw.SetOEMConvert(TOEMConvert::oemNever);
    raw.SetZipName(ArchiveFixture("names.zip"));
    raw.LoadDirectory();
    EXPECT_EQ(raw.Entries()[1].FileName, "ab\xe4\xb8\xad.txt"); // the bytes as stored
}

struct TErrorCase {
    const char* Name;
    std::string Bytes;
    TIncompleteZipMode Mode;
    const char* Message; // nullptr: loads
};

std::string EmptyArchiveWithBrokenSignature() {
    std::string bytes = FixtureBytes("empty22.zip");
    bytes[2] = 'X';
    return bytes;
}

std::string WithoutEndRecord(const std::string& fixture) {
    std::string bytes = FixtureBytes(fixture);
    return bytes.substr(0, bytes.size() - 22);
}

TEST(ArchiveDirectory, LoadErrorsCarryTheirMessages) {
    const std::string html = "<html><body>404 Not Found</body></html>\n";
    const std::string localsOnly = WithoutEndRecord("order.zip");
    // Central records that point nowhere and no local header anywhere.
    std::string noLocals = FixtureBytes("order.zip");
    for (std::size_t i = 0; i + 4 <= noLocals.size(); ++i)
        if (noLocals.compare(i, 4, "PK\x03\x04") == 0)
            noLocals[i + 2] = 0x09;
    for (std::size_t i = 0; i + 4 <= noLocals.size(); ++i)
        if (noLocals.compare(i, 4, "PK\x01\x02") == 0)
            noLocals[i + 2] = 0x09;
    const TErrorCase cases[] = {
        {"22 bytes, broken signature", EmptyArchiveWithBrokenSignature(), TIncompleteZipMode::izAssumeMulti,
         "Incomplete Zip File"},
        {"10 bytes", std::string(10, 'P'), TIncompleteZipMode::izAssumeMulti, "Incomplete Zip File"},
        {"html page", html, TIncompleteZipMode::izAssumeMulti, "Incomplete Zip File"},
        {"html page, not-a-zip mode", html, TIncompleteZipMode::izAssumeNotAZip, "Not a valid zip file!"},
        {"html page, rebuild mode", html, TIncompleteZipMode::izAssumeBad, "Not a valid zip file!"},
        {"no end record, rebuild mode", localsOnly, TIncompleteZipMode::izAssumeBad, nullptr},
        {"central records without local headers", noLocals, TIncompleteZipMode::izAssumeMulti, "Not a valid zip file!"},
        {"empty file", std::string(), TIncompleteZipMode::izAssumeMulti, nullptr},
    };
    for (const TErrorCase& c : cases) {
        TMemoryStream stream(c.Bytes.data(), c.Bytes.size());
        TUnZip unzip;
        unzip.SetArchiveStream(&stream);
        unzip.SetIncompleteZipMode(c.Mode);
        if (c.Message == nullptr) {
            EXPECT_NO_THROW(unzip.LoadDirectory()) << c.Name;
            continue;
        }
        try {
            unzip.LoadDirectory();
            ADD_FAILURE() << c.Name << ": no exception";
        } catch (const EUnZipException& e) {
            EXPECT_STREQ(e.what(), c.Message) << c.Name;
            EXPECT_EQ(unzip.Count(), 0) << c.Name;
            EXPECT_FALSE(unzip.IsLoaded()) << c.Name;
        }
    }
}

TEST(ArchiveDirectory, ErrorClassesFollowTheMode) {
    const std::string html = "<html></html>";
    TMemoryStream stream(html.data(), html.size());
    TUnZip unzip;
    unzip.SetArchiveStream(&stream);
    EXPECT_THROW(unzip.LoadDirectory(), EIncompleteZip);
    unzip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeNotAZip);
    EXPECT_THROW(unzip.LoadDirectory(), ENotAZipFile);
    unzip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    EXPECT_THROW(unzip.LoadDirectory(), EBadZipFile);
}

TEST(ArchiveDirectory, IncompleteEventChoosesTheMode) {
    const std::string localsOnly = WithoutEndRecord("order.zip");
    TMemoryStream stream(localsOnly.data(), localsOnly.size());
    TUnZip unzip;
    unzip.SetArchiveStream(&stream);
    int calls = 0;
    unzip.OnInCompleteZip = [&](TUnZip&, TIncompleteZipMode& mode) {
        ++calls;
        EXPECT_EQ(mode, TIncompleteZipMode::izAssumeMulti);
        mode = TIncompleteZipMode::izAssumeBad;
    };
    unzip.LoadDirectory();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(unzip.IncompleteZipMode(), TIncompleteZipMode::izAssumeBad);
    EXPECT_EQ(StoredPaths(unzip), (std::vector<std::string>{"first.txt", "second.txt", "third.txt"}));
}

TEST(ArchiveDirectory, MissingFileRaisesTheOpenError) {
    TUnZip unzip;
    const std::string missing = ArchiveFixture("no-such-archive.zip");
    unzip.SetZipName(missing);
    try {
        unzip.LoadDirectory();
        ADD_FAILURE() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
}

TEST(ArchiveDirectory, UnchangedFileIsNotReadAgain) {
    TScratchDir scratch;
    const std::string path = scratch / "a.zip";
    WriteWholeFile(path, FixtureBytes("order.zip"));
    ASSERT_TRUE(PlatformFs::SetDosDateTime(path, Dos(2020, 1, 2, 3, 4, 6)));

    TUnZip unzip;
    unzip.SetZipName(path);
    unzip.LoadDirectory();
    ASSERT_EQ(unzip.Count(), 3);

    // Other contents with the same modification time: the loaded directory stands.
    WriteWholeFile(path, FixtureBytes("tree.zip"));
    ASSERT_TRUE(PlatformFs::SetDosDateTime(path, Dos(2020, 1, 2, 3, 4, 6)));
    unzip.LoadDirectory();
    EXPECT_EQ(unzip.Count(), 3);

    // A new modification time: loaded again.
    ASSERT_TRUE(PlatformFs::SetDosDateTime(path, Dos(2020, 1, 2, 3, 4, 8)));
    unzip.LoadDirectory();
    EXPECT_EQ(unzip.Count(), 9);
}

TEST(ArchiveDirectory, NewNameOrStreamDropsTheDirectory) {
    TUnZip unzip;
    unzip.SetZipName(ArchiveFixture("order.zip"));
    unzip.LoadDirectory();
    ASSERT_TRUE(unzip.IsLoaded());
    unzip.SetZipName(ArchiveFixture("tree.zip"));
    EXPECT_FALSE(unzip.IsLoaded());
    EXPECT_EQ(unzip.Count(), 0);

    const std::string bytes = FixtureBytes("order.zip");
    TMemoryStream stream(bytes.data(), bytes.size());
    unzip.SetArchiveStream(&stream);
    EXPECT_TRUE(unzip.KeepZipOpen());
    unzip.LoadDirectory();
    EXPECT_EQ(unzip.Count(), 3);
    unzip.SetArchiveStream(nullptr);
    EXPECT_FALSE(unzip.IsLoaded());
    unzip.LoadDirectory(); // name mode again: tree.zip
    EXPECT_EQ(unzip.Count(), 9);
}

TEST(ArchiveDirectory, NameComparisonIgnoresLetterCase) {
    TUnZip unzip;
    const std::string name = ArchiveFixture("order.zip");
    unzip.SetZipName(name);
    unzip.LoadDirectory();
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    unzip.SetZipName(upper);
    EXPECT_TRUE(unzip.IsLoaded());
}

} // namespace
