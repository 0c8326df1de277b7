#include "ui/PngDraw.h"

#include <algorithm>

void DrawRgba(const TRgbaView& picture, const TBgrSurface& surface, int left, int top, int w, int h,
              const TPixelRect& clip) {
    if (!picture.Pixels || picture.Width <= 0 || picture.Height <= 0 || w <= 0 || h <= 0)
        return;
    const int x0 = std::max({left, clip.Left, 0});
    const int y0 = std::max({top, clip.Top, 0});
    const int x1 = std::min({left + w, clip.Right, surface.Width});
    const int y1 = std::min({top + h, clip.Bottom, surface.Height});
    for (int y = y0; y < y1; ++y) {
        const int sy = SampleIndex(y - top, picture.Height, h);
        const std::uint8_t* sourceRow = picture.Pixels + static_cast<std::size_t>(sy) * picture.Width * 4;
        std::uint8_t* row = surface.Bits + static_cast<std::size_t>(y) * surface.Stride;
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t* s = sourceRow + static_cast<std::size_t>(SampleIndex(x - left, picture.Width, w)) * 4;
            const std::uint8_t a = s[3];
            if (a == 0)
                continue;
            std::uint8_t* d = row + static_cast<std::size_t>(x) * 3;
            d[0] = BlendChannel(s[2], d[0], a);
            d[1] = BlendChannel(s[1], d[1], a);
            d[2] = BlendChannel(s[0], d[2], a);
        }
    }
}

void DrawRgba(const TRgbaView& picture, const TBgrSurface& surface, int left, int top, int w, int h) {
    DrawRgba(picture, surface, left, top, w, h, TPixelRect{0, 0, surface.Width, surface.Height});
}
