#pragma once
// The traditional PKWARE stream cipher of the ZIP format: three 32-bit keys
// set up from the password and updated with every plain byte.
//
// Call order for one entry: construct with the password, CheckHeader with the
// entry's 12-byte encryption header, then Decrypt the data that follows in
// stored order, in runs of any length. A new password needs a new cipher.
#include "archive/EntryCipher.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class TTraditionalCipher final : public IEntryCipher {
public:
    static constexpr std::size_t kHeaderSize = 12;

    explicit TTraditionalCipher(std::string_view password);

    // The byte the last header byte must decrypt to: the high byte of the entry's
    // DOS modification time when flag bit 3 (sizes and CRC in a data descriptor)
    // is set, since the CRC is not known when the header is written; else the
    // high byte of the CRC-32.
    static std::uint8_t CheckByte(std::uint16_t generalFlags, std::uint16_t modificationTime, std::uint32_t crc32);

    // Decrypts the header (the keys advance over it) and compares its last byte
    // with checkByte. A wrong password passes about once in 256 tries.
    bool CheckHeader(std::span<const std::uint8_t, kHeaderSize> header, std::uint8_t checkByte);

    void Decrypt(std::uint8_t* data, std::size_t count) override;

private:
    void UpdateKeys(std::uint8_t plain) noexcept;
    std::uint8_t KeystreamByte() const noexcept;

    std::uint32_t FKey0 = 0x12345678;
    std::uint32_t FKey1 = 0x23456789;
    std::uint32_t FKey2 = 0x34567890;
};
