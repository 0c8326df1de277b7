#include "ExplodeDecoder.h"

#include <algorithm>
#include <numeric>

#include "archive/UnZipErrors.h"
#include "LegacyStreams.h"

namespace {
constexpr std::uint16_t kFlagLargeDictionary = 0x0002;
constexpr std::uint16_t kFlagLiteralTree = 0x0004;
constexpr unsigned kLengthSymbols = 64;
constexpr unsigned kDistanceSymbols = 64;
constexpr unsigned kLiteralSymbols = 256;
} // namespace

void TShannonFanoTree::Read(TBitInput& in, unsigned symbolCount) {
    // The table: a byte giving the number of table bytes less one, then per byte
    // (high nibble + 1) symbols of (low nibble + 1) bits, in symbol order.
    std::array<std::uint8_t, kMaxSymbols> lengths{};
    const unsigned tableBytes = in.Read(8) + 1;
    unsigned filled = 0;
    for (unsigned i = 0; i < tableBytes; ++i) {
        const unsigned entry = in.Read(8);
        const unsigned count = (entry >> 4) + 1;
        const unsigned bits = (entry & 0x0F) + 1;
        if (count > symbolCount - filled)
            throw EZCompressionError();
        std::fill_n(lengths.begin() + filled, count, static_cast<std::uint8_t>(bits));
        filled += count;
    }
    if (filled != symbolCount)
        throw EZCompressionError();

    // Codes are handed out from the longest length down, as 16-bit left-aligned
    // values: each symbol's code is the previous one plus the step of the
    // previous length. Among equal lengths the later symbol gets the lower code.
    std::array<std::uint16_t, kMaxSymbols> order{};
    std::iota(order.begin(), order.begin() + symbolCount, std::uint16_t{0});
    std::stable_sort(order.begin(), order.begin() + symbolCount,
                     [&lengths](std::uint16_t a, std::uint16_t b) { return lengths[a] < lengths[b]; });
    FChild[0] = {kEmpty, kEmpty};
    FNodeCount = 1;
    std::uint32_t code = 0;
    std::uint32_t step = 0;
    unsigned lastBits = 0;
    for (unsigned i = symbolCount; i-- > 0;) {
        const unsigned symbol = order[i];
        code += step;
        if (code > 0xFFFF)
            throw EZCompressionError(); // more codes than the lengths leave room for
        if (lengths[symbol] != lastBits) {
            lastBits = lengths[symbol];
            step = 1u << (kMaxBits - lastBits);
        }
        Insert(symbol, code >> (kMaxBits - lastBits), lastBits);
    }
}

void TShannonFanoTree::Insert(unsigned symbol, unsigned code, unsigned bits) {
    // The code's most significant bit is the first one in the stream.
    unsigned node = 0;
    for (unsigned i = bits; i-- > 0;) {
        std::int16_t& slot = FChild[node][(code >> i) & 1u];
        if (i == 0) {
            if (slot != kEmpty)
                throw EZCompressionError(); // two codes share a prefix
            slot = static_cast<std::int16_t>(-2 - static_cast<int>(symbol));
            return;
        }
        if (slot == kEmpty) {
            FChild[FNodeCount] = {kEmpty, kEmpty};
            slot = static_cast<std::int16_t>(FNodeCount++);
        } else if (slot < 0) {
            throw EZCompressionError(); // a shorter code is this one's prefix
        }
        node = static_cast<unsigned>(slot);
    }
}

unsigned TShannonFanoTree::Decode(TBitInput& in) const {
    unsigned node = 0;
    for (;;) {
        const std::int16_t slot = FChild[node][in.Read(1)];
        if (slot == kEmpty)
            throw EZCompressionError(); // a bit pattern no code starts with
        if (slot < 0)
            return static_cast<unsigned>(-2 - slot);
        node = static_cast<unsigned>(slot);
    }
}

void TExplodeDecoder::Decode(IEntryIo& io) {
    TBitInput in(io);
    TWindowOutput out(io);
    if (FDeclaredSize == 0) {
        out.Finish();
        return;
    }
    const bool literalTree = (FFlags & kFlagLiteralTree) != 0;
    const unsigned distanceLowBits = (FFlags & kFlagLargeDictionary) != 0 ? 7 : 6;
    const std::size_t minimumMatch = literalTree ? 3 : 2;
    if (literalTree)
        FLiterals.Read(in, kLiteralSymbols);
    FLengths.Read(in, kLengthSymbols);
    FDistances.Read(in, kDistanceSymbols);

    while (out.Written() < FDeclaredSize) {
        if (in.Read(1) != 0) {
            out.Put(static_cast<std::uint8_t>(literalTree ? FLiterals.Decode(in) : in.Read(8)));
            continue;
        }
        const unsigned distanceLow = in.Read(distanceLowBits);
        const std::size_t distance = (FDistances.Decode(in) << distanceLowBits | distanceLow) + 1u;
        std::size_t length = FLengths.Decode(in) + minimumMatch;
        if (length == kLengthSymbols - 1 + minimumMatch)
            length += in.Read(8);
        // A match past the declared size shows up at the flush as data longer than declared.
        out.Copy(distance, length);
    }
    out.Finish();
}
