// Writers for small .BMP, .ICO, .CUR and .WAV files and the drawings of the example project. Used
// by the example generator, the benchmark generator and the tests that need source files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo::sample {

// Pixels top-down, each 0xAARRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0xFF000000u)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Bottom-up 24-bit BMP file; alpha is ignored.
std::string encodeBmp24(const Image& image);
// Bottom-up 8-bit BMP file with the given palette (0x00RRGGBB) and one index per pixel.
std::string encodeBmp8(int width, int height, const std::vector<std::uint32_t>& palette,
                       const std::vector<std::uint8_t>& indices);

// One image of an icon file as its directory entry describes it.
struct IconImage {
    std::uint8_t width = 0; // 0 means 256
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 32;
    std::string data;
};
// A 32-bit image with alpha, plus the AND mask that older readers use.
IconImage iconImage32(const Image& image);
// The .ICO file: header, directory, then the images in order.
std::string encodeIcon(const std::vector<IconImage>& images);

// One image of a cursor file: the image and its hot spot, which the directory entry holds where an
// icon's holds planes and bit count.
struct CursorImage {
    IconImage image;
    std::uint16_t hotX = 0;
    std::uint16_t hotY = 0;
};
// The .CUR file: header (type 2), directory, then the images in order.
std::string encodeCursor(const std::vector<CursorImage>& images);

// 16-bit mono PCM.
std::string encodeWav16(int sampleRate, const std::vector<std::int16_t>& samples);

// Drawings of the example project.
Image drawBadge(int size);               // rounded square with a white K
Image drawBanner(int width, int height); // badge and the word "Kelbo"
Image drawColourWheel(int size);         // hue around, saturation outwards
Image drawPointer(int size);             // an arrow whose tip, the hot spot, is at (1, 1)
std::vector<std::int16_t> synthChime(int sampleRate);
std::vector<std::int16_t> synthClick(int sampleRate);

// Writes `bytes` to `path`; false on any failure.
bool writeBinaryFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace kelbo::sample
