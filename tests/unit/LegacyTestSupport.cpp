#include "LegacyTestSupport.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {
std::uint32_t Get16(const TBytes& b, std::size_t at) {
    if (at + 2 > b.size())
        throw std::runtime_error("archive too short");
    return b[at] | b[at + 1] << 8;
}

std::uint32_t Get32(const TBytes& b, std::size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

void Put16(TBytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(TBytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
} // namespace

std::string LegacyFixture(const std::string& name) {
    return std::string(TAVRIN_TEST_DATA) + "/legacy/" + name;
}

TBytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<TRawEntry> ReadRawEntries(const TBytes& archive) {
    std::size_t end = archive.size() - 22;
    while (Get32(archive, end) != 0x06054b50) {
        if (end == 0)
            throw std::runtime_error("no end record");
        --end;
    }
    std::vector<TRawEntry> entries;
    std::size_t at = Get32(archive, end + 16);
    for (std::uint32_t i = 0, count = Get16(archive, end + 10); i < count; ++i) {
        if (Get32(archive, at) != 0x02014b50)
            throw std::runtime_error("bad central record");
        TRawEntry e;
        e.Flags = static_cast<std::uint16_t>(Get16(archive, at + 8));
        e.Method = static_cast<std::uint16_t>(Get16(archive, at + 10));
        e.Crc32 = Get32(archive, at + 16);
        const std::uint32_t compressed = Get32(archive, at + 20);
        e.UncompressedSize = Get32(archive, at + 24);
        const std::uint32_t nameLength = Get16(archive, at + 28);
        e.Name.assign(archive.begin() + static_cast<std::ptrdiff_t>(at + 46),
                      archive.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength));
        const std::size_t local = Get32(archive, at + 42);
        const std::size_t data = local + 30 + Get16(archive, local + 26) + Get16(archive, local + 28);
        if (data + compressed > archive.size())
            throw std::runtime_error("entry data past the end");
        e.Stored.assign(archive.begin() + static_cast<std::ptrdiff_t>(data),
                        archive.begin() + static_cast<std::ptrdiff_t>(data + compressed));
        entries.push_back(std::move(e));
        at += 46 + nameLength + Get16(archive, at + 30) + Get16(archive, at + 32);
    }
    return entries;
}

TBytes BuildArchive(const TRawEntry& entry) {
    const auto header = [&entry](TBytes& b) {
        Put16(b, 20);
        Put16(b, entry.Flags);
        Put16(b, entry.Method);
        Put16(b, 0);      // time
        Put16(b, 0x0021); // 1980-01-01
        Put32(b, entry.Crc32);
        Put32(b, static_cast<std::uint32_t>(entry.Stored.size()));
        Put32(b, entry.UncompressedSize);
        Put16(b, static_cast<std::uint32_t>(entry.Name.size()));
        Put16(b, 0); // extra length
    };
    TBytes b;
    Put32(b, 0x04034b50);
    header(b);
    b.insert(b.end(), entry.Name.begin(), entry.Name.end());
    b.insert(b.end(), entry.Stored.begin(), entry.Stored.end());
    const std::uint32_t central = static_cast<std::uint32_t>(b.size());
    Put32(b, 0x02014b50);
    Put16(b, 20); // made by
    header(b);
    Put16(b, 0); // comment length
    Put16(b, 0); // disk
    Put16(b, 0); // internal attributes
    Put32(b, 0x20);
    Put32(b, 0); // local header offset
    b.insert(b.end(), entry.Name.begin(), entry.Name.end());
    const std::uint32_t centralSize = static_cast<std::uint32_t>(b.size()) - central;
    Put32(b, 0x06054b50);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, centralSize);
    Put32(b, central);
    Put16(b, 0);
    return b;
}

void TBitWriter::Put(unsigned value, unsigned bits) {
    for (unsigned i = 0; i < bits; ++i) {
        if (FBitCount % 8 == 0)
            FBytes.push_back(0);
        if ((value >> i) & 1u)
            FBytes.back() |= static_cast<std::uint8_t>(1u << (FBitCount % 8));
        ++FBitCount;
    }
}

TBytes TBitWriter::Bytes() const {
    return FBytes;
}
