// The pieces of the ZIP component that need no archive: output placement,
// refused paths and the entry list.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/ArchiveStream.h"
#include "archive/EntryPath.h"
#include "archive/UnZipErrors.h"
#include "archive/ZipHeaderInfo.h"
#include "ArchiveTestSupport.h"

namespace {

TEST(EntryOutputFolder, PlacesEveryFolderPartUnderDestDir) {
    struct TCase {
        const char* DestDir;
        const char* FolderPart;
        bool RecreateDirs;
        const char* Expected;
    };
    const TCase cases[] = {
        {"D", "", true, "D\\"},           {"D", "a\\b\\", true, "D\\a\\b\\"},
        {"D", "a\\b\\", false, "D\\"},    {"D", "\\a\\b\\", true, "D\\a\\b\\"},
        {"D", "C:\\a\\", true, "D\\a\\"}, {"D", "C:a\\", true, "D\\a\\"}, // drive-relative: still one separator
        {"", "a\\", true, "\\a\\"},       {"", "\\a\\", true, "\\a\\"},
        {"", "C:\\a\\", true, "C:\\a\\"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(EntryOutputFolder(c.DestDir, c.FolderPart, c.RecreateDirs), c.Expected)
            << c.DestDir << " + " << c.FolderPart;
}

TEST(IsUnsafeEntryPath, RefusesParentReferencesStreamsAndNul) {
    struct TCase {
        std::string FolderPart;
        std::string FileName;
        bool Unsafe;
    };
    const TCase cases[] = {
        {"", "a.txt", false},
        {"a\\b\\", "c.txt", false},
        {"C:\\a\\", "b.txt", false},
        {"\\a\\", "b.txt", false},
        {"a\\", "..txt", false},
        {"a\\...b\\", "c", false},
        {"..\\", "a.txt", true},
        {"a\\..\\..\\", "b.txt", true},
        {"a\\", "..", true},
        {"a\\. .\\", "b", true}, // read as ".." once trailing dots and spaces go
        {"a\\...\\", "b", true},
        {"", "a.txt:stream", true},
        {"", "C:a.txt", true},
        {"C:\\a:b\\", "c", true},
        {"a\\", std::string("b\0c", 3), true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsUnsafeEntryPath(c.FolderPart, c.FileName), c.Unsafe) << c.FolderPart << c.FileName;
}

TEST(IsUnsafeEntryPath, TrailBackslashesOfDoubleByteNamesAreNotSeparators) {
#ifdef _WIN32
    // "\x95\x5C" is one GBK character whose second byte is a backslash.
    EXPECT_FALSE(IsUnsafeEntryPath("\x95\\..\\", "a"));
#endif
    EXPECT_TRUE(IsUnsafeEntryPath("x\\..\\", "a"));
}

TEST(TSortedZip, KeepsOffsetOrderAndRefusesDuplicates) {
    TSortedZip list;
    for (std::uint64_t offset : {300u, 100u, 200u}) {
        TZipHeaderInfo e;
        e.LocalHeaderOffset = offset;
        e.FileName = std::to_string(offset);
        list.Add(e);
    }
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].FileName, "100");
    EXPECT_EQ(list[2].FileName, "300");
    TZipHeaderInfo duplicate;
    duplicate.LocalHeaderOffset = 200;
    try {
        list.Add(duplicate);
        ADD_FAILURE() << "no exception";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "Duplicate Object index");
    }
    duplicate.DiskNumberStart = 1; // another disk: a different key
    list.Add(duplicate);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_NE(list.Find(1, 200), nullptr);
    EXPECT_EQ(list.Find(0, 250), nullptr);
}

// Reads that bypass the buffer, then seeks back near the position: every byte
// must come from the file, never from a stale buffer.
TEST(TBufferedFileStream, SeeksAfterLargeReadsReturnTheRightBytes) {
    TScratchDir scratch;
    std::string data(100000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    const std::string path = scratch / "data.bin";
    WriteWholeFile(path, data);
    auto stream = TBufferedFileStream::OpenRead(path);
    struct TStep {
        std::int64_t At;
        std::size_t Count;
    };
    const TStep steps[] = {{0, 100},       {100, 40000}, {39000, 50}, {40100, 20},
                           {90000, 32768}, {95000, 16},  {3, 8192},   {8000, 400}};
    for (const TStep& step : steps) {
        ASSERT_EQ(stream->Seek(step.At, TSeekOrigin::Begin), step.At);
        std::string got(step.Count, '\0');
        const std::size_t n = stream->Read(got.data(), got.size());
        const std::size_t expected = std::min<std::size_t>(step.Count, data.size() - static_cast<std::size_t>(step.At));
        ASSERT_EQ(n, expected) << step.At;
        EXPECT_EQ(got.substr(0, n), data.substr(static_cast<std::size_t>(step.At), n)) << step.At;
        EXPECT_EQ(stream->Position(), step.At + static_cast<std::int64_t>(n));
    }
}

// The messages are shown to users and matched by callers: each exactly as fixed.
TEST(UnZipErrors, EveryClassCarriesItsFixedMessage) {
    struct TCase {
        std::string Message;
        std::string Expected;
        bool IsComponentError;
    };
    auto check = [](const Exception& e) { return dynamic_cast<const EUnZipException*>(&e) != nullptr; };
    const TCase cases[] = {
        {EIncompleteZip().Message(), "Incomplete Zip File", check(EIncompleteZip())},
        {ENotAZipFile().Message(), "Not a valid zip file!", check(ENotAZipFile())},
        {EBadZipFile().Message(), "Not a valid zip file!", check(EBadZipFile())},
        {EUserCanceled().Message(), "User Aborted Operation", check(EUserCanceled())},
        {EFatalUnzipError().Message(), "Premature end of file reached", check(EFatalUnzipError())},
        {EZCompressionError().Message(), "error", check(EZCompressionError())},
        {EBiggerThanUncompressed().Message(), "File is larger than uncompressed size!",
         check(EBiggerThanUncompressed())},
        {ECantWriteUCF().Message(), "Cant write uncompressed file", check(ECantWriteUCF())},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Message, c.Expected);
        EXPECT_TRUE(c.IsComponentError) << c.Expected;
    }
    EXPECT_EQ(EFOpenError("C:\\x.zip").Message(), "Cannot open file C:\\x.zip");
}

} // namespace
