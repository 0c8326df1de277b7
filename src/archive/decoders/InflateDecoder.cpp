#include "InflateDecoder.h"

#include <zlib.h>

#include "archive/UnZipErrors.h"

namespace {
// Owns an inflate state; released on every path out of Decode.
class TInflateState {
public:
    TInflateState() {
        if (inflateInit2(&FStream, -MAX_WBITS) != Z_OK)
            throw EZCompressionError();
    }
    ~TInflateState() { inflateEnd(&FStream); }
    TInflateState(const TInflateState&) = delete;
    TInflateState& operator=(const TInflateState&) = delete;
    z_stream& Get() { return FStream; }

private:
    z_stream FStream{};
};
} // namespace

void TInflateDecoder::Decode(IEntryIo& io) {
    TInflateState state;
    z_stream& zs = state.Get();
    std::uint8_t* const out = io.OutputBlock();
    zs.next_out = out;
    zs.avail_out = IEntryIo::kBlockSize;
    bool inputEnded = false;
    for (;;) {
        if (zs.avail_in == 0 && !inputEnded) {
            const auto input = io.RefillInput();
            if (input.empty()) {
                inputEnded = true;
            } else {
                zs.next_in = const_cast<Bytef*>(input.data());
                zs.avail_in = static_cast<uInt>(input.size());
            }
        }
        // With the input used up and nothing left to produce, zlib answers
        // Z_BUF_ERROR: a stream cut short ends with the decoding error.
        const int rc = inflate(&zs, Z_NO_FLUSH);
        if (rc < 0 || rc == Z_NEED_DICT)
            throw EZCompressionError();
        const std::size_t produced = IEntryIo::kBlockSize - zs.avail_out;
        if (rc == Z_STREAM_END) {
            if (produced > 0)
                io.FlushOutput(produced);
            return;
        }
        if (zs.avail_out == 0) {
            io.FlushOutput(produced);
            zs.next_out = out;
            zs.avail_out = IEntryIo::kBlockSize;
        }
    }
}
