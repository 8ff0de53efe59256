// Small PE32 and PE32+ programs built in memory: a code section, the resource section (last, or
// followed by a relocation section), and optional bytes after the sections. Enough for the
// readers and the patch; real linkers' output is checked by the oracle tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "peimage/PeResources.h"
#include "tests/support/Samples.h"

namespace kelbo::test {

struct PeLayout {
    bool pe32Plus = false;
    bool withResources = true;
    bool resourcesLast = true;
    std::size_t codeSize = 0x180; // 0x1000 fills .text's pages up to the next section
    std::uint32_t checksum = 0;   // non-zero: the right checksum is stored
    std::string overlay;          // bytes after the last section
    std::string certificate;      // appended after the overlay, named by data directory 4
    std::vector<PeResource> resources;
};

inline constexpr std::uint32_t kPeOffset = 0x40;
inline constexpr std::uint32_t kFileAlignment = 0x200;
inline constexpr std::uint32_t kSectionAlignment = 0x1000;

inline void put32At(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string buildProgram(const PeLayout& layout) {
    struct Section {
        std::string name, data;
        std::uint32_t rva;
    };
    std::vector<Section> sections = {{".text", std::string(layout.codeSize, '\xCC'), 0x1000}};
    if (layout.withResources) {
        std::vector<PeResource> sorted = layout.resources;
        sortResources(sorted);
        std::string error;
        sections.push_back({".rsrc", writeResourceSection(sorted, 0x2000, {}, error), 0x2000});
    }
    if (!layout.resourcesLast)
        sections.push_back({".reloc", std::string(0x20, '\x11'), 0x2000 + 0x1000 * 8});
    const std::uint32_t optionalSize = layout.pe32Plus ? 240 : 224;
    std::string out(0x400, '\0');
    out[0] = 'M';
    out[1] = 'Z';
    put32At(out, 0x3C, kPeOffset);
    out.replace(kPeOffset, 4, std::string("PE\0\0", 4));
    const std::size_t coff = kPeOffset + 4, opt = coff + 20;
    out[coff] = layout.pe32Plus ? '\x64' : '\x4C';
    out[coff + 1] = layout.pe32Plus ? '\x86' : '\x01';
    out[coff + 2] = static_cast<char>(sections.size());
    out[coff + 16] = static_cast<char>(optionalSize);
    out[coff + 18] = 0x22;
    out[opt] = 0x0B;
    out[opt + 1] = layout.pe32Plus ? 0x02 : 0x01;
    put32At(out, opt + 32, kSectionAlignment);
    put32At(out, opt + 36, kFileAlignment);
    put32At(out, opt + 60, 0x400);
    const std::size_t dirs = opt + (layout.pe32Plus ? 112 : 96);
    put32At(out, dirs - 4, 16);
    std::uint32_t raw = 0x400, imageEnd = 0x1000, initialized = 0;
    std::string body;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const Section& s = sections[i];
        const std::size_t h = opt + optionalSize + 40 * i;
        out.replace(h, s.name.size(), s.name);
        const auto rawSize = static_cast<std::uint32_t>((s.data.size() + 0x1FF) / 0x200 * 0x200);
        put32At(out, h + 8, static_cast<std::uint32_t>(s.data.size()));
        put32At(out, h + 12, s.rva);
        put32At(out, h + 16, rawSize);
        put32At(out, h + 20, raw);
        put32At(out, h + 36, i == 0 ? 0x60000020 : 0x40000040);
        body += s.data + std::string(rawSize - s.data.size(), '\0');
        raw += rawSize;
        initialized += i == 0 ? 0 : rawSize;
        imageEnd = s.rva + (static_cast<std::uint32_t>(s.data.size()) + 0xFFF) / 0x1000 * 0x1000;
        if (s.name == ".rsrc") {
            put32At(out, dirs + 16, s.rva);
            put32At(out, dirs + 20, static_cast<std::uint32_t>(s.data.size()));
        }
    }
    put32At(out, opt + 8, initialized);
    put32At(out, opt + 56, imageEnd);
    out += body + layout.overlay;
    if (!layout.certificate.empty()) {
        put32At(out, dirs + 32, static_cast<std::uint32_t>(out.size()));
        put32At(out, dirs + 36, static_cast<std::uint32_t>(layout.certificate.size()));
        out += layout.certificate;
    }
    if (layout.checksum != 0) {
        // The sum of words with carries folded, then the length; the field itself counts as 0.
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < out.size(); i += 2) {
            if (i == opt + 64 || i == opt + 66)
                continue;
            sum += static_cast<unsigned char>(out[i]) +
                   (i + 1 < out.size() ? static_cast<unsigned char>(out[i + 1]) << 8 : 0);
            sum = (sum & 0xFFFF) + (sum >> 16);
        }
        put32At(out, opt + 64, static_cast<std::uint32_t>(sum + out.size()));
    }
    return out;
}

inline PeResource peResource(ResName type, ResName name, std::uint16_t language, std::string data) {
    return {std::move(type), std::move(name), language, 0, std::move(data)};
}
inline ResName named(const std::u16string& text) {
    return {true, 0, text};
}

} // namespace kelbo::test
