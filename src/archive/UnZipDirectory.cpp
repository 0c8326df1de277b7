// Directory reading: the end record, the central directory and the rebuild
// from local headers when the central directory is damaged.
#include <algorithm>
#include <cctype>
#include <vector>

#include "ArchiveStream.h"
#include "CodePage.h"
#include "PlatformFile.h"
#include "UnZip.h"
#include "UnZipErrors.h"
#include "ZipFormat.h"

using namespace ZipFormat;

namespace {
constexpr std::int64_t kEndSearchWindow = kMaxCommentLength + kEndCentralSize; // 65557
constexpr std::int64_t kSelfExtractorStubSize = 14000;
constexpr std::int64_t kScanMessageInterval = 10240;

// Positions beyond what a stream can address are clamped; reads there find nothing.
std::int64_t ToPosition(std::uint64_t value) {
    return value > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(value);
}

std::int64_t Advance(std::int64_t position, std::uint64_t by) {
    return by > static_cast<std::uint64_t>(INT64_MAX - position) ? INT64_MAX : position + static_cast<std::int64_t>(by);
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The name with its extension (after the last "." of the file name) replaced.
std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const auto dot = path.find_last_of('.');
    const auto separator = path.find_last_of("\\/:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return path + extension;
    return path.substr(0, dot) + extension;
}

std::string FileExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto separator = path.find_last_of("\\/:");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    return path.substr(dot);
}

// Splits a decoded name at its last backslash that is not a trail byte.
void SplitName(const std::string& name, TZipHeaderInfo& entry) {
    std::string::size_type last = std::string::npos;
    for (std::string::size_type i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (CodePage::IsNarrowLeadByte(c) && i + 1 < name.size())
            ++i;
        else if (c == '\\')
            last = i;
    }
    if (last == std::string::npos) {
        entry.FolderPart.clear();
        entry.FileName = name;
    } else {
        entry.FolderPart = name.substr(0, last + 1);
        entry.FileName = name.substr(last + 1);
    }
}

void SlashesToBackslashes(std::string& name) {
    std::replace(name.begin(), name.end(), '/', '\\');
}

// For a method-99 entry the AES extra field carries the strength and the actual method.
void ApplyAesData(TZipHeaderInfo& entry) {
    if (entry.MethodField != kMethodAes)
        return;
    entry.EncryptionStrength = entry.AesData[4];
    entry.CompressionMethod = Get16(entry.AesData.data() + 5);
}
} // namespace

bool TUnZip::FindEndRecord(TStream& stream, TEndCentral& end) {
    end = TEndCentral();
    const std::int64_t size = stream.Size();
    if (size < static_cast<std::int64_t>(kEndCentralSize))
        return size == 0; // an empty file is an archive without entries
    const std::int64_t window = std::min(size, kEndSearchWindow);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(window));
    stream.Seek(size - window, TSeekOrigin::Begin);
    if (stream.Read(tail.data(), tail.size()) < tail.size())
        return false;

    // The last signature in the file wins; the comment length is not checked.
    std::int64_t pos = window - static_cast<std::int64_t>(kEndCentralSize);
    while (pos >= 0 &&
           !(tail[static_cast<std::size_t>(pos)] == 0x50 && Get32(tail.data() + pos) == kEndCentralSignature))
        --pos;
    if (pos < 0)
        return false;

    const std::uint8_t* r = tail.data() + pos;
    end.Signature = Get32(r);
    end.ThisDisk = Get16(r + 4);
    end.CentralDisk = Get16(r + 6);
    end.EntriesThisDisk = Get16(r + 8);
    end.TotalEntries = Get16(r + 10);
    end.CentralSize = Get32(r + 12);
    end.CentralOffset = Get32(r + 16);
    end.CommentLength = Get16(r + 20);
    end.CommentPosition = size - window + pos + static_cast<std::int64_t>(kEndCentralSize);

    const std::int64_t locatorPos = pos - static_cast<std::int64_t>(kZip64LocatorSize);
    if (locatorPos >= 0 && Get32(tail.data() + locatorPos) == kZip64LocatorSignature) {
        const std::uint8_t* l = tail.data() + locatorPos;
        end.Zip64LocatorDisk = Get32(l + 4);
        end.Zip64EndOffset = Get64(l + 8);
        end.Zip64TotalDisks = Get32(l + 16);
        std::uint8_t z[kZip64EndCentralSize];
        stream.Seek(ToPosition(end.Zip64EndOffset), TSeekOrigin::Begin);
        if (stream.Read(z, sizeof z) == sizeof z) {
            end.HasZip64 = true;
            end.Zip64RecordSize = Get64(z + 4);
            end.Zip64VersionMadeBy = Get16(z + 12);
            end.Zip64VersionNeeded = Get16(z + 14);
            end.Zip64ThisDisk = Get32(z + 16);
            end.Zip64CentralDisk = Get32(z + 20);
            end.Zip64EntriesThisDisk = Get64(z + 24);
            end.Zip64TotalEntries = Get64(z + 32);
            end.Zip64CentralSize = Get64(z + 40);
            end.Zip64CentralOffset = Get64(z + 48);
        }
    }
    return true;
}

