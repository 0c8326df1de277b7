// The shrunk, reduced and imploded fixture archives through the whole component:
// extracted bytes on disk, the test pass, and damaged copies of their entries.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "archive/ArchiveStream.h"
#include "archive/UnZip.h"
#include "archive/UnZipErrors.h"
#include "ArchiveTestSupport.h"
#include "LegacyTestSupport.h"

namespace {

// Every expected member differs in size from the others, so the size picks the content.
const std::map<std::uint64_t, std::string> kExpectedBySize = {
    {15498, "TECT.TXT"}, {45056, "TEST.EXE"}, {40372, "TEST.JPG"}, {818, "HEADER.TXT"}, {11560, "LICENSE.TXT"},
    {76, "TEST1.XML"},   {81, "TEST2.XML"},   {2048, "S.BIN"},     {1092, "FIRST.TXT"},
};

std::string Expected(std::uint64_t size) {
    const auto found = kExpectedBySize.find(size);
    if (found == kExpectedBySize.end())
        return "<no expected content of " + std::to_string(size) + " bytes>";
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(LegacyFixture("expected/" + found->second), contents));
    return contents;
}

std::string Contents(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

void SetUpForInstall(TUnZip& unzip, const std::string& destDir) {
    unzip.SetDestDir(destDir);
    unzip.SetOverwriteMode(TOverwriteMode::Always);
    unzip.SetDoAll(true);
    unzip.SetRecreateDirs(true);
    unzip.OnUnknownMethod = [] { ADD_FAILURE() << "unknown-method notice"; };
}

struct TFixture {
    const char* Name;
    std::set<int> Methods; // the methods its entries use
    int Members;
};

const TFixture kFixtures[] = {
    {"Zip.shrink.zip", {0, 1}, 3},
    {"SHRUNK.ZIP", {1}, 2},
    {"zip2-shrink.zip", {1}, 1},
    {"example-s.zip", {1}, 1},
    {"Zip.reduce1.zip", {1, 2}, 3},
    {"Zip.reduce2.zip", {1, 3}, 3},
    {"Zip.reduce3.zip", {1, 4}, 3},
    {"Zip.reduce4.zip", {1, 5}, 3},
    {"zip2-reduce.zip", {5}, 1},
    {"example-r.zip", {5}, 1},
    {"Zip.implode.zip", {0, 6}, 3},
    {"imploding-4Kdict-2trees.zip", {6}, 1},
    {"imploding-8Kdict-3trees.zip", {6}, 1},
    {"zip2-implode.zip", {6}, 1},
    {"example-i.zip", {6}, 1},
};

TEST(LegacyFixtures, ExtractToTheirListedContent) {
    std::set<int> implodeFlags;
    for (const TFixture& f : kFixtures) {
        TScratchDir dest;
        TUnZip unzip;
        unzip.SetZipName(LegacyFixture(f.Name));
        SetUpForInstall(unzip, dest.Path());
        const int completed = unzip.ExtractArchive();
        ASSERT_EQ(unzip.Count(), f.Members) << f.Name;
        int unnameable = 0;
        std::set<int> methods;
        for (int i = 0; i < unzip.Count(); ++i) {
            const TZipHeaderInfo& entry = unzip.Entries()[i];
            methods.insert(entry.CompressionMethod);
            if (entry.CompressionMethod == 6)
                implodeFlags.insert(entry.Flags & 0x6);
            // A name the ANSI code page cannot hold (one member under code page
            // 936) leaves no file name to create: that entry is given up.
            if (entry.FileName.find('?') != std::string::npos) {
                ++unnameable;
                EXPECT_EQ(unzip.LastRun().Outcomes[static_cast<std::size_t>(i)], TEntryOutcome::GivenUp) << f.Name;
                continue;
            }
            EXPECT_EQ(Contents(dest / entry.StoredPath()), Expected(entry.UncompressedSize))
                << f.Name << ": " << entry.StoredPath();
        }
        EXPECT_EQ(completed, f.Members - unnameable) << f.Name;
        EXPECT_EQ(methods, f.Methods) << f.Name;
        // The test pass creates nothing, so every entry decodes and checks there.
        EXPECT_TRUE(unzip.TestArchive()) << f.Name;
    }
    // 4 KB with two trees and 8 KB with three: each flag bit seen both ways.
    EXPECT_EQ(implodeFlags, (std::set<int>{0, 6}));
}

// Extracts the one-entry archive around a (damaged) entry. Answers true when the
// entry completed; then its output must be exactly the expected content.
// Otherwise no output may be left behind, and the only error that may reach
// the caller is the decoding error.
bool ExtractsExactlyOrFailsCleanly(const TRawEntry& entry, const std::string& expected, const std::string& what) {
    static const TScratchDir dest;
    const TBytes archive = BuildArchive(entry);
    TMemoryStream stream(archive.data(), archive.size());
    TUnZip unzip;
    unzip.SetArchiveStream(&stream);
    SetUpForInstall(unzip, dest.Path());
    bool completed = false;
    try {
        unzip.ExtractArchive();
        completed = unzip.LastRun().Completed == 1;
    } catch (const EUnZipException& e) {
        EXPECT_STREQ(e.what(), "error") << what;
    }
    if (completed) {
        EXPECT_TRUE(Contents(dest / entry.Name) == expected) << what << ": completed with other bytes";
        std::filesystem::remove(std::filesystem::path(dest / entry.Name));
    } else {
        EXPECT_FALSE(PathIsFile(dest / entry.Name)) << what << ": output left behind";
    }
    return completed;
}

// The legacy-method entries of every fixture, each distinct one once.
std::vector<TRawEntry> LegacyEntries() {
    std::vector<TRawEntry> entries;
    std::set<TBytes> seen;
    for (const TFixture& f : kFixtures) {
        for (TRawEntry& e : ReadRawEntries(ReadBytes(LegacyFixture(f.Name)))) {
            if (e.Method >= 1 && e.Method <= 6 && seen.insert(e.Stored).second) {
                e.Name = "v.bin";
                entries.push_back(std::move(e));
            }
        }
    }
    return entries;
}

// Every position of a short entry; an even spread over a long one.
std::vector<std::size_t> Positions(std::size_t size) {
    const std::size_t step = size <= 1200 ? 1 : size / 400;
    std::vector<std::size_t> positions;
    for (std::size_t p = 0; p < size; p += step)
        positions.push_back(p);
    if (size > 0 && positions.back() != size - 1)
        positions.push_back(size - 1);
    return positions;
}

TEST(LegacyDamage, TruncatedEntriesFailEvenWithoutACrc) {
    for (const TRawEntry& entry : LegacyEntries()) {
        const std::string expected = Expected(entry.UncompressedSize);
        for (const std::size_t cut : Positions(entry.Stored.size())) {
            for (const std::uint32_t crc : {entry.Crc32, 0u}) {
                TRawEntry damaged = entry;
                damaged.Stored.resize(cut);
                damaged.Crc32 = crc;
                const std::string what = "method " + std::to_string(entry.Method) + ", " +
                                         std::to_string(entry.UncompressedSize) + " bytes cut to " +
                                         std::to_string(cut) + (crc == 0 ? " without CRC" : "");
                const bool completed = ExtractsExactlyOrFailsCleanly(damaged, expected, what);
                // Only the last stored byte may hold nothing but padding.
                if (cut + 1 < entry.Stored.size()) {
                    EXPECT_FALSE(completed) << what;
                }
            }
        }
    }
}

TEST(LegacyDamage, BitFlippedEntriesNeverCompleteWithOtherBytes) {
    for (const TRawEntry& entry : LegacyEntries()) {
        const std::string expected = Expected(entry.UncompressedSize);
        for (const std::size_t at : Positions(entry.Stored.size())) {
            TRawEntry damaged = entry;
            const unsigned bit = static_cast<unsigned>(at * 5 % 8);
            damaged.Stored[at] ^= static_cast<std::uint8_t>(1u << bit);
            ExtractsExactlyOrFailsCleanly(damaged, expected,
                                          "method " + std::to_string(entry.Method) + ", " +
                                              std::to_string(entry.UncompressedSize) + " bytes, bit " +
                                              std::to_string(bit) + " of byte " + std::to_string(at) + " flipped");
        }
    }
}

TEST(LegacyDamage, DeclaredSizeDecidesBetweenFailedEntryAndDecodingError) {
    // One byte off either way: the entry fails (data longer than declared, its
    // CRC, or the padding bits of the last byte run out) and never completes.
    // Far more declared than stored: the stored bytes end first, which is the
    // decoding error, also for 4 GiB (no waiting, nothing allocated for it).
    for (const TRawEntry& entry : LegacyEntries()) {
        const std::string tag =
            "method " + std::to_string(entry.Method) + ", " + std::to_string(entry.UncompressedSize) + " bytes";
        for (const std::uint32_t declared : {entry.UncompressedSize - 1, entry.UncompressedSize + 1}) {
            TRawEntry changed = entry;
            changed.UncompressedSize = declared;
            EXPECT_FALSE(ExtractsExactlyOrFailsCleanly(changed, "", tag + " declared as " + std::to_string(declared)));
        }
        TRawEntry huge = entry;
        huge.UncompressedSize = 0xFFFFFFFFu;
        const TBytes archive = BuildArchive(huge);
        TMemoryStream stream(archive.data(), archive.size());
        TUnZip unzip;
        unzip.SetArchiveStream(&stream);
        EXPECT_THROW(unzip.TestArchive(), EZCompressionError) << tag << " declared as 4 GiB";
    }
}

} // namespace
