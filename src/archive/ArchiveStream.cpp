#include "ArchiveStream.h"

#include <algorithm>
#include <cstring>

#include "UnZipErrors.h"

namespace {
std::int64_t ResolveSeek(std::int64_t position, std::int64_t size, std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = origin == TSeekOrigin::Begin ? 0 : origin == TSeekOrigin::Current ? position : size;
    if (offset < 0 && base < -offset)
        return 0;
    if (offset > 0 && base > INT64_MAX - offset)
        return INT64_MAX;
    return base + offset;
}
} // namespace

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (FPosition >= FSize)
        return 0;
    const auto n =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), FSize - FPosition));
    std::memcpy(buffer, FData + FPosition, n);
    FPosition += static_cast<std::int64_t>(n);
    return n;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    FPosition = ResolveSeek(FPosition, FSize, offset, origin);
    return FPosition;
}

std::unique_ptr<TBufferedFileStream> TBufferedFileStream::OpenRead(const std::string& path) {
    TFile file = TFile::OpenRead(path);
    if (!file.IsOpen())
        throw EFOpenError(path);
    return std::make_unique<TBufferedFileStream>(std::move(file), false);
}

std::unique_ptr<TBufferedFileStream> TBufferedFileStream::Create(const std::string& path) {
    TFile file = TFile::Create(path);
    if (!file.IsOpen())
        return nullptr;
    return std::make_unique<TBufferedFileStream>(std::move(file), true);
}

TBufferedFileStream::TBufferedFileStream(TFile file, bool writing)
    : FFile(std::move(file)), FWriting(writing), FBuffer(kBufferSize) {}

TBufferedFileStream::~TBufferedFileStream() {
    Close();
}

std::size_t TBufferedFileStream::Read(void* buffer, std::size_t count) {
    if (FWriting || !FFile.IsOpen())
        return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (FBufferPos == FBufferFill) {
            // Large reads bypass the buffer.
            if (count - done >= kBufferSize) {
                FBufferPos = FBufferFill = 0; // the buffer no longer lies just before the position
                const std::size_t n = FFile.Read(out + done, count - done);
                done += n;
                FPosition += static_cast<std::int64_t>(n);
                break;
            }
            FBufferPos = 0;
            FBufferFill = FFile.Read(FBuffer.data(), kBufferSize);
            if (FBufferFill == 0)
                break;
        }
        const std::size_t n = std::min(count - done, FBufferFill - FBufferPos);
        std::memcpy(out + done, FBuffer.data() + FBufferPos, n);
        FBufferPos += n;
        done += n;
        FPosition += static_cast<std::int64_t>(n);
    }
    return done;
}

std::size_t TBufferedFileStream::Write(const void* buffer, std::size_t count) {
    if (!FWriting || !FFile.IsOpen())
        return 0;
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (FBufferPos == kBufferSize && !Flush())
            break;
        const std::size_t n = std::min(count - done, kBufferSize - FBufferPos);
        std::memcpy(FBuffer.data() + FBufferPos, in + done, n);
        FBufferPos += n;
        done += n;
        FPosition += static_cast<std::int64_t>(n);
    }
    return done;
}

bool TBufferedFileStream::Flush() {
    if (!FWriting || FBufferPos == 0)
        return true;
    const std::size_t written = FFile.Write(FBuffer.data(), FBufferPos);
    const bool complete = written == FBufferPos;
    FBufferPos = 0;
    return complete;
}

std::int64_t TBufferedFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    if (origin == TSeekOrigin::Current && offset == 0)
        return FPosition;
    if (!FFile.IsOpen())
        return FPosition;
    const std::int64_t target = ResolveSeek(FPosition, origin == TSeekOrigin::End ? Size() : 0, offset, origin);
    if (FWriting) {
        Flush();
    } else {
        // A target inside the buffered block needs no file access.
        const std::int64_t blockStart = FPosition - static_cast<std::int64_t>(FBufferPos);
        if (target >= blockStart && target <= blockStart + static_cast<std::int64_t>(FBufferFill)) {
            FBufferPos = static_cast<std::size_t>(target - blockStart);
            FPosition = target;
            return FPosition;
        }
        FBufferPos = FBufferFill = 0;
    }
    const std::int64_t reached = FFile.Seek(target, TSeekOrigin::Begin);
    FPosition = reached < 0 ? target : reached;
    return FPosition;
}

std::int64_t TBufferedFileStream::Size() {
    if (!FFile.IsOpen())
        return 0;
    const std::int64_t fileSize = FFile.Size();
    return FWriting ? std::max(fileSize, FPosition) : fileSize;
}

bool TBufferedFileStream::SetSize(std::int64_t size) {
    if (!FWriting || !FFile.IsOpen() || !Flush())
        return false;
    if (!FFile.SetSize(size))
        return false;
    FFile.Seek(FPosition, TSeekOrigin::Begin);
    return true;
}

void TBufferedFileStream::Close() {
    if (!FFile.IsOpen())
        return;
    Flush();
    FFile.Close();
}
