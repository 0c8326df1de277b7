#pragma once
#include <array>
#include <cstdint>

#include "archive/EntryDecoder.h"

class TBitInput;

// A Shannon-Fano code read from its compressed bit-length table and kept as a
// binary tree, decoded one bit at a time.
class TShannonFanoTree {
public:
    // Reads the table of symbolCount (64 or 256) bit lengths and builds the codes.
    // Raises EZCompressionError for a table that does not give one prefix-free code per symbol.
    void Read(TBitInput& in, unsigned symbolCount);
    unsigned Decode(TBitInput& in) const;

private:
    static constexpr unsigned kMaxSymbols = 256;
    static constexpr unsigned kMaxBits = 16;
    // Each symbol adds at most one node per bit of its code.
    static constexpr unsigned kMaxNodes = kMaxSymbols * kMaxBits + 1;
    static constexpr std::int16_t kEmpty = -1;

    void Insert(unsigned symbol, unsigned code, unsigned bits);

    // Child of node n for bit b: kEmpty, a node index (>= 0) or a leaf -2 - symbol.
    std::array<std::array<std::int16_t, 2>, kMaxNodes> FChild{};
    unsigned FNodeCount = 0;
};

// Method 6 (imploded): a sliding dictionary of 4 KB (flag bit 1 clear) or 8 KB
// (set), its literals, lengths and distances coded with Shannon-Fano trees: a
// length and a distance tree, plus a literal tree when flag bit 2 is set. The
// stream has no end marker: decoding stops at the declared size.
class TExplodeDecoder : public IEntryDecoder {
public:
    TExplodeDecoder(std::uint16_t flags, std::uint64_t declaredSize) : FFlags(flags), FDeclaredSize(declaredSize) {}
    void Decode(IEntryIo& io) override;

private:
    std::uint16_t FFlags;
    std::uint64_t FDeclaredSize;
    TShannonFanoTree FLiterals;
    TShannonFanoTree FLengths;
    TShannonFanoTree FDistances;
};
