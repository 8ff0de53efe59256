// Little-endian fields of the binary formats (.RES, .ICO, PE), read and written in one way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelbo {

inline std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t le32(const unsigned char* p) {
    return le16(p) | static_cast<std::uint32_t>(le16(p + 2)) << 16;
}
inline std::uint16_t le16(std::string_view s, std::size_t at) {
    return le16(reinterpret_cast<const unsigned char*>(s.data() + at));
}
inline std::uint32_t le32(std::string_view s, std::size_t at) {
    return le32(reinterpret_cast<const unsigned char*>(s.data() + at));
}

// Overwrites the field at `at`, which must already be there.
inline void setLe16(std::string& s, std::size_t at, std::uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void setLe32(std::string& s, std::size_t at, std::uint32_t v) {
    setLe16(s, at, v & 0xFFFF);
    setLe16(s, at + 2, v >> 16);
}

inline void appendLe16(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
inline void appendLe32(std::string& s, std::uint32_t v) {
    appendLe16(s, v & 0xFFFF);
    appendLe16(s, v >> 16);
}

} // namespace kelbo