std::string TUnZip::DecodeName(std::string raw, std::uint16_t flags, std::uint16_t versionMadeBy) const {
    SlashesToBackslashes(raw);
    if ((flags & kFlagUtf8Name) != 0)
        return CodePage::Utf8ToNarrow(raw);
    const bool tryOem = FOEMConvert == TOEMConvert::oemAlways ||
                        (FOEMConvert == TOEMConvert::oemFlexible && (versionMadeBy >> 8) != 11);
    if (!tryOem)
        return raw;
    // Taken as OEM only when that reading converts back to the same bytes.
    if (const auto narrow = CodePage::OemToNarrow(raw)) {
        const auto back = CodePage::NarrowToOem(*narrow);
        if (back && EqualsIgnoringAsciiCase(*back, raw))
            return *narrow;
    }
    return CodePage::Utf8ToNarrow(raw);
}

void TUnZip::ParseExtraField(std::span<const std::uint8_t> extra, TZipHeaderInfo& entry, std::uint32_t rawCompressed,
                             std::uint32_t rawUncompressed, std::uint32_t rawOffset, std::uint16_t rawDisk) const {
    std::size_t pos = 0;
    while (pos + 4 <= extra.size()) {
        const std::uint16_t tag = Get16(extra.data() + pos);
        const std::size_t declared = Get16(extra.data() + pos + 2);
        const std::size_t size = std::min(declared, extra.size() - pos - 4);
        const std::uint8_t* data = extra.data() + pos + 4;
        if (tag == kExtraZip64) {
            // Only the values whose fields are saturated are present, in this order.
            std::size_t at = 0;
            auto take64 = [&](std::uint64_t& field) {
                if (at + 8 <= size) {
                    field = Get64(data + at);
                    at += 8;
                }
            };
            if (rawUncompressed == 0xFFFFFFFF)
                take64(entry.UncompressedSize);
            if (rawCompressed == 0xFFFFFFFF)
                take64(entry.CompressedSize);
            if (rawOffset == 0xFFFFFFFF)
                take64(entry.LocalHeaderOffset);
            if (rawDisk == 0xFFFF && at + 4 <= size)
                entry.DiskNumberStart = Get32(data + at);
        } else if (tag == kExtraUnicodePath && size >= 5) {
            // Version and header-name CRC are not checked.
            std::string name = CodePage::Utf8ToNarrow(std::string(reinterpret_cast<const char*>(data + 5), size - 5));
            SlashesToBackslashes(name);
            SplitName(name, entry);
        } else if (tag == kExtraAes && size >= 7) {
            std::copy(data, data + 7, entry.AesData.begin());
            entry.HasAesData = true;
        }
        pos += 4 + declared;
    }
}

