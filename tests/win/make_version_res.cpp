// Writes a 32-bit .RES holding only the version resource of the lines in version_cases.inc, for
// the Windows version check: the empty entry, then RT_VERSION 1 as a linker expects it.
//
//   make_version_res OUT.res
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "rescompiler/VersionInfo.h"

namespace {

#include "version_cases.inc"

void put16(std::string& b, std::uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
void put32(std::string& b, std::uint32_t v) {
    put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, static_cast<std::uint16_t>(v >> 16));
}

// A resource of ordinal type and name: the fixed header, the data, padding to four bytes.
void resource(std::string& res, std::uint16_t type, std::uint16_t name, std::uint16_t flags,
              const std::string& data) {
    put32(res, static_cast<std::uint32_t>(data.size()));
    put32(res, 32); // header size
    put16(res, 0xFFFF);
    put16(res, type);
    put16(res, 0xFFFF);
    put16(res, name);
    put32(res, 0); // DataVersion
    put16(res, flags);
    put16(res, 0); // language neutral
    put32(res, 0); // Version
    put32(res, 0); // Characteristics
    res += data;
    res.append((4 - data.size() % 4) % 4, '\0');
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_version_res OUT.res\n";
        return 2;
    }
    kelbo::Project::Lines lines(std::begin(kVersionLines), std::end(kVersionLines));
    kelbo::VersionProblem problem;
    std::optional<std::string> data = kelbo::buildVersionResource(lines, 32, problem);
    if (!data) {
        std::cerr << problem.line << ": " << problem.text << "\n";
        return 1;
    }
    std::string res;
    resource(res, 0, 0, 0, {});
    resource(res, 16, 1, 0x0030, *data);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << res;
    return out.good() ? 0 : 1;
}
