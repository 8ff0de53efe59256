// Small, valid source and project files built in memory, and scratch folders, for the
// robustness tests: each test damages or fails around these.
#pragma once

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kelbo::test {

inline void le16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void le32(std::string& out, std::uint32_t v) {
    le16(out, v & 0xFFFF);
    le16(out, v >> 16);
}

// A 24-bit bottom-up bitmap; `extra` follows its declared end.
inline std::string sampleBitmap(int width, int height, const std::string& extra = {}) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * static_cast<std::uint32_t>(height);
    std::string info;
    le32(info, 40);
    le32(info, static_cast<std::uint32_t>(width));
    le32(info, static_cast<std::uint32_t>(height));
    le16(info, 1);
    le16(info, 24);
    le32(info, 0);
    le32(info, pixels);
    le32(info, 2835);
    le32(info, 2835);
    le32(info, 0);
    le32(info, 0);
    for (std::uint32_t i = 0; i < pixels; ++i)
        info += static_cast<char>(i * 37);
    std::string out = "BM";
    le32(out, static_cast<std::uint32_t>(14 + info.size()));
    le32(out, 0);
    le32(out, 54);
    return out + info + extra;
}

// An icon (type 1) or cursor (type 2) file whose image i holds sizes[i] bytes: a 40-byte
// BITMAPINFOHEADER of 16x16 pixels, 1 plane and 32 bits, then bytes of 0x60 + i (sizes below 40
// make images that are not bitmaps). The directory gives planes 1 and bit count 32 for icons,
// the hot spot (i + 1, i + 2) for cursors; `count` overrides the header's count.
inline std::string sampleIconFile(int type, const std::vector<std::uint32_t>& sizes,
                                  int count = -1) {
    std::string out;
    le16(out, 0);
    le16(out, static_cast<std::uint32_t>(type));
    le16(out, static_cast<std::uint32_t>(count < 0 ? sizes.size() : count) & 0xFFFF);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
    std::string images;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        out += '\x10';
        out += '\x10';
        out += '\0';
        out += '\0';
        le16(out, type == 2 ? static_cast<std::uint32_t>(i + 1) : 1);
        le16(out, type == 2 ? static_cast<std::uint32_t>(i + 2) : 32);
        le32(out, sizes[i]);
        le32(out, offset);
        std::string image;
        le32(image, 40);
        le32(image, 16);
        le32(image, 32);
        le16(image, 1);
        le16(image, 32);
        image.resize(40, '\0');
        image.resize(sizes[i], static_cast<char>(0x60 + i));
        images += image;
        offset += sizes[i];
    }
    return out + images;
}
inline std::string sampleIcon(const std::vector<std::uint32_t>& sizes, int count = -1) {
    return sampleIconFile(1, sizes, count);
}
inline std::string sampleCursor(const std::vector<std::uint32_t>& sizes, int count = -1) {
    return sampleIconFile(2, sizes, count);
}

inline std::string sampleWave(std::size_t size) {
    std::string out = "RIFF";
    le32(out, static_cast<std::uint32_t>(size >= 8 ? size - 8 : 0));
    out += "WAVEfmt ";
    for (std::size_t i = out.size(); i < size; ++i)
        out += static_cast<char>(i * 13 + 7);
    out.resize(size);
    return out;
}

// Project-file bytes from raw lines; counts and lengths as the lists say.
inline std::string projectBytes(const std::vector<std::vector<std::string>>& kinds,
                                const std::string& signature = "KELBO200") {
    std::string out = signature;
    for (const auto& lines : kinds) {
        le16(out, static_cast<std::uint32_t>(lines.size()));
        for (const std::string& line : lines) {
            le16(out, static_cast<std::uint32_t>(line.size()));
            out += line;
        }
    }
    return out;
}

// A .RES in the 32-bit layout of `count` RCDATA resources numbered from 1, each of a few bytes,
// in `language`.
inline std::string sampleDataRes(int count, std::uint16_t language,
                                 std::uint16_t memoryFlags = 0x30) {
    // The layout's leading empty entry.
    std::string out =
        std::string("\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 16) + std::string(16, '\0');
    for (int i = 1; i <= count; ++i) {
        const std::string data = "data" + std::to_string(i);
        le32(out, static_cast<std::uint32_t>(data.size()));
        le32(out, 32);
        le16(out, 0xFFFF);
        le16(out, 10);
        le16(out, 0xFFFF);
        le16(out, static_cast<std::uint32_t>(i));
        le32(out, 0);
        le16(out, memoryFlags);
        le16(out, language);
        le32(out, 0);
        le32(out, 0);
        out += data;
        out.append((4 - out.size() % 4) % 4, '\0');
    }
    return out;
}

// A path for the helpers below: a narrow name is UTF-8, as the core's paths are (on Windows
// std::filesystem would take it in the ANSI code page).
struct TestPath {
    TestPath(const std::filesystem::path& p) : path(p) {}
    // Anything else a path is made from (wide strings, views).
    template <class Source>
    requires std::constructible_from<std::filesystem::path, const Source&>
    TestPath(const Source& source) : path(source) {}
    TestPath(const std::string& utf8) : path(std::u8string(utf8.begin(), utf8.end())) {}
    TestPath(const char* utf8) : TestPath(std::string(utf8)) {}
    std::filesystem::path path;
};

inline std::string readFile(const TestPath& at) {
    std::ifstream in(at.path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const TestPath& at, const std::string& bytes) {
    std::ofstream out(at.path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under /tmp, removed with its content.
class ScratchDir {
public:
    explicit ScratchDir(
        const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        static std::mt19937_64 rng{std::random_device{}()};
        path_ = parent / ("kelbo-robust-" + std::to_string(rng()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The name is kept byte for byte (Windows-1252 for the core); the folder is plain ASCII.
    std::string file(const std::string& name) const {
        const std::u8string folder = path_.u8string();
        return std::string(folder.begin(), folder.end()) +
               static_cast<char>(std::filesystem::path::preferred_separator) + name;
    }
    // Names of everything in the folder.
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.insert(e.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

} // namespace kelbo::test
