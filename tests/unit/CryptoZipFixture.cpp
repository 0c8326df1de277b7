#include "CryptoZipFixture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    if (at + bytes > b.size())
        throw std::runtime_error("fixture: read past the end");
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + i];
    return v;
}

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint16_t kAesExtraId = 0x9901;

} // namespace

std::vector<std::uint8_t> ReadCryptoDataFile(const std::string& name) {
    const std::string path = std::string(TAVRIN_TEST_DATA) + "/crypto/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("fixture: cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TZipFixtureEntry LoadSingleEntry(const std::string& zipName) {
    const std::vector<std::uint8_t> zip = ReadCryptoDataFile(zipName);
    // The fixtures have no archive comment: the end record is the last 22 bytes.
    const std::size_t end = zip.size() - 22;
    if (Le(zip, end, 4) != kEndSignature || Le(zip, end + 10, 2) != 1)
        throw std::runtime_error("fixture: not a single-entry archive: " + zipName);
    const std::size_t central = Le(zip, end + 16, 4);
    if (Le(zip, central, 4) != kCentralSignature)
        throw std::runtime_error("fixture: no central record: " + zipName);

    TZipFixtureEntry entry;
    entry.Flags = static_cast<std::uint16_t>(Le(zip, central + 8, 2));
    entry.Method = static_cast<std::uint16_t>(Le(zip, central + 10, 2));
    entry.ActualMethod = entry.Method;
    entry.ModificationTime = static_cast<std::uint16_t>(Le(zip, central + 12, 2));
    entry.Crc32 = Le(zip, central + 16, 4);
    const std::size_t compressedSize = Le(zip, central + 20, 4);
    entry.UncompressedSize = Le(zip, central + 24, 4);
    const std::size_t local = Le(zip, central + 42, 4);

    if (Le(zip, local, 4) != kLocalSignature)
        throw std::runtime_error("fixture: no local header: " + zipName);
    const std::size_t nameLength = Le(zip, local + 26, 2);
    const std::size_t extraLength = Le(zip, local + 28, 2);
    const std::size_t extra = local + 30 + nameLength;
    for (std::size_t at = extra; at + 4 <= extra + extraLength;) {
        const std::uint32_t id = Le(zip, at, 2);
        const std::size_t size = Le(zip, at + 2, 2);
        if (id == kAesExtraId && size >= 7) {
            // vendor version (2), vendor id "AE" (2), strength (1), actual method (2)
            entry.AesVendorVersion = static_cast<int>(Le(zip, at + 4, 2));
            entry.AesStrength = zip[at + 8];
            entry.ActualMethod = static_cast<std::uint16_t>(Le(zip, at + 9, 2));
        }
        at += 4 + size;
    }
    const std::size_t data = extra + extraLength;
    if (data + compressedSize > zip.size())
        throw std::runtime_error("fixture: data past the end: " + zipName);
    entry.Stored.assign(zip.begin() + data, zip.begin() + data + compressedSize);
    return entry;
}

std::vector<std::uint8_t> InflateRaw(const std::vector<std::uint8_t>& deflated, std::size_t expectedSize) {
    std::vector<std::uint8_t> out(expectedSize + 1); // one spare byte shows output that runs long
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    z.next_in = const_cast<Bytef*>(deflated.data());
    z.avail_in = static_cast<uInt>(deflated.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    EXPECT_EQ(result, Z_STREAM_END) << "the decrypted data is not a complete Deflate stream";
    return out;
}

std::uint32_t Crc32Of(const std::vector<std::uint8_t>& data) {
    return static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}