bool TUnZip::ReadCentralRecord(TStream& stream, TZipHeaderInfo& entry) {
    const std::int64_t start = stream.Position();
    std::uint8_t h[kCentralHeaderSize];
    if (stream.Read(h, sizeof h) < sizeof h || Get32(h) != kCentralHeaderSignature) {
        stream.Seek(start, TSeekOrigin::Begin);
        return false;
    }
    std::string rawName(Get16(h + 28), '\0');
    if (!rawName.empty() && stream.Read(rawName.data(), rawName.size()) < rawName.size()) {
        stream.Seek(start, TSeekOrigin::Begin);
        return false;
    }
    entry = TZipHeaderInfo();
    entry.VersionMadeBy = Get16(h + 4);
    entry.VersionNeeded = Get16(h + 6);
    entry.Flags = Get16(h + 8);
    entry.MethodField = Get16(h + 10);
    entry.CompressionMethod = entry.MethodField;
    entry.DateTime = ClampDosDateTime(Get32(h + 12));
    entry.Crc32 = Get32(h + 16);
    const std::uint32_t rawCompressed = Get32(h + 20);
    const std::uint32_t rawUncompressed = Get32(h + 24);
    entry.CompressedSize = rawCompressed;
    entry.UncompressedSize = rawUncompressed;
    entry.ExtraLength = Get16(h + 30);
    entry.CommentLength = Get16(h + 32);
    const std::uint16_t rawDisk = Get16(h + 34);
    entry.DiskNumberStart = rawDisk;
    entry.InternalAttributes = Get16(h + 36);
    entry.ExternalAttributes = Get32(h + 38);
    const std::uint32_t rawOffset = Get32(h + 42);
    entry.LocalHeaderOffset = rawOffset;
    entry.CentralRecordPosition = start;
    SplitName(DecodeName(std::move(rawName), entry.Flags, entry.VersionMadeBy), entry);

    if (entry.ExtraLength > 0) {
        const std::int64_t afterName = stream.Position();
        std::vector<std::uint8_t> extra(entry.ExtraLength);
        extra.resize(stream.Read(extra.data(), extra.size()));
        ParseExtraField(extra, entry, rawCompressed, rawUncompressed, rawOffset, rawDisk);
        stream.Seek(afterName, TSeekOrigin::Begin);
    }
    ApplyAesData(entry);
    return true;
}

bool TUnZip::ReadLocalHeader(TStream& stream, TZipHeaderInfo& entry) {
    const std::int64_t start = stream.Position();
    std::uint8_t h[kLocalHeaderSize];
    if (stream.Read(h, sizeof h) < sizeof h || Get32(h) != kLocalHeaderSignature) {
        stream.Seek(start, TSeekOrigin::Begin);
        return false;
    }
    std::string rawName(Get16(h + 26), '\0');
    if (!rawName.empty() && stream.Read(rawName.data(), rawName.size()) < rawName.size()) {
        stream.Seek(start, TSeekOrigin::Begin);
        return false;
    }
    entry = TZipHeaderInfo();
    entry.VersionNeeded = Get16(h + 4);
    entry.Flags = Get16(h + 6);
    entry.MethodField = Get16(h + 8);
    entry.CompressionMethod = entry.MethodField;
    entry.DateTime = ClampDosDateTime(Get32(h + 10));
    entry.Crc32 = Get32(h + 14);
    const std::uint32_t rawCompressed = Get32(h + 18);
    const std::uint32_t rawUncompressed = Get32(h + 22);
    entry.CompressedSize = rawCompressed;
    entry.UncompressedSize = rawUncompressed;
    entry.ExtraLength = Get16(h + 28);
    entry.LocalHeaderOffset = static_cast<std::uint64_t>(start);
    SplitName(DecodeName(std::move(rawName), entry.Flags, 0), entry);

    // The local extra field gives the Zip64 sizes and the AES data, so that the
    // rebuild steps over large entries correctly.
    if (entry.ExtraLength > 0) {
        const std::int64_t afterName = stream.Position();
        std::vector<std::uint8_t> extra(entry.ExtraLength);
        extra.resize(stream.Read(extra.data(), extra.size()));
        const std::string name = entry.FolderPart + entry.FileName;
        ParseExtraField(extra, entry, rawCompressed, rawUncompressed, 0, 0);
        SplitName(name, entry); // the local name stands; 0x7075 is read from central records
        stream.Seek(afterName, TSeekOrigin::Begin);
    }
    ApplyAesData(entry);
    return true;
}

