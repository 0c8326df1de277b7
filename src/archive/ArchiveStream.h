#pragma once
// Byte streams the archive component reads archives from and writes output to:
// an abstract stream, a read-only view of memory, and a file stream with an
// 8192-byte buffer for reading or writing.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PlatformFile.h"

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; fewer at the end of the stream.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes count bytes; answers how many were written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position (never below 0; beyond the end reads nothing); answers the new position.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;
    std::int64_t Position() { return Seek(0, TSeekOrigin::Current); }
};

// A read-only stream over bytes the caller keeps alive.
class TMemoryStream : public TStream {
public:
    TMemoryStream(const void* data, std::size_t size)
        : FData(static_cast<const std::uint8_t*>(data)), FSize(static_cast<std::int64_t>(size)) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return FSize; }

private:
    const std::uint8_t* FData;
    std::int64_t FSize;
    std::int64_t FPosition = 0;
};

// A file stream with an 8192-byte buffer. A stream is used for reading or for
// writing, not both; a writing stream flushes its buffer on Seek, SetSize and Close.
class TBufferedFileStream : public TStream {
public:
    static constexpr std::size_t kBufferSize = 8192;

    // Opens for reading; others may read but not write. Raises EFOpenError.
    static std::unique_ptr<TBufferedFileStream> OpenRead(const std::string& path);
    // Creates (or truncates) for writing; nullptr when the file cannot be created.
    static std::unique_ptr<TBufferedFileStream> Create(const std::string& path);

    explicit TBufferedFileStream(TFile file, bool writing);
    ~TBufferedFileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;
    // Sets the file's length; false when the space cannot be had.
    bool SetSize(std::int64_t size);
    // Writes out the buffer; false when the write came up short.
    bool Flush();
    void Close();

private:
    TFile FFile;
    bool FWriting;
    std::vector<std::uint8_t> FBuffer;
    std::size_t FBufferPos = 0;  // read: next byte to hand out; write: bytes waiting
    std::size_t FBufferFill = 0; // read: valid bytes in the buffer
    std::int64_t FPosition = 0;  // logical position
};
