#pragma once
// Test-only reading of the single-entry archives in tests/data/crypto: just
// enough of the central directory, the local header and the AES extra field
// to hand the cipher tests an entry's stored bytes and the values they need.
#include <cstdint>
#include <string>
#include <vector>

struct TZipFixtureEntry {
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;       // as stored: 99 for AES entries
    std::uint16_t ActualMethod = 0; // from the AES extra field, else Method
    std::uint16_t ModificationTime = 0;
    std::uint32_t Crc32 = 0;
    std::uint64_t UncompressedSize = 0;
    int AesStrength = 0; // 0 when there is no AES extra field
    int AesVendorVersion = 0;
    std::vector<std::uint8_t> Stored; // every stored byte: header or salt, data, code
};

std::vector<std::uint8_t> ReadCryptoDataFile(const std::string& name);
TZipFixtureEntry LoadSingleEntry(const std::string& zipName);
// Raw Deflate decoding of a whole buffer with zlib; fails the test on bad data.
std::vector<std::uint8_t> InflateRaw(const std::vector<std::uint8_t>& deflated, std::size_t expectedSize);
std::uint32_t Crc32Of(const std::vector<std::uint8_t>& data);