bool TUnZip::RebuildFromLocalHeaders() {
    if (FRebuilt)
        return false;
    FRebuilt = true;
    FEntries.Clear();
    TStream& stream = Archive();

    std::int64_t pos = EqualsIgnoringAsciiCase(FileExtension(FZipName), ".EXE") ? kSelfExtractorStubSize : 0;
    // Scan for "PK\3\4" followed by a version-needed field below 10.0.
    std::vector<std::uint8_t> window(8192 + 5);
    std::int64_t windowStart = -1;
    std::size_t windowFill = 0;
    auto byteAt = [&](std::int64_t at, std::uint8_t& value) {
        if (windowStart < 0 || at < windowStart || at >= windowStart + static_cast<std::int64_t>(windowFill)) {
            stream.Seek(at, TSeekOrigin::Begin);
            windowStart = at;
            windowFill = stream.Read(window.data(), window.size());
            if (windowFill == 0)
                return false;
        }
        value = window[static_cast<std::size_t>(at - windowStart)];
        return true;
    };
    static constexpr std::uint8_t kSignature[4] = {0x50, 0x4B, 0x03, 0x04};
    std::int64_t scanned = 0;
    for (;;) {
        std::uint8_t b[6];
        bool complete = true;
        int matched = 0;
        for (; matched < 6; ++matched) {
            if (!byteAt(pos + matched, b[matched])) {
                complete = false;
                break;
            }
            if (matched < 4 && b[matched] != kSignature[matched])
                break;
        }
        if (!complete)
            return false;
        if (matched == 6 && b[5] < 10)
            break;
        ++pos;
        if (++scanned % kScanMessageInterval == 0)
            ServeMessages();
    }

    stream.Seek(pos, TSeekOrigin::Begin);
    for (;;) {
        TZipHeaderInfo entry;
        if (!ReadLocalHeader(stream, entry))
            break;
        ServeMessages();
        std::uint64_t skip = entry.CompressedSize + entry.ExtraLength;
        if ((entry.Flags & kFlagDataDescriptor) != 0)
            skip += 16;
        FEntries.Add(std::move(entry));
        stream.Seek(Advance(stream.Position(), skip), TSeekOrigin::Begin);
    }

    const std::int64_t here = stream.Position();
    FEndCentral.ThisDisk = 0;
    FEndCentral.CentralDisk = 0;
    FEndCentral.HasZip64 = false;
    FEndCentral.CentralOffset = here >= 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<std::uint32_t>(here);
    FEndCentral.Zip64CentralOffset = static_cast<std::uint64_t>(here);
    FEndCentral.TotalEntries = static_cast<std::uint16_t>(std::min(FEntries.Count(), 0xFFFF));
    return true;
}

