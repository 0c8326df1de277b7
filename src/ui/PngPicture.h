#pragma once
// A decoded PNG picture held as 8-bit RGBA pixels. Every picture is expanded to
// RGBA on load (grey, palette and 16-bit pictures included), so drawing needs one
// path only; the original colour type is remembered for the fading rule.
#include "ui/PngDraw.h"
#include "util/Exception.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

class EPngError : public Exception {
public:
    EPngError() : Exception("PNG图像格式无效.") {}
};

class EPngResourceNotFound : public Exception {
public:
    EPngResourceNotFound() : Exception("不能从指定的资源文件中读取PNG图像.") {}
};

class TPngPicture {
public:
    TPngPicture() = default;

    // Decodes a whole PNG file image; on failure the picture is left unchanged.
    void LoadFromMemory(const void* data, std::size_t size);
    // Reads the stream to its end and decodes it.
    void LoadFromStream(std::istream& stream);

    void Assign(const TPngPicture& source) { *this = source; }
    void Clear();

    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // True when the file was a palette picture (the fading rule leaves those alone).
    bool IsPalette() const { return FPalette; }

    // The picture's own transparency flag; drawing always uses the per-pixel alpha.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value) { FTransparent = value; }

    TRgbaView View() const { return TRgbaView{FPixels.data(), FWidth, FHeight}; }
    std::vector<std::uint8_t>& Pixels() { return FPixels; }

    // Makes an RGBA picture from raw pixels (tests and generated pictures).
    void SetPixels(int width, int height, std::vector<std::uint8_t> rgba);

private:
    std::vector<std::uint8_t> FPixels;
    int FWidth = 0;
    int FHeight = 0;
    bool FPalette = false;
    bool FTransparent = false;
};
