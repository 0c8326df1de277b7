#include "UnZip.h"

#include <algorithm>
#include <cctype>

#include "ArchiveStream.h"
#include "MessagePump.h"
#include "PlatformFile.h"
#include "UnZipErrors.h"

namespace {
bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

TUnZip::TUnZip() : OnUnknownMethod(&MessagePump::ShowUnknownMethodNotice) {}

TUnZip::~TUnZip() = default;

void TUnZip::SetZipName(const std::string& name) {
    if (SameTextAscii(name, FZipName)) {
        FZipName = name;
        return;
    }
    FZipName = name;
    DropDirectory();
    FOwnStream.reset();
}

void TUnZip::SetArchiveStream(TStream* stream) {
    DropDirectory();
    FOwnStream.reset();
    FExternalStream = stream;
    // A handed-over stream stays open across operations; name mode closes again.
    FKeepZipOpen = stream != nullptr;
}

void TUnZip::SetDestDir(const std::string& dir) {
    FDestDir = dir;
    if (!FDestDir.empty() && FDestDir.back() == '\\')
        FDestDir.pop_back();
}

void TUnZip::OpenArchive() {
    if (!FExternalStream && !FOwnStream)
        FOwnStream = TBufferedFileStream::OpenRead(FZipName);
}

void TUnZip::CloseArchive() {
    FOwnStream.reset();
}

void TUnZip::DropDirectory() {
    FEntries.Clear();
    FEndCentral = TEndCentral();
    FLoaded = false;
    FRebuilt = false;
}

TStream& TUnZip::Archive() {
    OpenArchive();
    return FExternalStream ? *FExternalStream : static_cast<TStream&>(*FOwnStream);
}

void TUnZip::ServeMessages() {
    if (FDoProcessMessages)
        MessagePump::ServePendingMessages();
    if (FCancel)
        throw EUserCanceled();
}

void TUnZip::LoadDirectory() {
    OpenAndLoad();
    if (!FExternalStream && !FKeepZipOpen)
        CloseArchive();
}

void TUnZip::OpenAndLoad() {
    if (FLoaded) {
        if (FExternalStream) {
            return;
        }
        // A file that has not changed since the last load is not read again.
        const auto stamp = PlatformFs::ModificationStamp(FZipName);
        if (stamp && *stamp == FLoadStamp) {
            OpenArchive();
            return;
        }
        // The file changed: drop the handle too, it may be a new file under the old name.
        CloseArchive();
    }
    OpenArchive();
    ReadDirectory();
}

void TUnZip::LoadWithIncompleteWrapper() {
    try {
        OpenAndLoad();
    } catch (const EIncompleteZip&) {
        CloseArchive();
        if (OnInCompleteZip)
            OpenAndLoad();
    } catch (...) {
        DropDirectory();
        throw;
    }
}
