#include "StoredDecoder.h"

void TStoredDecoder::Decode(IEntryIo& io) {
    while (const std::size_t count = io.ReadStoredBlock())
        io.FlushOutput(count);
}
