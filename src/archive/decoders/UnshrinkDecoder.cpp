#include "UnshrinkDecoder.h"

#include "archive/UnZipErrors.h"
#include "LegacyStreams.h"

namespace {
constexpr unsigned kEscape = 256;
constexpr unsigned kFirstFree = 257;
constexpr unsigned kInitialCodeBits = 9;
constexpr unsigned kMaxCodeBits = 13;
constexpr unsigned kGrowCodeSize = 1;
constexpr unsigned kPartialClear = 2;
} // namespace

void TUnshrinkDecoder::ResetTable() {
    for (unsigned code = 0; code < kTableSize; ++code) {
        FPrefix[code] = code < kEscape ? 0 : kFree;
        FLastByte[code] = static_cast<std::uint8_t>(code);
    }
    FNextFree = kFirstFree;
}

void TUnshrinkDecoder::PartialClear() {
    std::array<bool, kTableSize> isPrefix{};
    for (unsigned code = kFirstFree; code < kTableSize; ++code)
        if (FPrefix[code] != kFree && FPrefix[code] >= kFirstFree)
            isPrefix[FPrefix[code]] = true;
    for (unsigned code = kFirstFree; code < kTableSize; ++code)
        if (!isPrefix[code])
            FPrefix[code] = kFree;
    FNextFree = kFirstFree;
    while (FNextFree < kTableSize && FPrefix[FNextFree] != kFree)
        ++FNextFree;
}

void TUnshrinkDecoder::AddCode(unsigned prefix, std::uint8_t lastByte) {
    if (FNextFree >= kTableSize)
        return; // table full until the compressor clears it
    FPrefix[FNextFree] = static_cast<std::uint16_t>(prefix);
    FLastByte[FNextFree] = lastByte;
    do
        ++FNextFree;
    while (FNextFree < kTableSize && FPrefix[FNextFree] != kFree);
}

std::uint8_t TUnshrinkDecoder::FirstByte(unsigned code) const {
    // A chain longer than the table means the prefixes form a loop.
    for (unsigned steps = 0; code >= kFirstFree; ++steps) {
        if (FPrefix[code] == kFree || steps >= kTableSize)
            throw EZCompressionError();
        code = FPrefix[code];
    }
    return static_cast<std::uint8_t>(code);
}

void TUnshrinkDecoder::Emit(unsigned code, TWindowOutput& out) {
    // The string is collected last byte first, then written in order.
    std::size_t depth = 0;
    while (code >= kFirstFree) {
        if (FPrefix[code] == kFree || depth >= kTableSize - 1)
            throw EZCompressionError();
        FStack[depth++] = FLastByte[code];
        code = FPrefix[code];
    }
    out.Put(static_cast<std::uint8_t>(code));
    while (depth > 0)
        out.Put(FStack[--depth]);
}

void TUnshrinkDecoder::Decode(IEntryIo& io) {
    ResetTable();
    TBitInput in(io);
    TWindowOutput out(io);
    unsigned codeBits = kInitialCodeBits;
    bool havePrevious = false;
    unsigned previous = 0;
    unsigned code = 0;
    while (in.TryRead(codeBits, code)) {
        if (code == kEscape) {
            const unsigned command = in.Read(codeBits);
            if (command == kGrowCodeSize && codeBits < kMaxCodeBits)
                ++codeBits;
            else if (command == kPartialClear)
                PartialClear();
            else
                throw EZCompressionError();
            continue;
        }
        if (!havePrevious) {
            // The first code of the stream is a single byte.
            if (code >= kEscape)
                throw EZCompressionError();
        } else if (code >= kFirstFree && FPrefix[code] == kFree) {
            // The code being defined right now: the previous string plus its own first byte.
            if (code != FNextFree)
                throw EZCompressionError();
            AddCode(previous, FirstByte(previous));
        } else {
            AddCode(previous, FirstByte(code));
        }
        Emit(code, out);
        previous = code;
        havePrevious = true;
    }
    out.Finish();
    if (out.Written() != FDeclaredSize)
        throw EZCompressionError();
}
