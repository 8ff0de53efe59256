#include "SampleMedia.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <numbers>

namespace kelbo::sample {
namespace {

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putInfoHeader(std::string& out, int width, int height, std::uint16_t bitCount,
                   std::uint32_t imageSize, std::uint32_t coloursUsed) {
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, bitCount);
    put32(out, 0); // BI_RGB
    put32(out, imageSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, coloursUsed);
    put32(out, 0);
}

void putFileHeader(std::string& out, std::uint32_t fileSize, std::uint32_t bitsOffset) {
    out += "BM";
    put32(out, fileSize);
    put32(out, 0);
    put32(out, bitsOffset);
}

std::size_t rowStride(int width, int bitCount) {
    return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
}

struct Rgb {
    double r, g, b;
};

Rgb unpack(std::uint32_t c) {
    return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0};
}

std::uint32_t pack(Rgb c, double alpha = 1.0) {
    auto byte = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return (byte(alpha) << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Paints `colour` over the image wherever `inside` holds, with 4x4 supersampling for smooth
// edges. Coordinates handed to `inside` and `colour` are in pixels.
void paint(Image& img, const std::function<bool(double, double)>& inside,
           const std::function<Rgb(double, double)>& colour) {
    constexpr int kSub = 4;
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    if (inside(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub))
                        ++hits;
            if (hits == 0)
                continue;
            double cover = static_cast<double>(hits) / (kSub * kSub);
            std::uint32_t old = img.at(x, y);
            double oldAlpha = (old >> 24) / 255.0;
            Rgb src = colour(x + 0.5, y + 0.5);
            double alpha = cover + oldAlpha * (1 - cover);
            Rgb out = alpha > 0 ? mix(unpack(old), src, cover / alpha) : src;
            if (oldAlpha == 0)
                out = src;
            img.at(x, y) = pack(out, alpha);
        }
    }
}

bool inRoundedRect(double x, double y, double left, double top, double w, double h, double r) {
    double cx = std::clamp(x, left + r, left + w - r);
    double cy = std::clamp(y, top + r, top + h - r);
    double dx = x - cx, dy = y - cy;
    return x >= left && x <= left + w && y >= top && y <= top + h && dx * dx + dy * dy <= r * r;
}

double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double vx = bx - ax, vy = by - ay;
    double t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    double dx = px - (ax + t * vx), dy = py - (ay + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

// The badge drawn into `img` at (ox, oy) with side `s`.
void paintBadge(Image& img, double ox, double oy, double s) {
    const Rgb top{0.12, 0.35, 0.66}, bottom{0.07, 0.64, 0.63};
    const double radius = 0.22 * s;
    // Soft shadow first, so the badge lifts off light backgrounds.
    paint(
        img,
        [&](double x, double y) {
            return inRoundedRect(x, y, ox + 0.03 * s, oy + 0.05 * s, 0.97 * s, 0.95 * s, radius);
        },
        [&](double, double) {
            return Rgb{0.55, 0.60, 0.68};
        });
    paint(
        img,
        [&](double x, double y) { return inRoundedRect(x, y, ox, oy, s * 0.96, s * 0.94, radius); },
        [&](double, double y) { return mix(top, bottom, std::clamp((y - oy) / s, 0.0, 1.0)); });
    const double half = std::max(0.065 * s, 0.75);
    auto k = [&](double x, double y) {
        double u = x - ox, v = y - oy;
        return segmentDistance(u, v, 0.32 * s, 0.22 * s, 0.32 * s, 0.72 * s) <= half ||
               segmentDistance(u, v, 0.36 * s, 0.50 * s, 0.68 * s, 0.22 * s) <= half ||
               segmentDistance(u, v, 0.45 * s, 0.42 * s, 0.70 * s, 0.72 * s) <= half;
    };
    paint(img, k, [](double, double) { return Rgb{1, 1, 1}; });
}

// A 5x7 font for the letters the banner needs.
const char* glyphRows(char c) {
    switch (c) {
    case 'K':
        return "X...XX..X.X.X..XX...X.X..X..X.X...X";
    case 'e':
        return "...........XXX.X...XXXXXXX.....XXX.";
    case 'l':
        return ".XX....X....X....X....X....X...XXX.";
    case 'b':
        return "X....X....XXXX.X...XX...XX...XXXXX.";
    case 'o':
        return "...........XXX.X...XX...XX...X.XXX.";
    default:
        return "...................................";
    }
}

} // namespace

