#pragma once
// Helpers for the tests of the older methods: the fixture archives' entries with
// their raw stored bytes, single-entry archives built around (damaged) stored
// bytes, and a bit writer for hand-made streams.
#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

// Path of a file under tests/data/legacy.
std::string LegacyFixture(const std::string& name);
TBytes ReadBytes(const std::string& path);

// One entry of an archive as its central record describes it.
struct TRawEntry {
    std::string Name;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t Crc32 = 0;
    std::uint32_t UncompressedSize = 0;
    TBytes Stored; // the compressed bytes
};

// The entries of an archive without Zip64 records or data before it.
std::vector<TRawEntry> ReadRawEntries(const TBytes& archive);

// An archive of the one entry, stored bytes, sizes and CRC as given.
TBytes BuildArchive(const TRawEntry& entry);

// Collects values least significant bit first, as the decoders read them.
class TBitWriter {
public:
    void Put(unsigned value, unsigned bits);
    TBytes Bytes() const;

private:
    TBytes FBytes;
    unsigned FBitCount = 0;
};
