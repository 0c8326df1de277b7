#include "LegacyStreams.h"

#include "archive/UnZipErrors.h"

bool TBitInput::Fill(unsigned count) {
    while (FBitCount < count) {
        if (FPosition == FData.size()) {
            if (FEnded)
                return false;
            FData = FIo.RefillInput();
            FPosition = 0;
            if (FData.empty()) {
                FEnded = true;
                return false;
            }
        }
        FBits |= static_cast<std::uint32_t>(FData[FPosition++]) << FBitCount;
        FBitCount += 8;
    }
    return true;
}

bool TBitInput::TryRead(unsigned count, unsigned& value) {
    if (!Fill(count))
        return false;
    value = FBits & ((1u << count) - 1u);
    FBits >>= count;
    FBitCount -= count;
    return true;
}

unsigned TBitInput::Read(unsigned count) {
    unsigned value = 0;
    if (!TryRead(count, value))
        throw EZCompressionError();
    return value;
}

void TWindowOutput::Copy(std::size_t distance, std::size_t length) {
    if (distance == 0 || distance > kWindowSize)
        throw EZCompressionError();
    // One byte at a time: a distance shorter than the length repeats the bytes
    // just written, and the window slot is read before Put overwrites it.
    for (std::size_t i = 0; i < length; ++i)
        Put(FWindow[(FWritten - distance) & (kWindowSize - 1)]);
}

void TWindowOutput::Finish() {
    if (FFill > 0)
        FIo.FlushOutput(FFill);
    FFill = 0;
}
