#pragma once
// The drawing rule for RGBA pictures onto 24-bit surfaces: nearest-neighbour
// sampling with truncation, then a per-channel alpha blend. Pure pixel code,
// shared by every control that draws a PNG picture.
#include <cstdint>

// Tightly packed 8-bit RGBA rows, top row first.
struct TRgbaView {
    const std::uint8_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
};

// A 24-bit surface in the platform's B, G, R byte order, top row first.
struct TBgrSurface {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0; // bytes per row, at least 3 * Width
};

struct TPixelRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;  // exclusive
    int Bottom = 0; // exclusive
};

// One colour channel of the blend: alpha 0 keeps the destination, 255 takes
// the source, anything between mixes with a rounding bias of 255.
constexpr std::uint8_t BlendChannel(std::uint8_t s, std::uint8_t d, std::uint8_t a) {
    if (a == 0)
        return d;
    if (a == 255)
        return s;
    return static_cast<std::uint8_t>((s * a + d * (255 - a) + 255) / 256);
}

// Source column (or row) for destination offset x in a span of w pixels.
constexpr int SampleIndex(int x, int sourceSize, int w) {
    return static_cast<int>(static_cast<std::int64_t>(x) * sourceSize / w);
}

// Draws the picture into the destination rectangle (left, top, width w, height h),
// scaling by the sampling rule when the sizes differ. Only pixels inside both the
// surface and the clip rectangle are written.
void DrawRgba(const TRgbaView& picture, const TBgrSurface& surface, int left, int top, int w, int h,
              const TPixelRect& clip);

// Same, clipped to the whole surface.
void DrawRgba(const TRgbaView& picture, const TBgrSurface& surface, int left, int top, int w, int h);
