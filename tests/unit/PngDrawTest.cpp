#include "ui/PngDraw.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// A white BGR surface with padded rows, as a DIB section has them.
struct TSurface {
    int Width, Height, Stride;
    std::vector<std::uint8_t> Bytes;
    TSurface(int w, int h, std::uint8_t fill = 255)
        : Width(w), Height(h), Stride((w * 3 + 3) & ~3), Bytes(static_cast<std::size_t>(Stride) * h, fill) {}
    TBgrSurface View() { return TBgrSurface{Bytes.data(), Width, Height, Stride}; }
    // Returns R, G, B of a pixel.
    std::array<int, 3> At(int x, int y) const {
        const std::uint8_t* p = Bytes.data() + static_cast<std::size_t>(y) * Stride + x * 3;
        return {p[2], p[1], p[0]};
    }
};

// A picture whose pixel (x, y) encodes its column in red and its row in green.
std::vector<std::uint8_t> CoordinatePicture(int w, int h, std::uint8_t alpha = 255) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &px[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x >> 8);
            p[3] = alpha;
        }
    return px;
}

TEST(PngDraw, StretchingTheBackgroundMapsColumnsByTruncationAndNeverSamplesTheLastColumn) {
    const int w = 686, h = 427;
    const auto px = CoordinatePicture(w, h);
    TSurface surface(601, 427);
    DrawRgba(TRgbaView{px.data(), w, h}, surface.View(), 0, 0, 601, 427);
    bool sawLastColumn = false;
    for (int x = 0; x < 601; ++x) {
        const auto c = surface.At(x, 200);
        const int column = c[0] + (c[2] << 8);
        ASSERT_EQ(column, x * 686 / 601) << "output column " << x;
        sawLastColumn |= column == 685;
    }
    EXPECT_FALSE(sawLastColumn);
    EXPECT_EQ(surface.At(600, 0)[0] + (surface.At(600, 0)[2] << 8), 684);
    for (int y : {0, 1, 213, 426}) // rows map one to one
        EXPECT_EQ(surface.At(37, y)[1], y & 0xFF);
}

TEST(PngDraw, BlendTableMatchesTheRoundedFormula) {
    struct TCase {
        int s, d, a, expected;
    } cases[] = {
        {200, 10, 0, 10},                                 // transparent keeps the destination
        {200, 10, 255, 200},                              // opaque replaces it
        {20, 255, 87, (20 * 87 + 255 * 168 + 255) / 256}, // the frame's corner over white
        {0, 0, 1, 0},                                     // (0 + 0 + 255) div 256
        {255, 255, 128, 255},                             // (32640 + 32385 + 255) div 256
        {255, 0, 254, 254},
        {0, 255, 1, 254},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlendChannel(static_cast<std::uint8_t>(c.s), static_cast<std::uint8_t>(c.d),
                               static_cast<std::uint8_t>(c.a)),
                  c.expected)
            << c.s << "," << c.d << "," << c.a;
        // The same result through the drawing routine, on each channel.
        const std::vector<std::uint8_t> px{static_cast<std::uint8_t>(c.s), static_cast<std::uint8_t>(c.s),
                                           static_cast<std::uint8_t>(c.s), static_cast<std::uint8_t>(c.a)};
        TSurface surface(1, 1, static_cast<std::uint8_t>(c.d));
        DrawRgba(TRgbaView{px.data(), 1, 1}, surface.View(), 0, 0, 1, 1);
        EXPECT_EQ(surface.At(0, 0), (std::array<int, 3>{c.expected, c.expected, c.expected}));
    }
}

TEST(PngDraw, BlendsChannelsSeparatelyInBgrOrder) {
    const std::vector<std::uint8_t> px{250, 100, 0, 128};
    TSurface surface(1, 1);
    surface.Bytes[0] = 30; // blue
    surface.Bytes[1] = 60; // green
    surface.Bytes[2] = 90; // red
    DrawRgba(TRgbaView{px.data(), 1, 1}, surface.View(), 0, 0, 1, 1);
    EXPECT_EQ(surface.At(0, 0),
              (std::array<int, 3>{(250 * 128 + 90 * 127 + 255) / 256, (100 * 128 + 60 * 127 + 255) / 256,
                                  (0 * 128 + 30 * 127 + 255) / 256}));
}

TEST(PngDraw, UnstretchedDrawingIsOneToOneAndClipsToSurfaceAndClipRect) {
    const auto px = CoordinatePicture(24, 24);
    TSurface surface(30, 30);
    // Placed at (2, 2) and cut to a 23 x 23 box at the origin, as a pushed 23-pixel button shows it.
    DrawRgba(TRgbaView{px.data(), 24, 24}, surface.View(), 2, 2, 24, 24, TPixelRect{0, 0, 23, 23});
    EXPECT_EQ(surface.At(2, 2), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(surface.At(22, 22), (std::array<int, 3>{20, 20, 0}));
    EXPECT_EQ(surface.At(23, 10), (std::array<int, 3>{255, 255, 255})); // outside the clip
    EXPECT_EQ(surface.At(1, 1), (std::array<int, 3>{255, 255, 255}));   // before the picture
    // Negative placement and a picture running past the surface's end do not write out of bounds.
    TSurface small(5, 5);
    DrawRgba(TRgbaView{px.data(), 24, 24}, small.View(), -3, -4, 24, 24);
    EXPECT_EQ(small.At(0, 0), (std::array<int, 3>{3, 4, 0}));
    EXPECT_EQ(small.At(4, 4), (std::array<int, 3>{7, 8, 0}));
}

TEST(PngDraw, ShrinkingAndEnlargingSampleByTruncation) {
    const auto px = CoordinatePicture(4, 2);
    TSurface surface(8, 3);
    DrawRgba(TRgbaView{px.data(), 4, 2}, surface.View(), 0, 0, 8, 3);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(surface.At(x, 0)[0], x * 4 / 8);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(surface.At(0, y)[1], y * 2 / 3);
    TSurface narrow(3, 1);
    DrawRgba(TRgbaView{px.data(), 4, 2}, narrow.View(), 0, 0, 3, 1);
    EXPECT_EQ(narrow.At(0, 0)[0], 0);
    EXPECT_EQ(narrow.At(1, 0)[0], 1);
    EXPECT_EQ(narrow.At(2, 0)[0], 2);
}

TEST(PngDraw, EmptyPictureOrZeroRectangleDrawsNothing) {
    TSurface surface(2, 2);
    const auto before = surface.Bytes;
    const auto px = CoordinatePicture(2, 2);
    DrawRgba(TRgbaView{}, surface.View(), 0, 0, 2, 2);
    DrawRgba(TRgbaView{px.data(), 2, 2}, surface.View(), 0, 0, 0, 2);
    EXPECT_EQ(surface.Bytes, before);
}

} // namespace
