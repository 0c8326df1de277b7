#pragma once
#include <array>
#include <cstdint>

#include "archive/EntryDecoder.h"

class TWindowOutput;

// Method 1 (shrunk): dynamic LZW with codes of 9 to 13 bits. The escape code 256
// is followed by 1 (codes grow by one bit) or 2 (partial clearing: every code
// that is no other code's prefix becomes free, lowest reused first). The stream
// ends with its stored bytes; the decoded length must equal the declared size.
class TUnshrinkDecoder : public IEntryDecoder {
public:
    explicit TUnshrinkDecoder(std::uint64_t declaredSize) : FDeclaredSize(declaredSize) {}
    void Decode(IEntryIo& io) override;

private:
    static constexpr unsigned kTableSize = 8192; // 13-bit codes
    static constexpr std::uint16_t kFree = 0xFFFF;

    void ResetTable();
    void PartialClear();
    void AddCode(unsigned prefix, std::uint8_t lastByte);
    std::uint8_t FirstByte(unsigned code) const;
    void Emit(unsigned code, TWindowOutput& out);

    std::uint64_t FDeclaredSize;
    // For codes 257 and up: the prefix code (kFree for an unused code) and the
    // last byte of the string. Codes 0..255 are the single bytes.
    std::array<std::uint16_t, kTableSize> FPrefix{};
    std::array<std::uint8_t, kTableSize> FLastByte{};
    std::array<std::uint8_t, kTableSize> FStack{};
    unsigned FNextFree = 0;
};
