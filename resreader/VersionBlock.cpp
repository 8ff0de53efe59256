#include "resreader/VersionBlock.h"

#include <cstdio>

#include "platform/Cp1252.h"

namespace kelbo {
namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;
constexpr std::uint32_t kTypeDll = 2;
constexpr int kMaxDepth = 8;

std::uint16_t le16(std::string_view s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      static_cast<unsigned char>(s[at + 1]) << 8);
}
std::uint32_t le32(std::string_view s, std::size_t at) {
    return le16(s, at) | static_cast<std::uint32_t>(le16(s, at + 2)) << 16;
}

std::size_t align4(std::size_t n) {
    return (n + 3) & ~static_cast<std::size_t>(3);
}

// One node of the block: its key, the bytes of its value and its children, which all share the
// same form. Offsets are from the start of the resource, which both layouts align to four.
struct Node {
    std::u16string key;
    std::string_view value; // the bytes from the value to the first child (or the node's end)
    std::uint16_t valueLength = 0;
    std::vector<Node> children;
};

class Parser {
public:
    Parser(std::string_view data, ResLayout layout)
        : data_(data), wide_(layout == ResLayout::Bits32) {}

    bool node(std::size_t at, std::size_t limit, int depth, Node& out, std::string& error) {
        if (depth > kMaxDepth)
            return bad(at, "blocks nested too deep", error);
        if (limit - at < 4)
            return bad(at, "block header cut short", error);
        const std::size_t length = le16(data_, at);
        out.valueLength = le16(data_, at + 2);
        if (length < 4 || length > limit - at)
            return bad(at, "block length " + std::to_string(length) + " runs past its parent",
                       error);
        const std::size_t end = at + length;
        std::size_t pos = at + (wide_ ? 6 : 4);
        const bool text = wide_ && pos <= end && le16(data_, at + 4) == 1;
        if (pos > end)
            return bad(at, "block header cut short", error);
        // The key, then padding to four.
        for (;;) {
            if (pos + (wide_ ? 2 : 1) > end)
                return bad(at, "unterminated block key", error);
            char16_t c =
                wide_ ? le16(data_, pos) : cp1252ToUtf16(static_cast<unsigned char>(data_[pos]));
            pos += wide_ ? 2 : 1;
            if (c == 0)
                break;
            out.key.push_back(c);
        }
        pos = std::min(align4(pos), end);
        // A text value holds characters and runs to the node's end (tools differ in how they
        // count it); a binary one (and every 16-bit value) holds bytes. Children follow the value.
        const bool leaf = text && out.valueLength > 0;
        std::size_t valueEnd = leaf ? end : std::min<std::size_t>(pos + out.valueLength, end);
        out.value = data_.substr(pos, valueEnd - pos);
        std::size_t child = std::min(align4(valueEnd), end);
        while (!leaf && end - child >= 4) {
            Node c;
            if (!node(child, end, depth + 1, c, error))
                return false;
            child = std::min(align4(child + le16(data_, child)), end);
            out.children.push_back(std::move(c));
        }
        return true;
    }

    // A value's text up to its terminator.
    std::u16string text(std::string_view value) const {
        std::u16string out;
        if (wide_) {
            for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
                char16_t c = le16(value, i);
                if (c == 0)
                    break;
                out.push_back(c);
            }
        } else {
            for (char c : value) {
                if (c == 0)
                    break;
                out.push_back(cp1252ToUtf16(static_cast<unsigned char>(c)));
            }
        }
        return out;
    }

private:
    static bool bad(std::size_t at, const std::string& problem, std::string& error) {
        error = "version information, byte " + std::to_string(at) + ": " + problem;
        return false;
    }

    std::string_view data_;
    bool wide_;
};

std::string narrow(const std::u16string& text, bool& lossy) {
    std::string out;
    for (char16_t c : text) {
        std::optional<unsigned char> b = unicodeToCp1252(c);
        if (!b || *b == 0) {
            lossy = true;
            out += '?';
        } else {
            out += static_cast<char>(*b);
        }
    }
    return out;
}

