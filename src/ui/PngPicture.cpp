#include "ui/PngPicture.h"

#include <png.h>

#include <algorithm>
#include <istream>
#include <iterator>
#include <stdexcept>

namespace {

// libpng's simplified reading interface keeps its error handling inside libpng
// (no longjmp or unwinding through C frames) and always releases its state.
struct TPngImageGuard {
    png_image Image{};
    ~TPngImageGuard() { png_image_free(&Image); }
};

constexpr png_uint_32 kMaxSide = 16384; // refuse absurd sizes instead of failing to allocate

} // namespace

void TPngPicture::LoadFromMemory(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!bytes || size < 8 || png_sig_cmp(bytes, 0, 8) != 0)
        throw EPngError();
    TPngImageGuard guard;
    guard.Image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&guard.Image, bytes, size))
        throw EPngError();
    const png_uint_32 width = guard.Image.width;
    const png_uint_32 height = guard.Image.height;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        throw EPngError();
    const bool palette = (guard.Image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    // 8-bit sRGB RGBA output is straight (not premultiplied) alpha; pictures without
    // alpha come out fully opaque.
    guard.Image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    if (!png_image_finish_read(&guard.Image, nullptr, pixels.data(), 0, nullptr))
        throw EPngError();

    FPixels = std::move(pixels);
    FWidth = static_cast<int>(width);
    FHeight = static_cast<int>(height);
    FPalette = palette;
}

void TPngPicture::LoadFromStream(std::istream& stream) {
    const std::vector<char> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    LoadFromMemory(bytes.data(), bytes.size());
}

void TPngPicture::Clear() {
    FPixels.clear();
    FWidth = FHeight = 0;
    FPalette = false;
}

void TPngPicture::SetPixels(int width, int height, std::vector<std::uint8_t> rgba) {
    if (width < 0 || height < 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4)
        throw std::invalid_argument("SetPixels: size mismatch");
    FPixels = std::move(rgba);
    FWidth = width;
    FHeight = height;
    FPalette = false;
}
