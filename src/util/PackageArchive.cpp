// Judging and extracting the installation package with the ZIP component.
#include "CommonUntil.h"

#include "archive/ArchiveStream.h"
#include "archive/PlatformFile.h"

#ifndef TAVRIN_PACKAGE_PASSWORD
#error "TAVRIN_PACKAGE_PASSWORD must be defined by the build"
#endif

const char* const kPackagePassword = TAVRIN_PACKAGE_PASSWORD;

bool CheckZipFile(const std::string& zipFile) {
    // A genuine package has encrypted entries, so a test without a password
    // fails; an archive whose every entry opens without one is refused.
    TUnZip unzip;
    const auto stream = TBufferedFileStream::OpenRead(zipFile);
    unzip.SetArchiveStream(stream.get());
    const bool passed = unzip.TestArchive();
    unzip.SetArchiveStream(nullptr);
    return !passed;
}

bool UnZipFile(const std::string& zipFile, const std::string& destDir, const TBadPassword& onBadPassword,
               const TTotalPercentDone& onPercentDone) {
    if (!PlatformFs::FileExists(zipFile))
        return false;
    // Errors of the check (no archive, unreadable directory) go to the caller.
    if (!CheckZipFile(zipFile))
        return false;

    TUnZip unzip;
    try {
        unzip.SetOverwriteMode(TOverwriteMode::Always);
        unzip.SetDoAll(true);
        unzip.SetDestDir(destDir);
        unzip.SetPassword(kPackagePassword);
        unzip.OnBadPassword = onBadPassword;
        unzip.OnTotalPercentDone = onPercentDone;
        unzip.SetZipName(zipFile);
        unzip.SetRecreateDirs(true);
        unzip.SetRetainAttributes(true);
        unzip.ExtractArchive();
    } catch (const std::exception&) {
        // An error of the extraction itself stops it; the answer says so.
        return false;
    }
    return unzip.LastRun().AllCompleted();
}
