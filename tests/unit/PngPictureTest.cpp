#include "ui/PngPicture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <sstream>
#include <vector>

namespace {

// Encodes pixels of the given libpng format into a PNG file image.
std::vector<std::uint8_t> EncodePng(int w, int h, png_uint_32 format, const std::vector<std::uint8_t>& pixels,
                                    const std::vector<std::uint8_t>& colormap = {}) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = format;
    if (!colormap.empty())
        image.colormap_entries = static_cast<png_uint_32>(colormap.size() / 4);
    png_alloc_size_t size = 0;
    const void* map = colormap.empty() ? nullptr : colormap.data();
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map));
    std::vector<std::uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, map));
    out.resize(size);
    return out;
}

TEST(PngPicture, DecodesRgbaExactlyWithStraightAlpha) {
    const std::vector<std::uint8_t> pixels{229, 0,   1,   255, 20, 146, 233, 87, 1,   2,  3,  0,
                                           255, 255, 255, 128, 9,  8,   7,   6,  100, 50, 25, 200};
    const auto file = EncodePng(3, 2, PNG_FORMAT_RGBA, pixels);
    TPngPicture picture;
    picture.LoadFromMemory(file.data(), file.size());
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_FALSE(picture.IsPalette());
    EXPECT_EQ(picture.Pixels(), pixels);
}

TEST(PngPicture, ExpandsGreyAndPaletteToOpaqueRgba) {
    const auto grey = EncodePng(2, 1, PNG_FORMAT_GRAY, {0, 200});
    TPngPicture picture;
    picture.LoadFromMemory(grey.data(), grey.size());
    EXPECT_EQ(picture.Pixels(), (std::vector<std::uint8_t>{0, 0, 0, 255, 200, 200, 200, 255}));
    EXPECT_FALSE(picture.IsPalette());

    const auto indexed = EncodePng(2, 1, PNG_FORMAT_RGBA_COLORMAP, {1, 0}, {10, 20, 30, 255, 40, 50, 60, 255});
    picture.LoadFromMemory(indexed.data(), indexed.size());
    EXPECT_TRUE(picture.IsPalette());
    EXPECT_EQ(picture.Pixels(), (std::vector<std::uint8_t>{40, 50, 60, 255, 10, 20, 30, 255}));
}

TEST(PngPicture, LoadsFromAStreamAndAssignCopies) {
    const auto file = EncodePng(1, 1, PNG_FORMAT_RGBA, {1, 2, 3, 4});
    std::istringstream stream(std::string(file.begin(), file.end()));
    TPngPicture picture;
    picture.LoadFromStream(stream);
    TPngPicture copy;
    copy.Assign(picture);
    picture.Clear();
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(copy.Pixels(), (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(PngPicture, DamagedDataRaisesAndKeepsThePreviousPicture) {
    const auto good = EncodePng(1, 1, PNG_FORMAT_RGBA, {1, 2, 3, 4});
    TPngPicture picture;
    picture.LoadFromMemory(good.data(), good.size());

    auto truncated = EncodePng(16, 16, PNG_FORMAT_RGBA, std::vector<std::uint8_t>(16 * 16 * 4, 77));
    truncated.resize(truncated.size() / 2);
    auto badCrc = good;
    badCrc[30] ^= 0xFF; // inside the header chunk: its check value no longer matches
    std::vector<std::uint8_t> notPng{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    for (const std::vector<std::uint8_t>* bytes : {&truncated, &badCrc, &notPng}) {
        EXPECT_THROW(picture.LoadFromMemory(bytes->data(), bytes->size()), EPngError);
        EXPECT_EQ(picture.Width(), 1);
        EXPECT_EQ(picture.Pixels(), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    }
    EXPECT_THROW(picture.LoadFromMemory(nullptr, 0), EPngError);
}

TEST(PngPicture, MissingResourceErrorCarriesItsFixedText) {
    EXPECT_STREQ(EPngResourceNotFound().what(), "不能从指定的资源文件中读取PNG图像.");
}

} // namespace
