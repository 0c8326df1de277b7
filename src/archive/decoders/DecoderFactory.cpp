#include "archive/EntryDecoder.h"
#include "archive/ZipHeaderInfo.h"
#include "ExplodeDecoder.h"
#include "InflateDecoder.h"
#include "StoredDecoder.h"
#include "UnreduceDecoder.h"
#include "UnshrinkDecoder.h"

// Methods without a decoder (7, 9 and above) take the unknown-method path.
std::unique_ptr<IEntryDecoder> MakeEntryDecoder(const TZipHeaderInfo& entry) {
    switch (entry.CompressionMethod) {
    case 0:
        return std::make_unique<TStoredDecoder>();
    case 1:
        return std::make_unique<TUnshrinkDecoder>(entry.UncompressedSize);
    case 2:
    case 3:
    case 4:
    case 5: // compression factors 1 to 4
        return std::make_unique<TUnreduceDecoder>(entry.CompressionMethod - 1u, entry.UncompressedSize);
    case 6:
        return std::make_unique<TExplodeDecoder>(entry.Flags, entry.UncompressedSize);
    case 8:
        return std::make_unique<TInflateDecoder>();
    default:
        return nullptr;
    }
}
