// Entry processing: the extraction run, the test pass, the password check and
// the input and output blocks the decoders work through.
#include <algorithm>
#include <cmath>
#include <zlib.h>

#include "ArchiveStream.h"
#include "EntryCipherFactory.h"
#include "EntryPath.h"
#include "PlatformFile.h"
#include "UnZip.h"
#include "UnZipErrors.h"
#include "ZipFormat.h"

namespace {
std::int64_t ToPosition(std::uint64_t value) {
    return value > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(value);
}

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

// Restores a value when the scope ends, also when an exception passes.
template <typename T> class TRestore {
public:
    explicit TRestore(T& target) : FTarget(target), FSaved(target) {}
    ~TRestore() { FTarget = FSaved; }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FTarget;
    T FSaved;
};

std::string WithoutTrailingBackslash(std::string folder) {
    if (folder.size() > 1 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}
} // namespace

int TUnZip::ExtractArchive() {
    TRestore<bool> busy(FBusy);
    FBusy = true;
    FCancel = false;
    struct TClearCancel {
        bool& Flag;
        ~TClearCancel() { Flag = false; }
    } clearCancel{FCancel};

    if (FDestDir == "?")
        return 0;
    LoadWithIncompleteWrapper();
    OpenAndLoad();
    const int completed = ProcessEntries();
    if (!FExternalStream && !FKeepZipOpen)
        CloseArchive();
    return completed;
}

bool TUnZip::TestArchive() {
    TRestore<bool> doAll(FDoAll);
    TRestore<bool> testMode(FTestMode);
    TRestore<bool> recreateDirs(FRecreateDirs);
    TRestore<std::string> destDir(FDestDir);
    FDoAll = true;
    FTestMode = true;
    FRecreateDirs = true;
    FDestDir.clear();

    OpenAndLoad();
    const int completed = ProcessEntries();
    if (!FExternalStream && !FKeepZipOpen)
        CloseArchive();
    return completed > 0 && completed >= Count();
}

int TUnZip::ProcessEntries() {
    TRestore<bool> keepOpen(FKeepZipOpen);
    FKeepZipOpen = true;
    struct TBuffers {
        TUnZip& Owner;
        ~TBuffers() {
            Owner.FInput = {};
            Owner.FOutput = {};
        }
    } buffers{*this};
    FInput.assign(IEntryIo::kBlockSize + 1, 0);
    FOutput.assign(IEntryIo::kBlockSize + 1, 0);

    FLastRun = TRunSummary();
    FLastRun.Outcomes.assign(static_cast<std::size_t>(Count()), TEntryOutcome::NotReached);
    struct TTally {
        TRunSummary& Run;
        ~TTally() {
            Run.Completed =
                static_cast<int>(std::count(Run.Outcomes.begin(), Run.Outcomes.end(), TEntryOutcome::Completed));
            Run.Failed = static_cast<int>(std::count(Run.Outcomes.begin(), Run.Outcomes.end(), TEntryOutcome::Failed));
            Run.GivenUp =
                static_cast<int>(std::count(Run.Outcomes.begin(), Run.Outcomes.end(), TEntryOutcome::GivenUp));
        }
    } tally{FLastRun};

    if (!FDestDir.empty() && !PlatformFs::DirectoryExists(FDestDir))
        PlatformFs::ForceDirectories(FDestDir);

    FTotalBytes = 0;
    FBytesDone = 0;
    FCompleted = 0;
    int selected = 0;
    for (const TZipHeaderInfo& entry : FEntries) {
        ServeMessages();
        if (!entry.FileName.empty() || FRecreateDirs) {
            ++selected;
            FTotalBytes = SaturatingAdd(FTotalBytes, entry.UncompressedSize);
        }
    }
    if (selected > 0) {
        for (int i = 0; i < Count(); ++i) {
            do {
                ExtractEntry(i);
            } while (FRetry);
        }
    }
    return FCompleted;
}

void TUnZip::SetOutcome(int index, TEntryOutcome outcome) {
    FLastRun.Outcomes[static_cast<std::size_t>(index)] = outcome;
}

void TUnZip::SkipEntry(const TZipHeaderInfo& entry) {
    FTotalBytes -= std::min(FTotalBytes, entry.UncompressedSize);
}

void TUnZip::ExtractEntry(int index) {
    FRetry = false;
    TZipHeaderInfo entry = FEntries[index];
    TStream& archive = Archive();

    std::uint64_t dataStart = 0;
    if (!entry.IsFolder()) {
        // Only the name and extra lengths of the local header are used.
        std::uint8_t local[ZipFormat::kLocalHeaderSize];
        archive.Seek(ToPosition(entry.LocalHeaderOffset), TSeekOrigin::Begin);
        if (archive.Read(local, sizeof local) < sizeof local)
            throw EFatalUnzipError();
        dataStart = SaturatingAdd(entry.LocalHeaderOffset, ZipFormat::kLocalHeaderSize + ZipFormat::Get16(local + 26) +
                                                               ZipFormat::Get16(local + 28));
    }

    const std::string folder = EntryOutputFolder(FDestDir, entry.FolderPart, FRecreateDirs);
    const std::string path = folder + entry.FileName;

    // A stored path that would reach outside the destination is never written.
    if (IsUnsafeEntryPath(entry.FolderPart, entry.FileName)) {
        SkipEntry(entry);
        SetOutcome(index, TEntryOutcome::GivenUp);
        return;
    }

    if (entry.IsFolder()) {
        if (!FTestMode && FRecreateDirs) {
            const std::string dir = WithoutTrailingBackslash(folder);
            if (!PlatformFs::DirectoryExists(dir) && !PlatformFs::ForceDirectories(dir)) {
                SetOutcome(index, TEntryOutcome::GivenUp);
                return;
            }
            if (FRetainAttributes)
                PlatformFs::SetAttributes(dir, entry.ExternalAttributes);
        }
        ++FCompleted;
        SetOutcome(index, TEntryOutcome::Completed);
        return;
    }

    if (!FTestMode) {
        const std::string parent = WithoutTrailingBackslash(folder);
        if (!parent.empty() && !PlatformFs::DirectoryExists(parent))
            PlatformFs::ForceDirectories(parent);
    }

    FCipher.reset();
    if (entry.IsEncrypted()) {
        archive.Seek(ToPosition(dataStart), TSeekOrigin::Begin);
        if (!PasswordCheck(index, entry)) {
            SkipEntry(entry);
            SetOutcome(index, TEntryOutcome::GivenUp);
            return;
        }
    }
    FRemaining = entry.CompressedSize;
    FUnwritten = entry.UncompressedSize;

    if (!FTestMode && !OpenOutput(path, entry.UncompressedSize)) {
        FCipher.reset();
        SkipEntry(entry);
        SetOutcome(index, TEntryOutcome::GivenUp);
        return;
    }

    FCrc = 0; // zlib's CRC-32 keeps the preset and the final inversion inside
    FEntry = &entry;
    bool decoded = false;
    try {
        const std::uint64_t header = entry.IsEncrypted() ? EncryptionHeaderLength(entry) : 0;
        archive.Seek(ToPosition(SaturatingAdd(dataStart, header)), TSeekOrigin::Begin);
        if (auto decoder = MakeEntryDecoder(entry)) {
            decoder->Decode(*this);
        } else if (!FTestMode && OnUnknownMethod) {
            OnUnknownMethod();
        }
        if (FOutFile && !FOutFile->Flush())
            throw ECantWriteUCF();
        decoded = true;
    } catch (const EBiggerThanUncompressed&) {
        decoded = false;
    } catch (...) {
        // The run stops here; a partly written output is not left behind.
        FEntry = nullptr;
        FCipher.reset();
        if (FOutFile) {
            FOutFile.reset();
            PlatformFs::DeleteFileAt(path);
        }
        SetOutcome(index, TEntryOutcome::Failed);
        throw;
    }
    FEntry = nullptr;
    // The authentication code of an AES entry follows its data.
    bool authenticated = !entry.IsAes();
    if (entry.IsAes() && FCipher) {
        std::uint8_t code[kAesAuthenticationLength];
        const std::uint64_t codeAt =
            SaturatingAdd(SaturatingAdd(dataStart, EncryptionHeaderLength(entry)), entry.CompressedSize);
        archive.Seek(ToPosition(codeAt), TSeekOrigin::Begin);
        authenticated = archive.Read(code, sizeof code) == sizeof code && AuthenticateEntry(*FCipher, code);
    }
    FCipher.reset();
    if (FOutFile)
        FOutFile->Close();

    // The CRC is checked before the stored time and attributes are applied, so
    // that a read-only attribute never keeps a damaged output from being deleted.
    const bool passed = decoded && (entry.Crc32 == 0 || (FCrc == entry.Crc32 && authenticated));
    if (passed) {
        FinishOutput(entry, path, decoded);
        ++FCompleted;
        SetOutcome(index, TEntryOutcome::Completed);
        FOutFile.reset();
        return;
    }
    FOutFile.reset();
    if (!FTestMode)
        PlatformFs::DeleteFileAt(path);
    SetOutcome(index, TEntryOutcome::Failed);
    if (entry.IsEncrypted()) {
        if (OnBadPassword) {
            std::string newPassword = FPassword;
            OnBadPassword(*this, index, newPassword);
            if (newPassword != FPassword) {
                FPassword = newPassword;
                FRetry = true;
            }
        }
    } else if (OnBadCRC) {
        OnBadCRC(*this, FCrc, entry.Crc32, index);
    }
}

bool TUnZip::OpenOutput(const std::string& path, std::uint64_t declaredSize) {
    FOutFile = TBufferedFileStream::Create(path);
    if (!FOutFile && FReplaceReadOnly && PlatformFs::ClearReadOnly(path))
        FOutFile = TBufferedFileStream::Create(path);
    if (!FOutFile)
        return false;
    // Sized up front: a size beyond the free disk gives the entry up here.
    if (declaredSize > static_cast<std::uint64_t>(INT64_MAX) ||
        !FOutFile->SetSize(static_cast<std::int64_t>(declaredSize))) {
        FOutFile.reset();
        PlatformFs::DeleteFileAt(path);
        return false;
    }
    FOutFile->Seek(0, TSeekOrigin::Begin);
    return true;
}

void TUnZip::FinishOutput(const TZipHeaderInfo& entry, const std::string& path, bool decoded) {
    if (FTestMode || !decoded)
        return;
    PlatformFs::SetDosDateTime(path, entry.DateTime);
    if (FRetainAttributes)
        PlatformFs::SetAttributes(path, entry.ExternalAttributes);
}

bool TUnZip::PasswordCheck(int index, TZipHeaderInfo& entry) {
    TStream& archive = Archive();
    const std::size_t headerLength = EncryptionHeaderLength(entry);
    // An AES entry's authentication code after the data is not data either.
    const std::size_t overhead = headerLength + (entry.IsAes() ? kAesAuthenticationLength : 0);
    const std::int64_t firstHeader = archive.Position();
    const std::uint64_t storedSize = entry.CompressedSize;
    std::string candidate = FPassword;
    // An empty password never opens an entry: a header it passes is followed
    // by the next bytes taken as a header, until one fails.
    while (candidate == FPassword) {
        FCipher.reset();
        // A header the entry's remaining stored bytes cannot hold fails without
        // reading: the check never reads into the next entry.
        if (entry.CompressedSize >= overhead) {
            std::vector<std::uint8_t> header(headerLength);
            if (archive.Read(header.data(), header.size()) < header.size())
                throw EFatalUnzipError();
            FCipher = OpenEntryCipher(entry, FPassword, header);
        }
        if (FCipher) {
            entry.CompressedSize -= overhead;
            candidate.clear();
            continue;
        }
        candidate = FPassword;
        if (!OnBadPassword)
            return false;
        OnBadPassword(*this, index, candidate);
        if (candidate == FPassword)
            return false;
        FPassword = candidate;
        // The new password is checked against the entry's own header again.
        archive.Seek(firstHeader, TSeekOrigin::Begin);
        entry.CompressedSize = storedSize;
    }
    return true;
}

std::span<const std::uint8_t> TUnZip::RefillInput() {
    if (FRemaining == 0)
        return {};
    ServeMessages();
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, FRemaining));
    FRemaining -= count;
    if (Archive().Read(FInput.data(), count) < count)
        throw EFatalUnzipError();
    if (FCipher)
        FCipher->Decrypt(FInput.data(), count);
    return {FInput.data(), count};
}

