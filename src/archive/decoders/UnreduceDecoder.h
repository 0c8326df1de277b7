#pragma once
#include <array>
#include <cstdint>

#include "archive/EntryDecoder.h"

class TBitInput;

// Methods 2 to 5 (reduced with compression factor 1 to 4). Two layers: a
// probabilistic layer that codes each byte from the follower set of the byte
// before it, and under it a run layer where DLE (144) introduces a
// (length, distance) reference back into the output. The stream has no end
// marker: decoding stops at the declared size.
class TUnreduceDecoder : public IEntryDecoder {
public:
    TUnreduceDecoder(unsigned factor, std::uint64_t declaredSize) : FFactor(factor), FDeclaredSize(declaredSize) {}
    void Decode(IEntryIo& io) override;

private:
    static constexpr unsigned kMaxFollowers = 32;

    void ReadFollowerSets(TBitInput& in);
    std::uint8_t ReadByte(TBitInput& in, std::uint8_t lastByte);

    unsigned FFactor; // 1..4
    std::uint64_t FDeclaredSize;
    std::array<std::array<std::uint8_t, kMaxFollowers>, 256> FFollowers{};
    std::array<std::uint8_t, 256> FFollowerCount{};
};
