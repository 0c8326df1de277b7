#pragma once
#include "archive/EntryDecoder.h"

// Method 0: the stored bytes are the data.
class TStoredDecoder : public IEntryDecoder {
public:
    void Decode(IEntryIo& io) override;
};