std::string encodeBmp24(const Image& image) {
    const std::size_t stride = rowStride(image.width, 24);
    const auto bits = static_cast<std::uint32_t>(stride * image.height);
    std::string out;
    out.reserve(54 + bits);
    putFileHeader(out, 54 + bits, 54);
    putInfoHeader(out, image.width, image.height, 24, bits, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        std::size_t start = out.size();
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t p = image.at(x, y);
            out.push_back(static_cast<char>(p & 0xFF));
            out.push_back(static_cast<char>((p >> 8) & 0xFF));
            out.push_back(static_cast<char>((p >> 16) & 0xFF));
        }
        out.resize(start + stride, '\0');
    }
    return out;
}

std::string encodeBmp8(int width, int height, const std::vector<std::uint32_t>& palette,
                       const std::vector<std::uint8_t>& indices) {
    const std::size_t stride = rowStride(width, 8);
    const auto bits = static_cast<std::uint32_t>(stride * height);
    const auto offset = static_cast<std::uint32_t>(54 + 4 * palette.size());
    std::string out;
    putFileHeader(out, offset + bits, offset);
    putInfoHeader(out, width, height, 8, bits, static_cast<std::uint32_t>(palette.size()));
    for (std::uint32_t c : palette)
        put32(out, c & 0x00FFFFFFu);
    for (int y = height - 1; y >= 0; --y) {
        std::size_t start = out.size();
        for (int x = 0; x < width; ++x)
            out.push_back(static_cast<char>(indices[static_cast<std::size_t>(y) * width + x]));
        out.resize(start + stride, '\0');
    }
    return out;
}

IconImage iconImage32(const Image& image) {
    IconImage icon;
    icon.width = static_cast<std::uint8_t>(image.width >= 256 ? 0 : image.width);
    icon.height = static_cast<std::uint8_t>(image.height >= 256 ? 0 : image.height);
    const std::size_t maskStride = rowStride(image.width, 1);
    const auto xorSize = static_cast<std::uint32_t>(4u * image.width * image.height);
    const auto andSize = static_cast<std::uint32_t>(maskStride * image.height);
    std::string& out = icon.data;
    putInfoHeader(out, image.width, 2 * image.height, 32, xorSize + andSize, 0);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x)
            put32(out, image.at(x, y));
    for (int y = image.height - 1; y >= 0; --y) {
        std::string row(maskStride, '\0');
        for (int x = 0; x < image.width; ++x)
            if ((image.at(x, y) >> 24) < 128)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out += row;
    }
    return icon;
}

std::string encodeIcon(const std::vector<IconImage>& images) {
    std::string out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImage& img : images) {
        out.push_back(static_cast<char>(img.width));
        out.push_back(static_cast<char>(img.height));
        out.push_back(static_cast<char>(img.colorCount));
        out.push_back('\0');
        put16(out, img.planes);
        put16(out, img.bitCount);
        put32(out, static_cast<std::uint32_t>(img.data.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(img.data.size());
    }
    for (const IconImage& img : images)
        out += img.data;
    return out;
}

std::string encodeCursor(const std::vector<CursorImage>& images) {
    std::vector<IconImage> icons;
    for (const CursorImage& c : images) {
        icons.push_back(c.image);
        icons.back().planes = c.hotX;
        icons.back().bitCount = c.hotY;
    }
    std::string out = encodeIcon(icons);
    out[2] = 2; // a cursor file
    return out;
}

std::string encodeWav16(int sampleRate, const std::vector<std::int16_t>& samples) {
    const auto dataSize = static_cast<std::uint32_t>(2 * samples.size());
    std::string out;
    out += "RIFF";
    put32(out, 36 + dataSize);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataSize);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    return out;
}

Image drawBadge(int size) {
    Image img(size, size, 0x00000000u);
    paintBadge(img, 0, 0, size);
    return img;
}