void TUnZip::ReadDirectory() {
    try {
        if (FExternalStream) {
            FLoadStamp = PlatformFs::CurrentStamp();
        } else {
            FLoadStamp = PlatformFs::ModificationStamp(FZipName).value_or(0);
        }
        DropDirectory();
        TStream& archive = Archive();

        TEndCentral end;
        bool found = FindEndRecord(archive, end);
        if (found && end.EffectiveThisDisk() < end.EffectiveCentralDisk())
            found = false;

        // A side file may hold a copy of the central directory and end record.
        std::unique_ptr<TBufferedFileStream> sideFile;
        if (!found && !FExternalStream) {
            const std::string sideName = ChangeFileExt(FZipName, ".zfc");
            if (PlatformFs::FileExists(sideName)) {
                TFile file = TFile::OpenRead(sideName);
                if (file.IsOpen()) {
                    sideFile = std::make_unique<TBufferedFileStream>(std::move(file), false);
                    found = FindEndRecord(*sideFile, end);
                    if (!found)
                        sideFile.reset();
                }
            }
        }

        TStream* source = &archive;
        std::uint64_t total = 0;
        if (!found) {
            if (OnInCompleteZip) {
                TIncompleteZipMode mode = FIncompleteZipMode;
                OnInCompleteZip(*this, mode);
                FIncompleteZipMode = mode;
            }
            if (FIncompleteZipMode == TIncompleteZipMode::izAssumeNotAZip)
                throw ENotAZipFile();
            if (FIncompleteZipMode == TIncompleteZipMode::izAssumeMulti)
                throw EIncompleteZip();
            if (!RebuildFromLocalHeaders())
                throw EBadZipFile();
            total = static_cast<std::uint64_t>(FEntries.Count());
        } else {
            FEndCentral = end;
            const std::uint32_t currentDisk = sideFile ? 0 : end.EffectiveThisDisk();
            // Multi-part archives are not read.
            if (currentDisk != 0)
                throw EBadZipFile();
            total = end.EffectiveTotalEntries();
            if (sideFile) {
                source = sideFile.get();
                source->Seek(0, TSeekOrigin::Begin);
            } else if (total > 0) {
                archive.Seek(ToPosition(end.EffectiveCentralOffset()), TSeekOrigin::Begin);
            }
        }

        std::uint16_t previousExtra = 0;
        for (std::uint64_t i = 0; i < total;) {
            ServeMessages();
            TZipHeaderInfo entry;
            bool read = ReadCentralRecord(*source, entry);
            if (!read && previousExtra != 0) {
                // The previous record declared extra data that its writer never wrote.
                source->Seek(-static_cast<std::int64_t>(previousExtra), TSeekOrigin::Current);
                previousExtra = 0;
                read = ReadCentralRecord(*source, entry);
            }
            if (!read) {
                if (FRebuilt)
                    break; // what was rebuilt stands
                if (!RebuildFromLocalHeaders())
                    throw EBadZipFile();
                source = &archive;
                total = static_cast<std::uint64_t>(FEntries.Count());
                previousExtra = 0;
                i = 0;
                continue;
            }
            const std::uint64_t skip = static_cast<std::uint64_t>(entry.ExtraLength) + entry.CommentLength;
            const std::uint16_t extraLength = entry.ExtraLength;
            if (FRebuilt) {
                // Merge into the rebuilt entry for the same local header, if any.
                if (TZipHeaderInfo* rebuilt = FEntries.Find(entry.DiskNumberStart, entry.LocalHeaderOffset)) {
                    const std::uint64_t offset = rebuilt->LocalHeaderOffset;
                    *rebuilt = std::move(entry);
                    rebuilt->LocalHeaderOffset = offset;
                }
            } else {
                try {
                    FEntries.Add(std::move(entry));
                } catch (const EListError&) {
                    if (!RebuildFromLocalHeaders())
                        throw EBadZipFile();
                    source = &archive;
                    total = static_cast<std::uint64_t>(FEntries.Count());
                    previousExtra = 0;
                    i = 0;
                    continue;
                }
            }
            source->Seek(Advance(source->Position(), skip), TSeekOrigin::Begin);
            previousExtra = extraLength;
            ++i;
        }
        FLoaded = true;
    } catch (...) {
        DropDirectory();
        throw;
    }
}
