#include "rescompiler/VersionInfo.h"

#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/Unicode.h"
#include "rescompiler/BlockBuilder.h"
#include "rescompiler/ItemLine.h"

namespace kelbo {

namespace {

enum class KeyRole { FileVersion, ProductVersion, FileType, Language, CodePage, Text };

struct VersionKey {
    std::string_view name;
    KeyRole role;
};

// The keys as rc.exe users type them in a VERSIONINFO statement.
constexpr VersionKey kKeys[] = {
    {"FileVersion", KeyRole::FileVersion}, {"ProductVersion", KeyRole::ProductVersion},
    {"FileType", KeyRole::FileType},       {"Language", KeyRole::Language},
    {"CodePage", KeyRole::CodePage},       {"Comments", KeyRole::Text},
    {"CompanyName", KeyRole::Text},        {"FileDescription", KeyRole::Text},
    {"InternalName", KeyRole::Text},       {"LegalCopyright", KeyRole::Text},
    {"LegalTrademarks", KeyRole::Text},    {"OriginalFilename", KeyRole::Text},
    {"PrivateBuild", KeyRole::Text},       {"ProductName", KeyRole::Text},
    {"SpecialBuild", KeyRole::Text},
};
constexpr std::size_t kKeyCount = std::size(kKeys);

constexpr std::uint16_t kDefaultLanguage = 0x0409;
constexpr std::uint16_t kDefaultCodePage = 1252;

// VS_FIXEDFILEINFO
constexpr std::uint16_t kFixedInfoSize = 52;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::uint32_t kFileFlagsMask = 0x3F;
constexpr std::uint32_t kFileOs32 = 0x40004; // VOS_NT_WINDOWS32
constexpr std::uint32_t kFileOs16 = 0x1;     // VOS__WINDOWS16
constexpr std::uint32_t kFileTypeApp = 1;
constexpr std::uint32_t kFileTypeDll = 2;

std::optional<std::size_t> findKey(std::string_view typed) {
    std::string lower = cp1252ToLower(typed);
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (lower == cp1252ToLower(kKeys[i].name))
            return i;
    }
    return std::nullopt;
}

bool allDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// a, a.b, a.b.c or a.b.c.d, each part 0..65535. Empty with the parts set, else the problem.
std::string parseVersionNumber(std::string_view key, std::string_view text, VersionNumber& out) {
    out = {};
    std::size_t part = 0;
    std::size_t begin = 0;
    while (true) {
        std::size_t dot = text.find('.', begin);
        std::string_view digits = text.substr(
            begin, dot == std::string_view::npos ? std::string_view::npos : dot - begin);
        if (part == out.size())
            return std::string(key) + ": more than 4 parts";
        if (!allDigits(digits))
            return std::string(key) + ": part \"" + std::string(digits) + "\" is not a number";
        long long value = digitsValue(digits, 0xFFFF);
        if (value < 0)
            return std::string(key) + ": part " + std::string(digits) + " is over 65535";
        out[part++] = static_cast<std::uint16_t>(value);
        if (dot == std::string_view::npos)
            return {};
        begin = dot + 1;
    }
}

bool parseHex4(std::string_view text, std::uint16_t& out) {
    if (text.size() != 4)
        return false;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return false;
        value = value * 16 + digit;
    }
    out = static_cast<std::uint16_t>(value);
    return true;
}

// Empty when the line is taken, else the problem.
std::string applyLine(const std::string& line, VersionSettings& settings,
                      std::array<bool, kKeyCount>& seen) {
    if (line.find('\0') != std::string::npos)
        return "Version line with a zero character";
    std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return "Version line without \"=\": key=value expected";
    std::string_view typedKey = trimSpaces(std::string_view(line).substr(0, eq));
    std::string_view value = trimSpaces(std::string_view(line).substr(eq + 1));
    std::optional<std::size_t> index = findKey(typedKey);
    if (!index)
        return "Unknown version key: " + std::string(typedKey);
    const VersionKey& key = kKeys[*index];
    if (seen[*index])
        return "Version key given twice: " + std::string(key.name);
    seen[*index] = true;

    switch (key.role) {
    case KeyRole::FileVersion:
    case KeyRole::ProductVersion: {
        VersionNumber& number =
            key.role == KeyRole::FileVersion ? settings.fileVersion : settings.productVersion;
        std::string problem = parseVersionNumber(key.name, value, number);
        if (!problem.empty())
            return problem;
        break;
    }
    case KeyRole::FileType: {
        std::string type = cp1252ToLower(value);
        if (type != "app" && type != "dll")
            return "FileType must be app or dll";
        settings.dll = type == "dll";
        return {};
    }
    case KeyRole::Language:
        if (!parseHex4(value, settings.language))
            return "Language must be 4 hex digits, such as 0409";
        return {};
    case KeyRole::CodePage: {
        long long number = allDigits(value) ? digitsValue(value, 0xFFFF) : -1;
        if (number < 0)
            return "CodePage must be a whole number from 0 to 65535, such as 1252";
        settings.codePage = static_cast<std::uint16_t>(number);
        return {};
    }
    case KeyRole::Text:
        break;
    }
    settings.strings.push_back({std::string(key.name), std::string(value)});
    return {};
}

// How the two forms spell a block: the 32-bit one has a type word and UTF-16 text.
struct Form32 {
    static constexpr std::uint32_t kFileOs = kFileOs32;
    static void type(BlockBuilder& b, std::uint16_t type) { b.u16(type); }
    static void text(BlockBuilder& b, std::string_view text) {
        b.bytes(WidenText(text));
        b.u16(0);
    }
    // A value's length word counts characters with the terminator.
    static std::size_t length(std::string_view text) { return utf16Length(text) + 1; }
};

