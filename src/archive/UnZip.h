#pragma once
// TUnZip: the ZIP archive component. It loads an archive's directory (from a
// file named by ZipName or from a stream handed over with SetArchiveStream)
// and tests or extracts its entries.
//
// Call order: set the properties and events, then call TestArchive or
// ExtractArchive; each loads the directory when needed (an unchanged file is
// not read again). LastRun() tells afterwards how every entry ended.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "EntryCipher.h"
#include "EntryDecoder.h"
#include "ZipHeaderInfo.h"

class TStream;
class TBufferedFileStream;

enum class TOverwriteMode { Prompt = 0, Always = 1, Never = 2, ifNewer = 3, ifOlder = 4 };
enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad, izAssumeNotAZip };
enum class TOEMConvert { oemNever, oemAlways, oemFlexible };

class TUnZip;
using TTotalPercentDone = std::function<void(TUnZip& sender, int percent)>;
using TBadPassword = std::function<void(TUnZip& sender, int fileIndex, std::string& newPassword)>;
using TBadCRC = std::function<void(TUnZip& sender, std::uint32_t calcCrc, std::uint32_t storedCrc, int fileIndex)>;
using TIncompleteZip = std::function<void(TUnZip& sender, TIncompleteZipMode& incompleteMode)>;
using TNotice = std::function<void()>;

// How one entry ended in the last run.
enum class TEntryOutcome {
    NotReached, // the run stopped before it (or it was not selected)
    Completed,  // decoded and checked (folder entries: created)
    Failed,     // decoded, but its check failed; its output was deleted
    GivenUp,    // skipped before decoding: password, unsafe path, output not creatable
};

struct TRunSummary {
    int Completed = 0;
    int Failed = 0;
    int GivenUp = 0;
    std::vector<TEntryOutcome> Outcomes; // one per entry, in entry-list order
    // True when there was at least one entry and every entry completed.
    bool AllCompleted() const { return !Outcomes.empty() && Completed == static_cast<int>(Outcomes.size()); }
};

class TUnZip : private IEntryIo {
public:
    TUnZip();
    ~TUnZip() override;
    TUnZip(const TUnZip&) = delete;
    TUnZip& operator=(const TUnZip&) = delete;

    // Archive source.
    const std::string& ZipName() const { return FZipName; }
    void SetZipName(const std::string& name);
    void SetArchiveStream(TStream* stream);

    // Settings.
    const std::string& DestDir() const { return FDestDir; }
    void SetDestDir(const std::string& dir);
    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& password) { FPassword = password; }
    TOverwriteMode OverwriteMode() const { return FOverwriteMode; }
    void SetOverwriteMode(TOverwriteMode mode) { FOverwriteMode = mode; }
    bool DoAll() const { return FDoAll; }
    void SetDoAll(bool value) { FDoAll = value; }
    bool RecreateDirs() const { return FRecreateDirs; }
    void SetRecreateDirs(bool value) { FRecreateDirs = value; }
    bool RetainAttributes() const { return FRetainAttributes; }
    void SetRetainAttributes(bool value) { FRetainAttributes = value; }
    TIncompleteZipMode IncompleteZipMode() const { return FIncompleteZipMode; }
    void SetIncompleteZipMode(TIncompleteZipMode mode) { FIncompleteZipMode = mode; }
    bool DoProcessMessages() const { return FDoProcessMessages; }
    void SetDoProcessMessages(bool value) { FDoProcessMessages = value; }
    bool ReplaceReadOnly() const { return FReplaceReadOnly; }
    void SetReplaceReadOnly(bool value) { FReplaceReadOnly = value; }
    bool KeepZipOpen() const { return FKeepZipOpen; }
    void SetKeepZipOpen(bool value) { FKeepZipOpen = value; }
    TOEMConvert OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(TOEMConvert value) { FOEMConvert = value; }

    // Events; an unset event is not called.
    TTotalPercentDone OnTotalPercentDone;
    TBadPassword OnBadPassword;
    TBadCRC OnBadCRC;
    TIncompleteZip OnInCompleteZip;
    // Shown (outside the test pass) for an entry whose method has no decoder;
    // the platform's modal message box by default.
    TNotice OnUnknownMethod;

    // Operations.
    // Extracts every entry into DestDir; answers the number of entries completed.
    int ExtractArchive();
    // Decodes every entry without writing; true when there is at least one entry
    // and every entry completed.
    bool TestArchive();
    // Loads the archive's directory when needed (an unchanged file is not read
    // again); a file opened by name is closed afterwards unless KeepZipOpen.
    void LoadDirectory();

    // The directory.
    int Count() const { return FEntries.Count(); }
    const TSortedZip& Entries() const { return FEntries; }
    const TEndCentral& EndCentral() const { return FEndCentral; }
    bool IsLoaded() const { return FLoaded; }
    const TRunSummary& LastRun() const { return FLastRun; }