std::string dotted(const std::array<std::uint16_t, 4>& v) {
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

// The fixed version a VERS value gives: 1 to 4 dot-separated numbers 0..65535.
std::optional<std::array<std::uint16_t, 4>> versionOf(const std::string& text) {
    std::array<std::uint16_t, 4> parts{};
    std::size_t part = 0, pos = 0;
    while (true) {
        std::size_t dot = text.find('.', pos);
        std::string digits = text.substr(pos, dot == std::string::npos ? dot : dot - pos);
        if (digits.empty() || digits.size() > 5 || part == 4 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        unsigned long value = std::stoul(digits);
        if (value > 0xFFFF)
            return std::nullopt;
        parts[part++] = static_cast<std::uint16_t>(value);
        if (dot == std::string::npos)
            return parts;
        pos = dot + 1;
    }
}

constexpr const char* kStringKeys[] = {"Comments",        "CompanyName",      "FileDescription",
                                       "FileVersion",     "InternalName",     "LegalCopyright",
                                       "LegalTrademarks", "OriginalFilename", "PrivateBuild",
                                       "ProductName",     "ProductVersion",   "SpecialBuild"};

bool knownStringKey(const std::string& key) {
    for (const char* k : kStringKeys)
        if (key == k)
            return true;
    return false;
}

} // namespace

std::optional<VersionBlock> parseVersionBlock(std::string_view data, ResLayout layout,
                                              std::string& error) {
    Parser parser(data, layout);
    Node root;
    if (!parser.node(0, data.size(), 0, root, error))
        return std::nullopt;
    if (root.key != u"VS_VERSION_INFO") {
        error = "version information does not begin with VS_VERSION_INFO";
        return std::nullopt;
    }
    VersionBlock block;
    if (root.valueLength >= kFixedSize && root.value.size() >= kFixedSize &&
        le32(root.value, 0) == kFixedSignature) {
        std::string_view f = root.value;
        block.hasFixed = true;
        block.fileVersion = {le16(f, 10), le16(f, 8), le16(f, 14), le16(f, 12)};
        block.productVersion = {le16(f, 18), le16(f, 16), le16(f, 22), le16(f, 20)};
        block.fileFlagsMask = le32(f, 24);
        block.fileFlags = le32(f, 28);
        block.fileOS = le32(f, 32);
        block.fileType = le32(f, 36);
        block.fileSubtype = le32(f, 40);
        block.fileDateMS = le32(f, 44);
        block.fileDateLS = le32(f, 48);
    }
    for (const Node& child : root.children) {
        if (child.key == u"StringFileInfo") {
            for (const Node& table : child.children) {
                VersionStringTable t{table.key, {}};
                for (const Node& s : table.children)
                    t.strings.emplace_back(s.key, parser.text(s.value));
                block.tables.push_back(std::move(t));
            }
        } else if (child.key == u"VarFileInfo") {
            for (const Node& var : child.children) {
                if (var.key != u"Translation")
                    continue;
                for (std::size_t i = 0; i + 3 < var.value.size(); i += 4)
                    block.translations.emplace_back(le16(var.value, i), le16(var.value, i + 2));
            }
        }
    }
    return block;
}

std::vector<std::string> versionLines(const VersionBlock& block,
                                      std::vector<std::string>& warnings) {
    std::vector<std::string> lines;
    bool lossy = false;
    if (block.fileType == kTypeDll)
        lines.push_back("FileType=dll");
    else if (block.hasFixed && block.fileType != 1)
        warnings.push_back("file type " + std::to_string(block.fileType) + " becomes app (1)");
    unsigned language = 0x0409, codePage = 1252;
    if (!block.tables.empty()) {
        const std::string key = narrow(block.tables[0].key, lossy);
        unsigned l = 0, c = 0;
        if (key.size() == 8 &&
            key.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos &&
            std::sscanf(key.c_str(), "%4x%4x", &l, &c) == 2) {
            language = l;
            codePage = c;
        } else {
            warnings.push_back("string table \"" + key +
                               "\" is not a language and code page; "
                               "0409 and 1252 are used");
        }
        if (block.tables.size() > 1)
            warnings.push_back(std::to_string(block.tables.size() - 1) +
                               " further string tables are left out");
    } else if (!block.translations.empty()) {
        language = block.translations[0].first;
        codePage = block.translations[0].second;
    }
    if (language != 0x0409) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "Language=%04X", language);
        lines.push_back(buf);
    }
    if (codePage != 1252)
        lines.push_back("CodePage=" + std::to_string(codePage));
    if (block.translations.size() > 1 ||
        (!block.translations.empty() &&
         block.translations[0] !=
             std::pair<std::uint16_t, std::uint16_t>(static_cast<std::uint16_t>(language),
                                                     static_cast<std::uint16_t>(codePage))))
        warnings.push_back("the translations become the string table's language and code page");

    bool fileVersionSeen = false, productVersionSeen = false;
    auto versionKey = [&](const std::string& key, const std::string& value,
                          const std::array<std::uint16_t, 4>& fixed, bool& seen) {
        seen = true;
        auto parsed = versionOf(value);
        if (parsed && (!block.hasFixed || *parsed == fixed)) {
            lines.push_back(key + "=" + value);
            return;
        }
        lines.push_back(key + "=" + dotted(fixed));
        warnings.push_back("the " + key + " string \"" + value + "\" becomes " + dotted(fixed));
    };
    if (!block.tables.empty()) {
        for (const auto& [rawKey, rawValue] : block.tables[0].strings) {
            std::string key = narrow(rawKey, lossy);
            std::string value = narrow(rawValue, lossy);
            if (key == "FileVersion")
                versionKey(key, value, block.fileVersion, fileVersionSeen);
            else if (key == "ProductVersion")
                versionKey(key, value, block.productVersion, productVersionSeen);
            else if (knownStringKey(key))
                lines.push_back(key + "=" + value);
            else
                warnings.push_back("the string " + key + " is left out");
        }
    }
    // A fixed version without its string gains one.
    const std::array<std::uint16_t, 4> zero{};
    if (!fileVersionSeen && block.fileVersion != zero) {
        lines.push_back("FileVersion=" + dotted(block.fileVersion));
        warnings.push_back("a FileVersion string is added");
    }
    if (!productVersionSeen && block.productVersion != zero) {
        lines.push_back("ProductVersion=" + dotted(block.productVersion));
        warnings.push_back("a ProductVersion string is added");
    }
    if (block.hasFixed && (block.fileFlags != 0 || block.fileSubtype != 0 ||
                           block.fileDateMS != 0 || block.fileDateLS != 0))
        warnings.push_back("file flags, subtype and date become 0");
    if (lossy)
        warnings.push_back("characters outside Windows-1252 become ?");
    return lines;
}

} // namespace kelbo
