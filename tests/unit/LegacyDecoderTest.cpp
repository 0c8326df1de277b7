// The decoders of the older methods driven directly: how they take input and
// hand on output blocks, and hand-made streams for the paths and errors that
// the fixtures do not reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

#include "archive/EntryDecoder.h"
#include "archive/UnZipErrors.h"
#include "archive/ZipHeaderInfo.h"
#include "LegacyTestSupport.h"

namespace {

// Offers the stored bytes in chunks of a given size and keeps what is flushed.
class TFakeIo : public IEntryIo {
public:
    TFakeIo(TBytes input, std::size_t chunk) : FInput(std::move(input)), FChunk(chunk) {}

    std::span<const std::uint8_t> RefillInput() override {
        if (FPosition == FInput.size()) {
            ++CallsAfterEnd;
            return {};
        }
        const std::size_t count = std::min(FChunk, FInput.size() - FPosition);
        const std::span<const std::uint8_t> chunk(FInput.data() + FPosition, count);
        FPosition += count;
        return chunk;
    }
    std::size_t ReadStoredBlock() override { return 0; }
    std::uint8_t* OutputBlock() override { return FBlock.data(); }
    void FlushOutput(std::size_t count) override {
        EXPECT_GE(count, 1u);
        EXPECT_LE(count, kBlockSize);
        Flushes.push_back(count);
        Output.append(reinterpret_cast<const char*>(FBlock.data()), count);
    }

    std::vector<std::size_t> Flushes;
    std::string Output;
    int CallsAfterEnd = 0;

private:
    TBytes FInput;
    std::size_t FChunk;
    std::size_t FPosition = 0;
    std::array<std::uint8_t, kBlockSize> FBlock{};
};

TZipHeaderInfo EntryOf(std::uint16_t method, std::uint16_t flags, std::uint64_t declaredSize) {
    TZipHeaderInfo entry;
    entry.CompressionMethod = method;
    entry.MethodField = method;
    entry.Flags = flags;
    entry.UncompressedSize = declaredSize;
    return entry;
}

// The decoded text, or "error" when the decoder rejects the stream.
std::string DecodeOrError(const TZipHeaderInfo& entry, const TBytes& stored) {
    TFakeIo io(stored, 5);
    try {
        MakeEntryDecoder(entry)->Decode(io);
    } catch (const EZCompressionError&) {
        return "error";
    }
    EXPECT_LE(io.CallsAfterEnd, 1);
    return io.Output;
}

TEST(LegacyDecoders, OutputComesInWholeBlocksWhateverTheInputChunks) {
    // 45056 bytes: one full block and one partial block.
    struct TCase {
        const char* Fixture;
        int Method;
    };
    const TCase cases[] = {
        {"Zip.shrink.zip", 1},  {"Zip.reduce1.zip", 2}, {"Zip.reduce2.zip", 3},
        {"Zip.reduce3.zip", 4}, {"Zip.reduce4.zip", 5}, {"Zip.implode.zip", 6},
    };
    const TBytes expectedBytes = ReadBytes(LegacyFixture("expected/TEST.EXE"));
    const std::string expected(expectedBytes.begin(), expectedBytes.end());
    for (const TCase& c : cases) {
        for (const TRawEntry& raw : ReadRawEntries(ReadBytes(LegacyFixture(c.Fixture)))) {
            if (raw.UncompressedSize != 45056)
                continue;
            ASSERT_EQ(raw.Method, c.Method) << c.Fixture;
            for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, IEntryIo::kBlockSize}) {
                TFakeIo io(raw.Stored, chunk);
                MakeEntryDecoder(EntryOf(raw.Method, raw.Flags, raw.UncompressedSize))->Decode(io);
                EXPECT_EQ(io.Flushes, (std::vector<std::size_t>{32768, 12288})) << c.Fixture << " chunk " << chunk;
                EXPECT_TRUE(io.Output == expected) << c.Fixture << " chunk " << chunk;
                EXPECT_LE(io.CallsAfterEnd, 1) << c.Fixture;
            }
        }
    }
}

// Shrunk streams written code by code: (value, bits) pairs.
TBytes Codes(std::initializer_list<std::pair<unsigned, unsigned>> codes) {
    TBitWriter writer;
    for (const auto& [value, bits] : codes)
        writer.Put(value, bits);
    return writer.Bytes();
}