std::size_t TUnZip::ReadStoredBlock() {
    if (FRemaining == 0)
        return 0;
    ServeMessages();
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, FRemaining));
    FRemaining -= count;
    if (Archive().Read(FOutput.data(), count) < count)
        throw EFatalUnzipError();
    return count;
}

std::uint8_t* TUnZip::OutputBlock() {
    return FOutput.data();
}

void TUnZip::FlushOutput(std::size_t count) {
    std::uint8_t* block = FOutput.data();
    // Stored entries are decrypted here, after reading, rather than in RefillInput.
    if (FCipher && FEntry && FEntry->CompressionMethod == ZipFormat::kMethodStored && !FPassword.empty())
        FCipher->Decrypt(block, count);
    if (count > FUnwritten)
        throw EBiggerThanUncompressed();
    if (!FTestMode && FOutFile->Write(block, count) < count)
        throw ECantWriteUCF();
    FUnwritten -= count;
    FCrc = static_cast<std::uint32_t>(crc32(FCrc, block, static_cast<uInt>(count)));
    ReportProgress(count);
}

void TUnZip::ReportProgress(std::size_t count) {
    if (!OnTotalPercentDone)
        return;
    FBytesDone += count;
    int percent = 0;
    if (FTotalBytes > 0) {
        // Rounded to the nearest integer, ties to even (the default rounding mode).
        const long double exact = static_cast<long double>(FBytesDone) * 100.0L / static_cast<long double>(FTotalBytes);
        percent = static_cast<int>(std::min(100.0L, std::nearbyintl(exact)));
    }
    OnTotalPercentDone(*this, percent);
}
