// Reading a version resource back: the fixed file information, the strings of its
// StringFileInfo tables and the VarFileInfo translations, in both layouts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resreader/ResFile.h"

namespace kelbo {

struct VersionStringTable {
    std::u16string key; // "040904E4": language and code page in hex
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};

struct VersionBlock {
    ResLayout layout = ResLayout::Bits32;
    bool hasFixed = false;
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;
    std::vector<VersionStringTable> tables;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
};

// False with the reason in `error` when a block's length runs past its parent or the root is not
// VS_VERSION_INFO.
std::optional<VersionBlock> parseVersionBlock(std::string_view data, ResLayout layout,
                                              std::string& error);

// The project's VERSION lines that build the same block, as far as those keys can say it; what
// they cannot say is described in `warnings`. Text comes back as UTF-8.
std::vector<std::string> versionLines(const VersionBlock& block,
                                      std::vector<std::string>& warnings);

} // namespace kelbo
