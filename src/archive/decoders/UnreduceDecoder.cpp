#include "UnreduceDecoder.h"

#include "archive/UnZipErrors.h"
#include "LegacyStreams.h"

namespace {
constexpr std::uint8_t kDle = 144;

// Bits of the index into a follower set of count (1..32) bytes: enough for
// count - 1, and at least one.
unsigned IndexBits(unsigned count) {
    unsigned bits = 1;
    while ((1u << bits) < count)
        ++bits;
    return bits;
}

// The states of the run layer, entered by the byte just decoded.
enum class TRunState {
    Literal,  // bytes are copied; DLE starts a reference
    AfterDle, // 0: a literal DLE; else the length and distance-high byte
    MoreLength,
    Distance, // the low byte of the distance
};
} // namespace

void TUnreduceDecoder::ReadFollowerSets(TBitInput& in) {
    // Stored from the set of byte 255 down to the set of byte 0.
    for (int byte = 255; byte >= 0; --byte) {
        const unsigned count = in.Read(6);
        if (count > kMaxFollowers)
            throw EZCompressionError();
        FFollowerCount[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(count);
        for (unsigned i = 0; i < count; ++i)
            FFollowers[static_cast<std::size_t>(byte)][i] = static_cast<std::uint8_t>(in.Read(8));
    }
}

std::uint8_t TUnreduceDecoder::ReadByte(TBitInput& in, std::uint8_t lastByte) {
    const unsigned count = FFollowerCount[lastByte];
    if (count == 0 || in.Read(1) != 0)
        return static_cast<std::uint8_t>(in.Read(8));
    const unsigned index = in.Read(IndexBits(count));
    if (index >= count)
        throw EZCompressionError();
    return FFollowers[lastByte][index];
}

void TUnreduceDecoder::Decode(IEntryIo& io) {
    TBitInput in(io);
    TWindowOutput out(io);
    if (FDeclaredSize > 0)
        ReadFollowerSets(in);

    const unsigned lengthBits = 8 - FFactor;
    const unsigned lengthMask = (1u << lengthBits) - 1u;
    TRunState state = TRunState::Literal;
    std::uint8_t lastByte = 0;
    unsigned lengthAndHigh = 0;
    std::size_t length = 0;
    while (out.Written() < FDeclaredSize) {
        const std::uint8_t byte = ReadByte(in, lastByte);
        lastByte = byte;
        switch (state) {
        case TRunState::Literal:
            if (byte == kDle)
                state = TRunState::AfterDle;
            else
                out.Put(byte);
            break;
        case TRunState::AfterDle:
            if (byte == 0) {
                out.Put(kDle);
                state = TRunState::Literal;
            } else {
                lengthAndHigh = byte;
                length = byte & lengthMask;
                state = length == lengthMask ? TRunState::MoreLength : TRunState::Distance;
            }
            break;
        case TRunState::MoreLength:
            length += byte;
            state = TRunState::Distance;
            break;
        case TRunState::Distance: {
            const std::size_t distance = (lengthAndHigh >> lengthBits) * 256u + byte + 1u;
            // A reference past the declared size shows up at the flush as data
            // longer than declared.
            out.Copy(distance, length + 3);
            state = TRunState::Literal;
            break;
        }
        }
    }
    out.Finish();
}
