// Writes every resource of a 32-bit .RES file into a program through Windows' own
// BeginUpdateResourceW, UpdateResourceW and EndUpdateResourceW, as a reference for
// `kelbo-res patch`. Usage: update_resources PROGRAM.exe FILE.res; exit 0 when all went in.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::uint16_t le16(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      static_cast<unsigned char>(s[at + 1]) << 8);
}
std::uint32_t le32(const std::string& s, std::size_t at) {
    return le16(s, at) | static_cast<std::uint32_t>(le16(s, at + 2)) << 16;
}

// A type or name field: an ordinal as MAKEINTRESOURCE, or the text.
std::wstring field(const std::string& s, std::size_t& at, bool& ordinal, WORD& number) {
    std::wstring text;
    ordinal = le16(s, at) == 0xFFFF;
    if (ordinal) {
        number = le16(s, at + 2);
        at += 4;
        return text;
    }
    for (; le16(s, at) != 0; at += 2)
        text += static_cast<wchar_t>(le16(s, at));
    at += 2;
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: update_resources PROGRAM.exe FILE.res\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    const std::string res((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HANDLE update = BeginUpdateResourceW(argv[1], FALSE);
    if (!update) {
        std::fprintf(stderr, "BeginUpdateResourceW failed: %lu\n", GetLastError());
        return 1;
    }
    int count = 0;
    for (std::size_t pos = 32; pos + 8 <= res.size(); ++count) {
        const std::uint32_t size = le32(res, pos), header = le32(res, pos + 4);
        std::size_t at = pos + 8;
        bool typeOrdinal = false, nameOrdinal = false;
        WORD typeNumber = 0, nameNumber = 0;
        const std::wstring type = field(res, at, typeOrdinal, typeNumber);
        const std::wstring name = field(res, at, nameOrdinal, nameNumber);
        const WORD language = le16(res, pos + header - 10);
        if (!UpdateResourceW(update, typeOrdinal ? MAKEINTRESOURCEW(typeNumber) : type.c_str(),
                             nameOrdinal ? MAKEINTRESOURCEW(nameNumber) : name.c_str(), language,
                             const_cast<char*>(res.data() + pos + header), size)) {
            std::fprintf(stderr, "UpdateResourceW failed on resource %d: %lu\n", count,
                         GetLastError());
            EndUpdateResourceW(update, TRUE);
            return 1;
        }
        pos = (pos + header + size + 3) / 4 * 4;
    }
    if (!EndUpdateResourceW(update, FALSE)) {
        std::fprintf(stderr, "EndUpdateResourceW failed: %lu\n", GetLastError());
        return 1;
    }
    std::printf("update_resources: %d resources\n", count);
    return 0;
}
