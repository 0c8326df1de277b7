#pragma once
// Input and output helpers shared by the decoders of the older methods (shrunk,
// reduced, imploded): a bit reader that takes bits least significant first
// through RefillInput, and an output that fills the component's block, hands it
// on in kBlockSize pieces and keeps a sliding window for back references.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "archive/EntryDecoder.h"

class TBitInput {
public:
    static constexpr unsigned kMaxBits = 16;

    explicit TBitInput(IEntryIo& io) : FIo(io) {}

    // The next count (0..kMaxBits) bits as a number, the first bit read being the
    // least significant. Raises EZCompressionError when the stored bytes end first.
    unsigned Read(unsigned count);
    // As Read, but answers false (consuming nothing) when fewer than count bits remain.
    bool TryRead(unsigned count, unsigned& value);

private:
    bool Fill(unsigned count);

    IEntryIo& FIo;
    std::span<const std::uint8_t> FData;
    std::size_t FPosition = 0;
    std::uint32_t FBits = 0;
    unsigned FBitCount = 0;
    bool FEnded = false; // RefillInput has answered empty; it is not asked again
};

class TWindowOutput {
public:
    // The largest back-reference distance any of these methods can express.
    static constexpr std::size_t kWindowSize = 8192;

    explicit TWindowOutput(IEntryIo& io) : FIo(io), FBlock(io.OutputBlock()) {}

    void Put(std::uint8_t value) {
        FWindow[FWritten & (kWindowSize - 1)] = value;
        FBlock[FFill] = value;
        ++FWritten;
        if (++FFill == IEntryIo::kBlockSize) {
            FFill = 0;
            FIo.FlushOutput(IEntryIo::kBlockSize);
        }
    }
    // Copies length bytes starting distance (1..kWindowSize) bytes back; bytes
    // before the start of the output read as zeros.
    void Copy(std::size_t distance, std::size_t length);
    // Hands on the last, partial block.
    void Finish();
    std::uint64_t Written() const { return FWritten; }

private:
    IEntryIo& FIo;
    std::uint8_t* FBlock;
    std::size_t FFill = 0;
    std::uint64_t FWritten = 0;
    std::array<std::uint8_t, kWindowSize> FWindow{};
};