TEST(LegacyDecoders, UnshrinkHandMadeStreams) {
    struct TCase {
        const char* What;
        TBytes Stored;
        std::uint64_t DeclaredSize;
        std::string Result;
    };
    const TCase cases[] = {
        {"code defined by its own use", Codes({{'a', 9}, {'b', 9}, {258, 9}}), 4, "abbb"},
        {"code size grows after 256,1", Codes({{'a', 9}, {256, 9}, {1, 9}, {'b', 10}, {257, 10}}), 4, "abab"},
        {"partial clear frees leaves, lowest reused first",
         Codes({{'a', 9}, {'b', 9}, {256, 9}, {2, 9}, {'c', 9}, {257, 9}}), 5, "abcbc"},
        {"empty stream, nothing declared", {}, 0, ""},
        {"first code is not a byte", Codes({{300, 9}}), 1, "error"},
        {"unknown escape command", Codes({{'a', 9}, {256, 9}, {3, 9}}), 1, "error"},
        {"escape without its command", Codes({{'a', 9}, {256, 9}}), 1, "error"},
        {"unused code that is not the next one", Codes({{'a', 9}, {300, 9}}), 2, "error"},
        {"code size past 13 bits",
         Codes({{'a', 9},
                {256, 9},
                {1, 9},
                {256, 10},
                {1, 10},
                {256, 11},
                {1, 11},
                {256, 12},
                {1, 12},
                {256, 13},
                {1, 13}}),
         1, "error"},
        // After the clear, 257 is given the freed code 257 as its own prefix.
        {"prefix loop after a partial clear",
         Codes({{'a', 9}, {'b', 9}, {257, 9}, {256, 9}, {2, 9}, {'a', 9}, {257, 9}}), 7, "error"},
        {"stream shorter than declared", Codes({{'a', 9}, {'b', 9}}), 3, "error"},
        {"nothing stored, bytes declared", {}, 1, "error"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DecodeOrError(EntryOf(1, 0, c.DeclaredSize), c.Stored), c.Result) << c.What;
}

// A reduced stream with every follower set empty, so that each byte is 8 plain bits.
TBytes PlainReduced(std::initializer_list<unsigned> bytes) {
    TBitWriter writer;
    for (int set = 0; set < 256; ++set)
        writer.Put(0, 6);
    for (const unsigned byte : bytes)
        writer.Put(byte, 8);
    return writer.Bytes();
}

TEST(LegacyDecoders, UnreduceRunLayerForEachFactor) {
    for (unsigned factor = 1; factor <= 4; ++factor) {
        const unsigned lengthBits = 8 - factor;
        const unsigned maxLength = (1u << lengthBits) - 1;
        const std::uint16_t method = static_cast<std::uint16_t>(factor + 1);
        struct TCase {
            const char* What;
            TBytes Stored;
            std::string Result;
        };
        const TCase cases[] = {
            // Length 1 + 3 from 3 back.
            {"reference", PlainReduced({'a', 'b', 'c', 144, 1, 2}), "abcabca"},
            {"literal DLE", PlainReduced({'a', 144, 0, 'b'}),
             "a\x90"
             "b"},
            // Highest distance bit: 256 * 1 + 0 + 1 back, before the start: zeros.
            {"reference before the start", PlainReduced({'x', 144, 1u << lengthBits | 2, 0}),
             std::string("x\0\0\0\0\0", 6)},
            // The largest length takes one more byte: maxLength + 1 + 3.
            {"extended length", PlainReduced({'z', 144, maxLength, 1, 0}), std::string(maxLength + 5, 'z')},
        };
        for (const TCase& c : cases) {
            EXPECT_EQ(DecodeOrError(EntryOf(method, 0, c.Result.size()), c.Stored), c.Result)
                << c.What << ", factor " << factor;
        }
        // A reference reaching past the declared size is handed on whole: the
        // component's flush rejects it as data longer than declared.
        EXPECT_EQ(DecodeOrError(EntryOf(method, 0, 5), PlainReduced({'a', 'b', 'c', 144, 1, 2})), "abcabca");
    }
}

TEST(LegacyDecoders, UnreduceFollowerSets) {
    // The set of byte 0 (the one in effect at the start) holds 'p', 'q', 'r':
    // a 0 bit and a two-bit index pick from it, a 1 bit and 8 bits give any byte.
    const auto stream = [](unsigned count, std::initializer_list<std::pair<unsigned, unsigned>> body) {
        TBitWriter writer;
        for (int set = 255; set > 0; --set)
            writer.Put(0, 6);
        writer.Put(count, 6);
        for (unsigned i = 0; i < std::min(count, 3u); ++i)
            writer.Put("pqr"[i], 8);
        for (const auto& [value, bits] : body)
            writer.Put(value, bits);
        return writer.Bytes();
    };
    EXPECT_EQ(DecodeOrError(EntryOf(5, 0, 2), stream(3, {{0, 1}, {2, 2}, {'s', 8}})), "rs");
    EXPECT_EQ(DecodeOrError(EntryOf(5, 0, 1), stream(3, {{1, 1}, {'s', 8}})), "s");
    EXPECT_EQ(DecodeOrError(EntryOf(5, 0, 1), stream(3, {{0, 1}, {3, 2}})), "error");    // index past the set
    EXPECT_EQ(DecodeOrError(EntryOf(5, 0, 1), stream(33, {{1, 1}, {'s', 8}})), "error"); // set of 33
    EXPECT_EQ(DecodeOrError(EntryOf(5, 0, 2), stream(3, {{0, 1}, {2, 2}})), "error");    // ends early
}

TEST(LegacyDecoders, ExplodeRejectsTablesThatGiveNoCode) {
    // Table byte count - 1, then (symbols - 1) << 4 | (bits - 1) per byte.
    const auto tables = [](std::initializer_list<std::uint8_t> lengthTable) {
        TBytes stored = lengthTable;
        // A valid distance table (64 codes of 6 bits) and a little data after it.
        stored.insert(stored.end(), {3, 0xF5, 0xF5, 0xF5, 0xF5, 0xFF, 0xFF});
        return stored;
    };
    struct TCase {
        const char* What;
        TBytes Stored;
    };
    const TCase cases[] = {
        {"64 codes of one bit", tables({3, 0xF0, 0xF0, 0xF0, 0xF0})},
        {"63 symbols", tables({3, 0xF5, 0xF5, 0xF5, 0xE5})},
        {"65 symbols", tables({4, 0xF5, 0xF5, 0xF5, 0xF5, 0x05})},
        {"table cut short", TBytes{3, 0xF5}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DecodeOrError(EntryOf(6, 0, 10), c.Stored), "error") << c.What;
    // The same layout with a valid length table decodes: a literal 'A' (1 bit + 8).
    TBytes good = tables({3, 0xF5, 0xF5, 0xF5, 0xF5});
    good.resize(good.size() - 2);
    TBitWriter data;
    data.Put(1, 1);
    data.Put('A', 8);
    const TBytes bits = data.Bytes();
    good.insert(good.end(), bits.begin(), bits.end());
    EXPECT_EQ(DecodeOrError(EntryOf(6, 0, 1), good), "A");
}

} // namespace
