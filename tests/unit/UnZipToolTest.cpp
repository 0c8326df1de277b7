// The command-line front end: exit codes, one stderr line per entry that did
// not complete, and the extracted files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

#include "ArchiveTestSupport.h"

namespace {

struct TToolResult {
    int ExitCode;
    std::string Errors;
};

TToolResult RunTool(const std::string& arguments, const TScratchDir& scratch) {
    const std::string errors = scratch / "stderr.txt";
    const std::string command = std::string(TAVRIN_UNZIP_TOOL) + " " + arguments + " 2>" + errors;
    const int status = std::system(command.c_str());
    TToolResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}};
    ReadWholeFile(errors, result.Errors);
    return result;
}

TEST(UnZipTool, ExitCodesAndReports) {
    struct TCase {
        std::string Arguments; // DEST stands for the output folder
        int ExitCode;
        std::string Errors;
    };
    const TCase cases[] = {
        {ArchiveFixture("tree.zip") + " DEST", 0, ""},
        {"-t " + ArchiveFixture("tree.zip"), 0, ""},
        {ArchiveFixture("paths.zip") + " DEST", 1,
         "../escape.txt: given up\ndir/../../escape2.txt: given up\nstream.txt:hidden: given up\n"},
        {"-p PlovoTarnis " + ArchiveFixture("encrypted.zip") + " DEST", 0, ""},
        {"-p NotThePassword " + ArchiveFixture("encrypted.zip") + " DEST", 1, "secret.txt: given up\n"},
        {"-t " + ArchiveFixture("bigger.zip"), 1,
         "long-stored.txt: failed its check\nlong-deflated.txt: failed its check\n"},
        {ArchiveFixture("premature.zip") + " DEST", 2,
         "tavrin-unzip: " + ArchiveFixture("premature.zip") + ": Premature end of file reached\n"},
        {ArchiveFixture("no-such.zip"), 2,
         "tavrin-unzip: " + ArchiveFixture("no-such.zip") + ": Cannot open file " + ArchiveFixture("no-such.zip") +
             "\n"},
        {"", 2, "usage: tavrin-unzip [-p PASSWORD] [-t] ARCHIVE [DESTDIR]\n"},
    };
    for (const TCase& c : cases) {
        TScratchDir scratch;
        std::string arguments = c.Arguments;
        if (const auto at = arguments.find("DEST"); at != std::string::npos)
            arguments.replace(at, 4, scratch / "out");
        const TToolResult result = RunTool(arguments, scratch);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << c.Arguments;
        EXPECT_EQ(result.Errors, c.Errors) << c.Arguments;
    }
}

TEST(UnZipTool, ExtractsTheTree) {
    TScratchDir scratch;
    ASSERT_EQ(RunTool(ArchiveFixture("tree.zip") + " " + (scratch / "out"), scratch).ExitCode, 0);
    std::string extracted, source;
    ASSERT_TRUE(ReadWholeFile(scratch / "out/nested/blob.bin", extracted));
    ASSERT_TRUE(ReadWholeFile(ArchiveFixture("tree/nested/blob.bin"), source));
    EXPECT_EQ(extracted, source);
    EXPECT_TRUE(PathIsFolder(scratch / "out/empty"));
    // The test pass writes nothing.
    TScratchDir other;
    ASSERT_EQ(RunTool("-t " + ArchiveFixture("tree.zip") + " " + (other / "out"), other).ExitCode, 0);
    EXPECT_FALSE(PathIsFolder(other / "out"));
}

} // namespace