Image drawBanner(int width, int height) {
    Image img(width, height);
    const Rgb top{0.96, 0.97, 0.99}, bottom{0.84, 0.89, 0.95};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.at(x, y) = pack(mix(top, bottom, static_cast<double>(y) / (height - 1)));
    const double badge = height - 8.0;
    paintBadge(img, 4, 4, badge);
    const double cell = std::floor((height - 16.0) / 7.0);
    const double textLeft = 4 + badge + cell * 2;
    const double textTop = (height - 7 * cell) / 2.0;
    const std::string word = "Kelbo";
    auto inText = [&](double x, double y) {
        int col = static_cast<int>(std::floor((x - textLeft) / cell));
        int row = static_cast<int>(std::floor((y - textTop) / cell));
        if (col < 0 || row < 0 || row >= 7)
            return false;
        std::size_t letter = static_cast<std::size_t>(col / 6);
        int gx = col % 6;
        if (letter >= word.size() || gx == 5)
            return false;
        return glyphRows(word[letter])[row * 5 + gx] == 'X';
    };
    paint(img, inText, [](double, double) { return Rgb{0.11, 0.17, 0.27}; });
    return img;
}

Image drawPointer(int size) {
    Image img(size, size, 0x00000000u);
    // Black inside, white edge: the tip at (1, 1), the shaft down the diagonal.
    auto inArrow = [&](int x, int y, int grow) {
        const int dx = x - 1, dy = y - 1;
        const bool head = dx >= -grow && dy >= -grow && dx + dy <= size * 3 / 4 + grow &&
                          std::abs(dx - dy) <= (dx + dy) / 2 + grow;
        const bool shaft = dx > size / 4 && dy > size / 4 && std::abs(dx - dy) <= 1 + grow &&
                           dx + dy <= size * 3 / 2 + grow;
        return head || shaft;
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (inArrow(x, y, 0))
                img.at(x, y) = 0xFF000000u;
            else if (inArrow(x, y, 1))
                img.at(x, y) = 0xFFFFFFFFu;
        }
    return img;
}

Image drawColourWheel(int size) {
    Image img(size, size, 0xFFF0F0F0u);
    const double c = size / 2.0, r = size / 2.0 - 2;
    auto inside = [&](double x, double y) { return std::hypot(x - c, y - c) <= r; };
    auto colour = [&](double x, double y) {
        double hue = (std::atan2(y - c, x - c) / std::numbers::pi + 1) * 3; // 0..6
        double sat = std::min(std::hypot(x - c, y - c) / r, 1.0);
        double f = hue - std::floor(hue);
        Rgb pure;
        switch (static_cast<int>(hue) % 6) {
        case 0:
            pure = {1, f, 0};
            break;
        case 1:
            pure = {1 - f, 1, 0};
            break;
        case 2:
            pure = {0, 1, f};
            break;
        case 3:
            pure = {0, 1 - f, 1};
            break;
        case 4:
            pure = {f, 0, 1};
            break;
        default:
            pure = {1, 0, 1 - f};
            break;
        }
        return mix(Rgb{1, 1, 1}, pure, sat);
    };
    paint(img, inside, colour);
    return img;
}

std::vector<std::int16_t> synthChime(int sampleRate) {
    const int count = sampleRate * 7 / 10;
    std::vector<std::int16_t> out(count);
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        double second = t > 0.12 ? std::sin(2 * std::numbers::pi * 1318.5 * (t - 0.12)) *
                                       std::exp(-(t - 0.12) * 6)
                                 : 0.0;
        double v =
            0.45 * std::sin(2 * std::numbers::pi * 987.8 * t) * std::exp(-t * 5) + 0.40 * second;
        out[i] = static_cast<std::int16_t>(std::lround(v * 32000));
    }
    return out;
}

std::vector<std::int16_t> synthClick(int sampleRate) {
    const int count = sampleRate / 25;
    std::vector<std::int16_t> out(count);
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / sampleRate;
        double v = std::sin(2 * std::numbers::pi * 2200 * t) * std::exp(-t * 160);
        out[i] = static_cast<std::int16_t>(std::lround(v * 28000));
    }
    return out;
}

bool writeBinaryFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace kelbo::sample
