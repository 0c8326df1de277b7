#pragma once
// The archive directory's records: the end record holder, one record per
// entry, and the entry list kept in local-header order.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "util/Exception.h"

// Forces the parts of an MS-DOS date-time (time in the low 16 bits, date in the
// high 16 bits) into range: hour <= 23, minute <= 59, seconds <= 59, year <= 2099,
// month 1..12, day >= 1. A value that needs no change comes back unchanged.
std::uint32_t ClampDosDateTime(std::uint32_t dosDateTime);

struct TEndCentral {
    // End-of-central-directory record.
    std::uint32_t Signature = 0;
    std::uint16_t ThisDisk = 0;
    std::uint16_t CentralDisk = 0;
    std::uint16_t EntriesThisDisk = 0;
    std::uint16_t TotalEntries = 0;
    std::uint32_t CentralSize = 0;
    std::uint32_t CentralOffset = 0;
    std::uint16_t CommentLength = 0;
    std::int64_t CommentPosition = 0;

    // Zip64 locator and Zip64 end record, when the locator precedes the end record.
    bool HasZip64 = false;
    std::uint32_t Zip64LocatorDisk = 0;
    std::uint64_t Zip64EndOffset = 0;
    std::uint32_t Zip64TotalDisks = 0;
    std::uint64_t Zip64RecordSize = 0;
    std::uint16_t Zip64VersionMadeBy = 0;
    std::uint16_t Zip64VersionNeeded = 0;
    std::uint32_t Zip64ThisDisk = 0;
    std::uint32_t Zip64CentralDisk = 0;
    std::uint64_t Zip64EntriesThisDisk = 0;
    std::uint64_t Zip64TotalEntries = 0;
    std::uint64_t Zip64CentralSize = 0;
    std::uint64_t Zip64CentralOffset = 0;

    // Values in effect: the Zip64 record's where the 16- or 32-bit field is saturated.
    std::uint32_t EffectiveThisDisk() const { return HasZip64 && ThisDisk == 0xFFFF ? Zip64ThisDisk : ThisDisk; }
    std::uint32_t EffectiveCentralDisk() const {
        return HasZip64 && CentralDisk == 0xFFFF ? Zip64CentralDisk : CentralDisk;
    }
    std::uint64_t EffectiveTotalEntries() const {
        return HasZip64 && TotalEntries == 0xFFFF ? Zip64TotalEntries : TotalEntries;
    }
    std::uint64_t EffectiveCentralOffset() const {
        return HasZip64 && CentralOffset == 0xFFFFFFFF ? Zip64CentralOffset : CentralOffset;
    }
};

struct TZipHeaderInfo {
    std::uint16_t VersionMadeBy = 0;
    std::uint16_t VersionNeeded = 0;
    std::uint16_t Flags = 0;
    std::uint16_t CompressionMethod = 0; // for AES entries the actual method
    std::uint32_t DateTime = 0;          // MS-DOS date-time, clamped
    std::uint32_t Crc32 = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t UncompressedSize = 0;
    std::uint16_t ExtraLength = 0; // central extra length (local extra length for rebuilt records)
    std::uint16_t CommentLength = 0;
    std::uint32_t DiskNumberStart = 0;
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    std::uint64_t LocalHeaderOffset = 0;
    std::int64_t CentralRecordPosition = 0;
    std::string FileName;   // after the last backslash; empty for a folder entry
    std::string FolderPart; // with a trailing backslash, or empty
    bool HasAesData = false;
    std::array<std::uint8_t, 7> AesData{}; // vendor version, vendor id, strength, actual method
    std::uint8_t EncryptionStrength = 0;   // 0, or the AES strength 1..3
    std::uint16_t MethodField = 0;         // the method as stored (99 for AES)

    bool IsFolder() const { return FileName.empty(); }
    bool IsEncrypted() const { return (Flags & 0x0001) != 0 || MethodField == 99; }
    bool IsAes() const { return EncryptionStrength >= 1 && EncryptionStrength <= 3; }
    std::string StoredPath() const { return FolderPart + FileName; }
};

// Raised by TSortedZip when a second record names the same local header.
class EListError : public Exception {
public:
    EListError() : Exception("Duplicate Object index") {}
};

// Entries sorted ascending by (disk number start, local header offset).
class TSortedZip {
public:
    // Inserts in order; raises EListError for a duplicate key.
    void Add(TZipHeaderInfo entry);
    // The entry with the given key, or nullptr.
    TZipHeaderInfo* Find(std::uint32_t disk, std::uint64_t localHeaderOffset);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    const TZipHeaderInfo& operator[](int index) const { return FItems[static_cast<std::size_t>(index)]; }
    TZipHeaderInfo& operator[](int index) { return FItems[static_cast<std::size_t>(index)]; }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TZipHeaderInfo> FItems;
};
