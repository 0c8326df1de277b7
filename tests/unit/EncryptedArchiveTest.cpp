// Encrypted entries through the ZIP component: archives from real writers in
// both schemes and every AES strength, stored and deflated, with the right, a
// wrong and no password; the retry protocol; the AES authentication code.
#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>

#include "archive/UnZip.h"
#include "archive/ZipFormat.h"
#include "PackageTestSupport.h"

namespace {

const std::string kPassword = "PlovoTarnis";
const std::string kWrongPassword = "plovotarnis";

std::string Contents(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

// One extraction (or test pass) with the settings the installer uses, recording the events.
struct TRun {
    TUnZip UnZip;
    std::vector<std::pair<int, std::string>> BadPasswords;
    std::vector<int> Percents;

    TRun(const std::string& archive, const std::string& destDir, const std::string& password) {
        UnZip.SetZipName(archive);
        UnZip.SetDestDir(destDir);
        UnZip.SetPassword(password);
        UnZip.SetOverwriteMode(TOverwriteMode::Always);
        UnZip.SetDoAll(true);
        UnZip.SetRecreateDirs(true);
        UnZip.SetRetainAttributes(true);
        UnZip.OnUnknownMethod = [] { ADD_FAILURE() << "unknown-method notice"; };
        UnZip.OnTotalPercentDone = [this](TUnZip&, int percent) { Percents.push_back(percent); };
    }
    void RecordBadPasswords() {
        UnZip.OnBadPassword = [this](TUnZip&, int index, std::string& newPassword) {
            BadPasswords.emplace_back(index, newPassword);
        };
    }
};

// ---- The decryption matrix --------------------------------------------------

struct TMatrixArchive {
    const char* File;
    int AesStrength;          // 0: traditional
    bool DataDescriptor;      // flag bit 3 on the encrypted entries (traditional check byte from the time)
    std::uint16_t TextMethod; // the method text.txt is compressed with (actual method for AES)
};

std::ostream& operator<<(std::ostream& out, const TMatrixArchive& archive) {
    return out << archive.File;
}

// Entry names in these archives: Info-ZIP's entry read from standard input is "-".
std::string SourceOf(const std::string& entryName) {
    return PackageFixture(entryName == "random.bin" ? "random.bin" : "text.txt");
}

class EncryptedMatrix : public ::testing::TestWithParam<TMatrixArchive> {
protected:
    std::string Archive() const { return PackageFixture(GetParam().File); }
};

TEST_P(EncryptedMatrix, EntriesAreOfTheExpectedScheme) {
    TUnZip unzip;
    unzip.SetZipName(Archive());
    unzip.LoadDirectory();
    ASSERT_EQ(unzip.Count(), 2);
    bool sawText = false;
    for (const TZipHeaderInfo& entry : unzip.Entries()) {
        EXPECT_TRUE(entry.IsEncrypted()) << entry.FileName;
        EXPECT_EQ(entry.EncryptionStrength, GetParam().AesStrength) << entry.FileName;
        EXPECT_EQ((entry.Flags & ZipFormat::kFlagDataDescriptor) != 0, GetParam().DataDescriptor) << entry.FileName;
        if (entry.FileName != "random.bin") {
            sawText = true;
            EXPECT_EQ(entry.CompressionMethod, GetParam().TextMethod);
        }
    }
    EXPECT_TRUE(sawText);
}

TEST_P(EncryptedMatrix, RightPasswordExtractsByteForByte) {
    TScratchDir dest;
    TRun run(Archive(), dest.Path(), kPassword);
    run.RecordBadPasswords();
    EXPECT_EQ(run.UnZip.ExtractArchive(), 2);
    EXPECT_TRUE(run.UnZip.LastRun().AllCompleted());
    EXPECT_TRUE(run.BadPasswords.empty());
    for (const TZipHeaderInfo& entry : run.UnZip.Entries())
        EXPECT_EQ(Contents(dest / entry.FileName), Contents(SourceOf(entry.FileName))) << entry.FileName;
    EXPECT_EQ(CountTreeItems(dest.Path()), 2);
    ASSERT_FALSE(run.Percents.empty());
    EXPECT_EQ(run.Percents.back(), 100);
}

TEST_P(EncryptedMatrix, RightPasswordPassesTheTest) {
    TRun run(Archive(), "", kPassword);
    run.RecordBadPasswords();
    EXPECT_TRUE(run.UnZip.TestArchive());
    EXPECT_TRUE(run.BadPasswords.empty());
}

TEST_P(EncryptedMatrix, WrongPasswordReportsAndGivesUpEveryEntry) {
    TScratchDir dest;
    TRun run(Archive(), dest.Path(), kWrongPassword);
    run.RecordBadPasswords();
    EXPECT_EQ(run.UnZip.ExtractArchive(), 0);
    EXPECT_EQ(run.BadPasswords, (std::vector<std::pair<int, std::string>>{{0, kWrongPassword}, {1, kWrongPassword}}));
    EXPECT_EQ(run.UnZip.LastRun().GivenUp, 2);
    EXPECT_EQ(CountTreeItems(dest.Path()), 0);
    EXPECT_TRUE(run.Percents.empty());
    EXPECT_EQ(run.UnZip.Password(), kWrongPassword);
}

TEST_P(EncryptedMatrix, NoPasswordGivesEveryEntryUpWithoutAHandler) {
    TScratchDir dest;
    {
        TRun test(Archive(), "", "");
        EXPECT_FALSE(test.UnZip.TestArchive());
        EXPECT_EQ(test.UnZip.LastRun().GivenUp, 2);
        EXPECT_TRUE(test.Percents.empty());
    }
    TRun run(Archive(), dest.Path(), "");
    EXPECT_EQ(run.UnZip.ExtractArchive(), 0);
    EXPECT_EQ(run.UnZip.LastRun().GivenUp, 2);
    EXPECT_EQ(CountTreeItems(dest.Path()), 0);
}

TEST_P(EncryptedMatrix, NoPasswordIsReportedOncePerEntryToAHandler) {
    TRun run(Archive(), "", "");
    run.RecordBadPasswords();
    EXPECT_FALSE(run.UnZip.TestArchive());
    EXPECT_EQ(run.BadPasswords, (std::vector<std::pair<int, std::string>>{{0, ""}, {1, ""}}));
}

const TMatrixArchive kMatrix[] = {
    {"trad7z-stored.zip", 0, false, ZipFormat::kMethodStored},
    {"trad7z-deflated.zip", 0, false, ZipFormat::kMethodDeflated},
    {"tradzip-stored.zip", 0, true, ZipFormat::kMethodStored},
    {"tradzip-deflated.zip", 0, true, ZipFormat::kMethodDeflated},
    {"aes128-stored.zip", 1, false, ZipFormat::kMethodStored},
    {"aes128-deflated.zip", 1, false, ZipFormat::kMethodDeflated},
    {"aes192-stored.zip", 2, false, ZipFormat::kMethodStored},
    {"aes192-deflated.zip", 2, false, ZipFormat::kMethodDeflated},
    {"aes256-stored.zip", 3, false, ZipFormat::kMethodStored},
    {"aes256-deflated.zip", 3, false, ZipFormat::kMethodDeflated},
    {"aes256-ae1-stored.zip", 3, true, ZipFormat::kMethodStored},
};
INSTANTIATE_TEST_SUITE_P(Writers, EncryptedMatrix, ::testing::ValuesIn(kMatrix));

// ---- The retry protocol -----------------------------------------------------

TEST(EncryptedRetry, RightPasswordAfterAWrongOneOpensThisAndLaterEntries) {
    for (const char* file : {"tradzip-deflated.zip", "trad7z-stored.zip", "aes256-deflated.zip", "aes128-stored.zip"}) {
        SCOPED_TRACE(file);
        TScratchDir dest;
        TRun run(PackageFixture(file), dest.Path(), kWrongPassword);
        run.UnZip.OnBadPassword = [&](TUnZip&, int index, std::string& newPassword) {
            run.BadPasswords.emplace_back(index, newPassword);
            newPassword = kPassword;
        };
        EXPECT_EQ(run.UnZip.ExtractArchive(), 2);
        EXPECT_EQ(run.BadPasswords, (std::vector<std::pair<int, std::string>>{{0, kWrongPassword}}));
        EXPECT_EQ(run.UnZip.Password(), kPassword);
        for (const TZipHeaderInfo& entry : run.UnZip.Entries())
            EXPECT_EQ(Contents(dest / entry.FileName), Contents(SourceOf(entry.FileName))) << entry.FileName;
    }
}

TEST(EncryptedRetry, EmptyPasswordReplacedByTheHandlerOpensTheEntry) {
    TScratchDir dest;
    TRun run(PackageFixture("tradzip-stored.zip"), dest.Path(), "");
    int calls = 0;
    run.UnZip.OnBadPassword = [&](TUnZip&, int, std::string& newPassword) {
        ++calls;
        newPassword = kPassword;
    };
    EXPECT_EQ(run.UnZip.ExtractArchive(), 2);
    EXPECT_EQ(calls, 1);
    for (const TZipHeaderInfo& entry : run.UnZip.Entries())
        EXPECT_EQ(Contents(dest / entry.FileName), Contents(SourceOf(entry.FileName))) << entry.FileName;
}

// An entry whose stored bytes cannot hold its encryption header fails the
// check without reading on into the bytes of the next entry.
TEST(EncryptedRetry, EntryTooShortForItsHeaderIsGivenUp) {
    for (const char* file : {"trad7z-stored.zip", "aes192-stored.zip"}) {
        SCOPED_TRACE(file);
        TScratchDir scratch;
        std::string bytes = Contents(PackageFixture(file));
        TUnZip probe;
        probe.SetZipName(PackageFixture(file));
        probe.LoadDirectory();
        ASSERT_EQ(probe.Count(), 2);
        // Compressed size field of the first entry's central record: 11 bytes.
        const std::size_t field = static_cast<std::size_t>(probe.Entries()[0].CentralRecordPosition) + 20;
        bytes.replace(field, 4, std::string("\x0B\0\0\0", 4));
        const std::string archive = scratch / "short.zip";
        WriteWholeFile(archive, bytes);

        TRun run(archive, scratch / "out", kPassword);
        run.RecordBadPasswords();
        EXPECT_EQ(run.UnZip.ExtractArchive(), 1);
        EXPECT_EQ(run.UnZip.LastRun().Outcomes[0], TEntryOutcome::GivenUp);
        EXPECT_EQ(run.BadPasswords, (std::vector<std::pair<int, std::string>>{{0, kPassword}}));
        EXPECT_EQ(CountTreeItems(scratch / "out"), 1);
    }
}

// ---- The AES authentication code --------------------------------------------

// Where an AES-256 entry's encrypted data and authentication code lie in the archive bytes.
struct TAesLayout {
    std::size_t DataStart;
    std::size_t DataLength;
    std::size_t CodeStart;
};

TAesLayout LayoutOf(const std::string& archiveBytes, const TZipHeaderInfo& entry) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(archiveBytes.data());
    const std::size_t local = static_cast<std::size_t>(entry.LocalHeaderOffset);
    const std::size_t salt = 16;
    const std::size_t dataStart =
        local + 30 + ZipFormat::Get16(bytes + local + 26) + ZipFormat::Get16(bytes + local + 28) + salt + 2;
    const std::size_t dataLength = static_cast<std::size_t>(entry.CompressedSize) - salt - 2 - 10;
    return {dataStart, dataLength, dataStart + dataLength};
}

enum class TAlteration { None, DataByte, CodeByte };

struct TAuthCase {
    const char* File;
    TAlteration Alteration;
    bool Passes;
};

TEST(EncryptedAuthentication, AlteredBytesFailOnlyWhereACrcIsStored) {
    const TAuthCase cases[] = {
        {"aes256-ae1-stored.zip", TAlteration::None, true},
        {"aes256-ae1-stored.zip", TAlteration::DataByte, false}, // CRC and code both differ
        {"aes256-ae1-stored.zip", TAlteration::CodeByte, false}, // data and CRC intact, code differs
        {"aes256-stored.zip", TAlteration::DataByte, true},      // AE-2: stored CRC 0, nothing is checked
        {"aes256-stored.zip", TAlteration::CodeByte, true},
    };
    for (const TAuthCase& c : cases) {
        SCOPED_TRACE(std::string(c.File) + " alteration " + std::to_string(static_cast<int>(c.Alteration)));
        TScratchDir scratch;
        std::string bytes = Contents(PackageFixture(c.File));
        TUnZip probe;
        probe.SetZipName(PackageFixture(c.File));
        probe.LoadDirectory();
        ASSERT_EQ(probe.Count(), 2);
        const int index = probe.Entries()[0].FileName == "text.txt" ? 0 : 1;
        const TZipHeaderInfo& entry = probe.Entries()[index];
        ASSERT_EQ(entry.Crc32 != 0, std::string(c.File).find("ae1") != std::string::npos);
        const TAesLayout layout = LayoutOf(bytes, entry);
        const std::size_t altered =
            c.Alteration == TAlteration::DataByte ? layout.DataStart + layout.DataLength / 2 : layout.CodeStart + 3;
        if (c.Alteration != TAlteration::None)
            bytes[altered] = static_cast<char>(bytes[altered] ^ 0x20);
        const std::string archive = scratch / "altered.zip";
        WriteWholeFile(archive, bytes);

        TRun run(archive, scratch / "out", kPassword);
        run.RecordBadPasswords();
        run.UnZip.ExtractArchive();
        const std::string output = scratch / "out\\text.txt";
        if (c.Passes) {
            EXPECT_EQ(run.UnZip.LastRun().Outcomes[static_cast<std::size_t>(index)], TEntryOutcome::Completed);
            EXPECT_TRUE(run.BadPasswords.empty());
            const std::string plain = Contents(PackageFixture("text.txt"));
            const std::string extracted = Contents(output);
            ASSERT_EQ(extracted.size(), plain.size());
            std::size_t differing = 0;
            for (std::size_t i = 0; i < plain.size(); ++i)
                differing += plain[i] != extracted[i];
            EXPECT_EQ(differing, c.Alteration == TAlteration::DataByte ? 1u : 0u);
        } else {
            EXPECT_EQ(run.UnZip.LastRun().Outcomes[static_cast<std::size_t>(index)], TEntryOutcome::Failed);
            EXPECT_EQ(run.BadPasswords, (std::vector<std::pair<int, std::string>>{{index, kPassword}}));
            EXPECT_FALSE(PathIsFile(output));
        }
        // The other entry is untouched by the alteration.
        EXPECT_EQ(run.UnZip.LastRun().Outcomes[static_cast<std::size_t>(1 - index)], TEntryOutcome::Completed);
    }
}

// ---- Password length limit of AES entries -----------------------------------

TEST(EncryptedPasswordLimit, AesOpensWith128BytesNotWith129) {
    const std::string password128 = std::string(64, 'P') + std::string(64, 'l');
    struct TCase {
        const char* File;
        std::string Password;
        bool Opens;
    } cases[] = {
        {"aes128-password128.zip", password128, true},
        {"aes128-password129.zip", password128 + "x", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TScratchDir dest;
        TRun run(std::string(TAVRIN_TEST_DATA) + "/crypto/" + c.File, dest.Path(), c.Password);
        run.RecordBadPasswords();
        EXPECT_EQ(run.UnZip.ExtractArchive(), c.Opens ? 1 : 0);
        EXPECT_EQ(run.BadPasswords.size(), c.Opens ? 0u : 1u);
        EXPECT_EQ(CountTreeItems(dest.Path()), c.Opens ? 1 : 0);
    }
}

// ---- Archives from other writers' test suites -------------------------------

TEST(EncryptedPeers, ExtractToTheMembersThePeersAgreeOn) {
    const std::pair<const char*, const char*> cases[] = {
        {"test_read_format_zip_traditional_encryption_data", "12345678"},
        {"test_read_format_zip_winzip_aes256_stored", "password"},
        {"encrypt-aes128", "foofoofoo"},
        {"encrypt-aes192", "foofoofoo"},
        {"encrypt-aes256", "foofoofoo"},
        {"Zip.deflate.pkware", "12345678"},
        {"aes_archive", "helloworld"},
    };
    for (const auto& [name, password] : cases) {
        SCOPED_TRACE(name);
        TScratchDir dest;
        TRun run(PackageFixture(std::string("peers/") + name + ".zip"), dest.Path(), password);
        run.RecordBadPasswords();
        run.UnZip.ExtractArchive();
        EXPECT_TRUE(run.UnZip.LastRun().AllCompleted());
        EXPECT_TRUE(run.BadPasswords.empty());
        const auto expected = ReadTree(PackageFixture(std::string("peers/expected/") + name));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ReadTree(dest.Path()), expected);
    }
}

} // namespace
