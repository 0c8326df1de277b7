#pragma once
#include "archive/EntryDecoder.h"

// Method 8: raw Deflate data (no zlib header or check value), decoded by zlib.
class TInflateDecoder : public IEntryDecoder {
public:
    void Decode(IEntryIo& io) override;
};
