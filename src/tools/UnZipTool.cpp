// tavrin-unzip [-p PASSWORD] [-t] ARCHIVE [DESTDIR]
// Extracts (or with -t test-passes) every entry of ARCHIVE into DESTDIR
// (default: the current folder). Exit code 0 when every entry completed, 1 when
// some entry was given up or failed (one line each on stderr), 2 on an archive
// error or wrong usage.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/UnZip.h"
#include "archive/UnZipErrors.h"

namespace {
constexpr int kExitAllCompleted = 0;
constexpr int kExitSomeEntries = 1;
constexpr int kExitArchiveError = 2;

int Usage() {
    std::fputs("usage: tavrin-unzip [-p PASSWORD] [-t] ARCHIVE [DESTDIR]\n", stderr);
    return kExitArchiveError;
}

std::string DisplayName(const TZipHeaderInfo& entry) {
    std::string name = entry.StoredPath();
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

const char* OutcomeText(TEntryOutcome outcome) {
    switch (outcome) {
    case TEntryOutcome::Failed:
        return "failed its check";
    case TEntryOutcome::GivenUp:
        return "given up";
    case TEntryOutcome::NotReached:
        return "not reached";
    default:
        return "completed";
    }
}
} // namespace

int main(int argc, char** argv) {
    std::string password;
    bool testOnly = false;
    std::string archive;
    std::string destDir = ".";
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-p") == 0 && i + 1 < argc) {
            password = argv[++i];
        } else if (std::strcmp(argv[i], "-t") == 0) {
            testOnly = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return Usage();
        } else if (positional == 0) {
            archive = argv[i];
            ++positional;
        } else if (positional == 1) {
            destDir = argv[i];
            ++positional;
        } else {
            return Usage();
        }
    }
    if (archive.empty())
        return Usage();

    TUnZip unzip;
    unzip.SetZipName(archive);
    unzip.SetPassword(password);
    unzip.SetOverwriteMode(TOverwriteMode::Always);
    unzip.SetDoAll(true);
    unzip.SetRecreateDirs(true);
    unzip.SetRetainAttributes(true);
    unzip.SetDestDir(destDir);
    unzip.OnUnknownMethod = [] { std::fputs("tavrin-unzip: unknown compression method\n", stderr); };
    try {
        if (testOnly)
            unzip.TestArchive();
        else
            unzip.ExtractArchive();
    } catch (const Exception& e) {
        std::fprintf(stderr, "tavrin-unzip: %s: %s\n", archive.c_str(), e.Message().c_str());
        return kExitArchiveError;
    }

    const TRunSummary& run = unzip.LastRun();
    for (int i = 0; i < unzip.Count(); ++i) {
        const TEntryOutcome outcome = run.Outcomes[static_cast<std::size_t>(i)];
        if (outcome != TEntryOutcome::Completed)
            std::fprintf(stderr, "%s: %s\n", DisplayName(unzip.Entries()[i]).c_str(), OutcomeText(outcome));
    }
    return run.Completed == unzip.Count() ? kExitAllCompleted : kExitSomeEntries;
}
