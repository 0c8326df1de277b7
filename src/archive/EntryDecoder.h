#pragma once
// One decoder class per compression method. A decoder reads the entry's stored
// bytes through RefillInput (or, for the stored method, ReadStoredBlock) and
// hands its output in blocks of at most kBlockSize bytes to FlushOutput,
// flushing the last, partial block before Decode returns.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

struct TZipHeaderInfo;

class IEntryIo {
public:
    static constexpr std::size_t kBlockSize = 32768;

    virtual ~IEntryIo() = default;
    // The next block of stored bytes, already decrypted; empty once none remain.
    virtual std::span<const std::uint8_t> RefillInput() = 0;
    // Reads the next block of raw stored bytes straight into the output block;
    // answers its length, 0 once none remain.
    virtual std::size_t ReadStoredBlock() = 0;
    // The output block of kBlockSize bytes.
    virtual std::uint8_t* OutputBlock() = 0;
    // Writes the first count bytes (1..kBlockSize) of the output block.
    virtual void FlushOutput(std::size_t count) = 0;
};

class IEntryDecoder {
public:
    virtual ~IEntryDecoder() = default;
    virtual void Decode(IEntryIo& io) = 0;
};

// The decoder for the entry's compression method, or nullptr for a method
// that has no decoder.
std::unique_ptr<IEntryDecoder> MakeEntryDecoder(const TZipHeaderInfo& entry);