struct Form16 {
    static constexpr std::uint32_t kFileOs = kFileOs16;
    static void type(BlockBuilder&, std::uint16_t) {}
    // The 16-bit layout holds Windows-1252; the compiler refuses other text before this runs.
    static void text(BlockBuilder& b, std::string_view text) {
        b.bytes(utf8ToCp1252(text).value_or(std::string(text)));
        b.u8(0);
    }
    static std::size_t length(std::string_view text) {
        return utf8ToCp1252(text).value_or(std::string(text)).size() + 1;
    }
};

constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

// Opens a block at the next four-byte boundary and writes its header and key; the value goes
// at the next boundary after the key.
template <class Form>
BlockBuilder::Block openBlock(BlockBuilder& b, std::size_t valueLength, std::uint16_t type,
                              std::string_view key) {
    b.align4();
    BlockBuilder::Block block = b.openBlock();
    // A value too long for this word makes the whole too long, which the caller refuses.
    b.u16(static_cast<std::uint16_t>(valueLength));
    Form::type(b, type);
    Form::text(b, key);
    b.align4();
    return block;
}

void fixedInfo(BlockBuilder& b, const VersionSettings& s, std::uint32_t fileOs) {
    auto high = [](const VersionNumber& v) { return std::uint32_t{v[0]} << 16 | v[1]; };
    auto low = [](const VersionNumber& v) { return std::uint32_t{v[2]} << 16 | v[3]; };
    b.u32(kFixedSignature);
    b.u32(kFixedStructVersion);
    b.u32(high(s.fileVersion));
    b.u32(low(s.fileVersion));
    b.u32(high(s.productVersion));
    b.u32(low(s.productVersion));
    b.u32(kFileFlagsMask);
    b.u32(0); // FileFlags
    b.u32(fileOs);
    b.u32(s.dll ? kFileTypeDll : kFileTypeApp);
    b.u32(0); // FileSubtype
    b.u32(0); // FileDateMS
    b.u32(0); // FileDateLS
}

template <class Form> std::string buildVersionInfo(const VersionSettings& s) {
    BlockBuilder b;
    BlockBuilder::Block root = openBlock<Form>(b, kFixedInfoSize, kBinary, "VS_VERSION_INFO");
    fixedInfo(b, s, Form::kFileOs);
    // No string table at all rather than an empty one.
    if (!s.strings.empty()) {
        BlockBuilder::Block fileInfo = openBlock<Form>(b, 0, kText, "StringFileInfo");
        BlockBuilder::Block table = openBlock<Form>(b, 0, kText, stringTableName(s));
        for (const VersionString& entry : s.strings) {
            BlockBuilder::Block str =
                openBlock<Form>(b, Form::length(entry.value), kText, entry.key);
            Form::text(b, entry.value);
            b.closeBlock(str);
        }
        b.closeBlock(table);
        b.closeBlock(fileInfo);
    }
    BlockBuilder::Block varInfo = openBlock<Form>(b, 0, kText, "VarFileInfo");
    BlockBuilder::Block translation = openBlock<Form>(b, 4, kBinary, "Translation");
    b.u16(s.language);
    b.u16(s.codePage);
    b.closeBlock(translation);
    b.closeBlock(varInfo);
    b.closeBlock(root);
    return b.take();
}

} // namespace

std::optional<VersionSettings> parseVersionLines(const Project::Lines& lines,
                                                 VersionProblem& problem) {
    VersionSettings settings;
    std::array<bool, kKeyCount> seen{};
    for (const std::string& line : lines) {
        std::string text = applyLine(line, settings, seen);
        if (!text.empty()) {
            problem = {line, std::move(text)};
            return std::nullopt;
        }
    }
    return settings;
}

std::string hex4(std::uint16_t value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", value);
    return buf;
}

std::string versionText(const VersionNumber& v) {
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

Project::Lines versionLines(const VersionSettings& s) {
    Project::Lines lines;
    if (s.dll)
        lines.push_back("FileType=dll");
    if (s.language != kDefaultLanguage)
        lines.push_back("Language=" + hex4(s.language));
    if (s.codePage != kDefaultCodePage)
        lines.push_back("CodePage=" + std::to_string(s.codePage));
    auto hasString = [&](std::string_view key) {
        for (const VersionString& entry : s.strings) {
            if (entry.key == key)
                return true;
        }
        return false;
    };
    const VersionNumber zero{};
    if (s.fileVersion != zero && !hasString("FileVersion"))
        lines.push_back("FileVersion=" + versionText(s.fileVersion));
    if (s.productVersion != zero && !hasString("ProductVersion"))
        lines.push_back("ProductVersion=" + versionText(s.productVersion));
    for (const VersionString& entry : s.strings)
        lines.push_back(entry.key + "=" + entry.value);
    return lines;
}

std::string stringTableName(const VersionSettings& s) {
    return hex4(s.language) + hex4(s.codePage);
}

std::string buildVersionInfo32(const VersionSettings& settings) {
    return buildVersionInfo<Form32>(settings);
}

std::string buildVersionInfo16(const VersionSettings& settings) {
    return buildVersionInfo<Form16>(settings);
}

std::optional<std::string> buildVersionResource(const Project::Lines& lines, int bits,
                                                VersionProblem& problem) {
    std::optional<VersionSettings> settings = parseVersionLines(lines, problem);
    if (!settings)
        return std::nullopt;
    std::string data = bits == 16 ? buildVersionInfo16(*settings) : buildVersionInfo32(*settings);
    // The outermost length covers everything, so it is the one that can overflow.
    if (data.size() > 0xFFFF) {
        problem = {"", "Version information too large: at most 65535 bytes"};
        return std::nullopt;
    }
    return data;
}

} // namespace kelbo
