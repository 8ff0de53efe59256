#include "resreader/VersionBlock.h"

#include <cstdio>

#include "platform/Bytes.h"
#include "platform/Cp1252.h"
#include "platform/Unicode.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/VersionInfo.h"

namespace kelbo {
namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;
constexpr std::uint32_t kTypeApp = 1;
constexpr std::uint32_t kTypeDll = 2;
constexpr std::uint32_t kOS32 = 0x40004; // VOS_NT_WINDOWS32
constexpr std::uint32_t kOS16 = 0x1;     // VOS__WINDOWS16
constexpr int kMaxDepth = 8;

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

bool knownStringKey(const std::string& key) {
    VersionProblem problem;
    std::optional<VersionSettings> s = parseVersionLines({key + "="}, problem);
    return s && s->strings.size() == 1 && s->strings[0].key == key;
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
    block.layout = layout;
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
    VersionSettings s;
    s.fileVersion = block.fileVersion;
    s.productVersion = block.productVersion;
    if (!block.hasFixed)
        warnings.push_back("fixed file information is added");
    if (block.hasFixed && block.fileType == kTypeDll)
        s.dll = true;
    else if (block.hasFixed && block.fileType != kTypeApp)
        s.otherFileType = block.fileType;
    if (block.hasFixed) {
        s.fileFlagsMask = block.fileFlagsMask;
        s.fileFlags = block.fileFlags;
        const std::uint32_t ownOS = block.layout == ResLayout::Bits16 ? kOS16 : kOS32;
        if (block.fileOS != ownOS)
            s.fileOS = block.fileOS;
        s.fileSubtype = block.fileSubtype;
        s.fileDate = std::uint64_t{block.fileDateMS} << 32 | block.fileDateLS;
    }
    if (!block.tables.empty()) {
        const std::string key = utf16ToUtf8(block.tables[0].key);
        unsigned l = 0, c = 0;
        if (key.size() == 8 &&
            key.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos &&
            std::sscanf(key.c_str(), "%4x%4x", &l, &c) == 2) {
            s.language = static_cast<std::uint16_t>(l);
            s.codePage = static_cast<std::uint16_t>(c);
        } else {
            warnings.push_back("string table \"" + key +
                               "\" is not a language and code page; "
                               "0409 and 1252 are used");
        }
        if (block.tables.size() > 1)
            warnings.push_back(std::to_string(block.tables.size() - 1) +
                               " further string tables are left out");
    } else if (!block.translations.empty()) {
        s.language = block.translations[0].first;
        s.codePage = block.translations[0].second;
    }
    if (block.translations.size() != 1 ||
        block.translations[0] != std::pair<std::uint16_t, std::uint16_t>(s.language, s.codePage))
        warnings.push_back("the translations become the string table's language and code page");

    // A version string that spells its number is written as today's one key; any other text
    // (or a number without its string) gives the number a key of its own.
    bool fileSeen = false, productSeen = false;
    auto versionString = [&](const std::string& value, const VersionNumber& fixed, bool& apart,
                             bool& seen) {
        seen = true;
        VersionProblem problem;
        std::optional<VersionSettings> spelt =
            trimSpaces(value) == value && !value.empty()
                ? parseVersionLines({"FileVersion=" + value}, problem)
                : std::nullopt;
        if (!spelt || spelt->fileVersion != fixed)
            apart = true;
    };
    if (!block.tables.empty()) {
        for (const auto& [rawKey, rawValue] : block.tables[0].strings) {
            std::string key = utf16ToUtf8(rawKey);
            std::string value = utf16ToUtf8(rawValue);
            if (key == "FileVersion")
                versionString(value, block.fileVersion, s.fileNumberGiven, fileSeen);
            else if (key == "ProductVersion")
                versionString(value, block.productVersion, s.productNumberGiven, productSeen);
            else if (!knownStringKey(key)) {
                warnings.push_back("the string " + key + " is left out");
                continue;
            }
            if (trimSpaces(value) != value)
                warnings.push_back("the spaces around the " + key + " string are dropped");
            s.strings.push_back({key, value});
        }
    }
    const VersionNumber zero{};
    s.fileNumberGiven |= !fileSeen && block.fileVersion != zero;
    s.productNumberGiven |= !productSeen && block.productVersion != zero;
    return versionLines(s);
}

} // namespace kelbo
