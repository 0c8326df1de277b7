#include "archive/crypto/TraditionalCipher.h"

#include <algorithm>
#include <array>

namespace {

// The reflected CRC-32 table (polynomial 0xEDB88320) the key update steps with.
constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// One CRC-32 step without the pre- and post-inversion of a whole-message CRC.
constexpr std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) {
    return kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

constexpr std::uint16_t kFlagDataDescriptor = 1u << 3;

} // namespace

TTraditionalCipher::TTraditionalCipher(std::string_view password) {
    for (char c : password)
        UpdateKeys(static_cast<std::uint8_t>(c));
}

std::uint8_t TTraditionalCipher::CheckByte(std::uint16_t generalFlags, std::uint16_t modificationTime,
                                           std::uint32_t crc32) {
    if (generalFlags & kFlagDataDescriptor)
        return static_cast<std::uint8_t>(modificationTime >> 8);
    return static_cast<std::uint8_t>(crc32 >> 24);
}

bool TTraditionalCipher::CheckHeader(std::span<const std::uint8_t, kHeaderSize> header, std::uint8_t checkByte) {
    std::array<std::uint8_t, kHeaderSize> plain;
    std::copy(header.begin(), header.end(), plain.begin());
    Decrypt(plain.data(), plain.size());
    return plain.back() == checkByte;
}

void TTraditionalCipher::Decrypt(std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        data[i] ^= KeystreamByte();
        UpdateKeys(data[i]);
    }
}

void TTraditionalCipher::UpdateKeys(std::uint8_t plain) noexcept {
    FKey0 = CrcStep(FKey0, plain);
    FKey1 = (FKey1 + (FKey0 & 0xFF)) * 134775813u + 1;
    FKey2 = CrcStep(FKey2, static_cast<std::uint8_t>(FKey1 >> 24));
}

std::uint8_t TTraditionalCipher::KeystreamByte() const noexcept {
    // Only the low 16 bits of key2 enter the keystream; the product fits in 32 bits.
    const std::uint32_t t = (FKey2 & 0xFFFF) | 2;
    return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
}