private:
    // Archive access (UnZip.cpp).
    void OpenArchive();
    void OpenAndLoad(); // leaves the archive open
    void CloseArchive();
    void DropDirectory();
    TStream& Archive();
    void ServeMessages();

    // Directory reading (UnZipDirectory.cpp).
    void ReadDirectory();
    void LoadWithIncompleteWrapper();
    bool FindEndRecord(TStream& stream, TEndCentral& end);
    bool ReadCentralRecord(TStream& stream, TZipHeaderInfo& entry);
    bool ReadLocalHeader(TStream& stream, TZipHeaderInfo& entry);
    bool RebuildFromLocalHeaders();
    std::string DecodeName(std::string raw, std::uint16_t flags, std::uint16_t versionMadeBy) const;
    void ParseExtraField(std::span<const std::uint8_t> extra, TZipHeaderInfo& entry, std::uint32_t rawCompressed,
                         std::uint32_t rawUncompressed, std::uint32_t rawOffset, std::uint16_t rawDisk) const;

    // Entry processing (UnZipExtract.cpp).
    int ProcessEntries();
    void ExtractEntry(int index);
    void SkipEntry(const TZipHeaderInfo& entry);
    bool PasswordCheck(int index, TZipHeaderInfo& entry);
    bool OpenOutput(const std::string& path, std::uint64_t declaredSize);
    void FinishOutput(const TZipHeaderInfo& entry, const std::string& path, bool decoded);
    void ReportProgress(std::size_t count);
    void SetOutcome(int index, TEntryOutcome outcome);

    // IEntryIo for the decoders.
    std::span<const std::uint8_t> RefillInput() override;
    std::size_t ReadStoredBlock() override;
    std::uint8_t* OutputBlock() override;
    void FlushOutput(std::size_t count) override;

    // Source.
    std::string FZipName;
    TStream* FExternalStream = nullptr;
    std::unique_ptr<TBufferedFileStream> FOwnStream;

    // Settings.
    std::string FDestDir;
    std::string FPassword;
    TOverwriteMode FOverwriteMode = TOverwriteMode::Prompt;
    bool FDoAll = false;
    bool FRecreateDirs = false;
    bool FRetainAttributes = true;
    TIncompleteZipMode FIncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
    bool FDoProcessMessages = true;
    bool FReplaceReadOnly = false;
    bool FKeepZipOpen = false;
    TOEMConvert FOEMConvert = TOEMConvert::oemAlways;

    // Directory.
    TEndCentral FEndCentral;
    TSortedZip FEntries;
    bool FLoaded = false;
    bool FRebuilt = false;
    std::int64_t FLoadStamp = 0;

    // Run state.
    bool FBusy = false;
    bool FCancel = false;
    bool FTestMode = false;
    bool FRetry = false;
    std::vector<std::uint8_t> FInput;
    std::vector<std::uint8_t> FOutput;
    std::uint64_t FTotalBytes = 0;
    std::uint64_t FBytesDone = 0;
    int FCompleted = 0;
    TRunSummary FLastRun;

    // Current entry.
    const TZipHeaderInfo* FEntry = nullptr;
    std::uint64_t FRemaining = 0; // stored bytes not yet read
    std::uint64_t FUnwritten = 0; // declared bytes not yet written
    std::uint32_t FCrc = 0;
    std::unique_ptr<IEntryCipher> FCipher;
    std::unique_ptr<TBufferedFileStream> FOutFile;
};
