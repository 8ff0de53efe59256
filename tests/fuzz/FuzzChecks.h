// What every fuzz target may assert about the core, whatever the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Stops the run loudly, so that both libFuzzer and the corpus replay report the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace kelbo::fuzz {

inline std::uint32_t le32(std::string_view s, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i]));
    };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

// The 32-bit layout: the empty entry first, then headers whose sizes account for every byte,
// each header starting on a four-byte boundary.
inline bool framed32(std::string_view res) {
    if (res.size() < 32 || le32(res, 0) != 0 || le32(res, 4) != 32)
        return false;
    std::size_t pos = 0;
    while (pos < res.size()) {
        if (pos % 4 != 0 || res.size() - pos < 32)
            return false;
        std::uint64_t dataSize = le32(res, pos);
        std::uint64_t headerSize = le32(res, pos + 4);
        if (headerSize < 32 || headerSize % 4 != 0)
            return false;
        std::uint64_t end = pos + headerSize + dataSize;
        end += (4 - end % 4) % 4;
        if (end > res.size())
            return false;
        pos = static_cast<std::size_t>(end);
    }
    return pos == res.size();
}

// The 16-bit layout: type, name, flags and size, then exactly that many data bytes.
inline bool framed16(std::string_view res) {
    std::size_t pos = 0;
    auto idField = [&]() {
        if (pos >= res.size())
            return false;
        if (static_cast<unsigned char>(res[pos]) == 0xFF) {
            pos += 3;
            return pos <= res.size();
        }
        std::size_t zero = res.find('\0', pos);
        if (zero == std::string_view::npos)
            return false;
        pos = zero + 1;
        return true;
    };
    if (res.empty())
        return false;
    while (pos < res.size()) {
        if (!idField() || !idField() || res.size() - pos < 6)
            return false;
        std::uint64_t size = le32(res, pos + 2);
        pos += 6;
        if (size > res.size() - pos)
            return false;
        pos += static_cast<std::size_t>(size);
    }
    return true;
}

// A failed compilation says so: an "*** ERROR ***" line followed by what went wrong (the item
// line before it may be empty, as an item can be).
inline bool reportsError(const std::string& log) {
    std::size_t at = log.find("*** ERROR ***\r\n");
    if (at == std::string::npos)
        return false;
    return log.find_first_not_of("\r\n", at + 15) != std::string::npos;
}

} // namespace kelbo::fuzz
