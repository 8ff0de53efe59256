#include "ResReader.h"

#include "platform/Unicode.h"
#include "resreader/ResFile.h"
#include "tests/support/MemoryFileSystem.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace oracle {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; the rest map to the same code point.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t fromCp1252(unsigned char c) {
    return c >= 0x80 && c <= 0x9F ? kCp1252High[c - 0x80] : c;
}

class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
    std::size_t pos() const { return pos_; }
    std::size_t left() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    void seek(std::size_t p) { pos_ = p; }

    bool u8(std::uint8_t& v) {
        if (left() < 1)
            return false;
        v = static_cast<std::uint8_t>(bytes_[pos_++]);
        return true;
    }
    bool u16(std::uint16_t& v) {
        if (left() < 2)
            return false;
        v = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes_[pos_]) |
                                       static_cast<std::uint8_t>(bytes_[pos_ + 1]) << 8);
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint16_t lo = 0, hi = 0;
        if (left() < 4 || !u16(lo) || !u16(hi))
            return false;
        v = lo | static_cast<std::uint32_t>(hi) << 16;
        return true;
    }
    bool take(std::size_t n, std::string& out) {
        if (left() < n)
            return false;
        out.assign(bytes_.substr(pos_, n));
        pos_ += n;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

std::string at(std::size_t offset) {
    return " at offset " + std::to_string(offset);
}

bool zeros(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char b) { return b == 0; });
}

void put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

// The 16 slots of a 16-bit string block in their 32-bit form.
std::optional<std::string> widenStringBlock(std::string_view data) {
    Cursor c(data);
    std::string out;
    for (int slot = 0; slot < 16; ++slot) {
        std::uint8_t length = 0;
        std::string text;
        if (!c.u8(length) || !c.take(length, text))
            return std::nullopt;
        put16(out, length);
        for (unsigned char ch : text)
            put16(out, fromCp1252(ch));
    }
    if (!c.atEnd())
        return std::nullopt;
    return out;
}

std::string hexDiff(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    char buf[160];
    auto byteAt = [](std::string_view s, std::size_t k) {
        return k < s.size() ? static_cast<int>(static_cast<unsigned char>(s[k])) : -1;
    };
    std::snprintf(buf, sizeof buf, "sizes %zu and %zu, first difference at byte %zu (%d vs %d)",
                  a.size(), b.size(), i, byteAt(a, i), byteAt(b, i));
    return buf;
}

// Type, name and language: what the loader looks a resource up by.
struct Key {
    ResId first;
    ResId second;
    std::uint16_t language = 0;
    auto operator<=>(const Key&) const = default;
};

std::string describe(const Key& k) {
    char lang[16];
    std::snprintf(lang, sizeof lang, " (%04X)", k.language);
    return describe(k.first) + " " + describe(k.second) + lang;
}

ResId spacesAsUnderscores(ResId id) {
    std::replace(id.name.begin(), id.name.end(), u' ', u'_');
    return id;
}

// The name as the loader compares it: without regard to case.
ResId upperCased(ResId id) {
    if (id.isName)
        id.name = kelbo::utf8ToUtf16(kelbo::upperCaseName(kelbo::utf16ToUtf8(id.name)));
    return id;
}

struct Indexed {
    std::map<Key, const Resource*> byKey;
    // Images by type (RT_ICON, RT_CURSOR), then number.
    std::map<std::uint16_t, std::map<std::uint16_t, const Resource*>> images;
};

bool isImageType(const ResId& type) {
    return !type.isName && (type.number == kRtIcon || type.number == kRtCursor);
}
bool isGroupType(const ResId& type) {
    return !type.isName && (type.number == kRtGroupIcon || type.number == kRtGroupCursor);
}
std::uint16_t imageTypeOf(const ResId& groupType) {
    return groupType.number == kRtGroupCursor ? kRtCursor : kRtIcon;
}

Indexed indexResources(const std::vector<Resource>& all, bool renameSpaces,
                       const CompareOptions& options, const char* side,
                       std::vector<std::string>& diffs) {
    Indexed ix;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Resource& r = all[i];
        if (i == 0)
            continue; // the empty entry, checked by the reader
        // Empty entries in the middle (files joined together) are no resources.
        if (options.skipEmptyEntries && r.type == ResId::ofNumber(0) &&
            r.name == ResId::ofNumber(0) && r.data.empty())
            continue;
        ResId type = options.caseless ? upperCased(r.type) : r.type;
        ResId name = renameSpaces ? spacesAsUnderscores(r.name) : r.name;
        Key key{type, options.caseless ? upperCased(name) : name, r.language};
        if (!ix.byKey.emplace(key, &r).second)
            diffs.push_back(std::string(side) + ": two resources " + describe(key));
        if (isImageType(r.type) && !r.name.isName)
            ix.images[r.type.number][r.name.number] = &r;
    }
    return ix;
}

void compareFields(const Key& key, const Resource& a, const Resource& b,
                   const CompareOptions& options, std::vector<std::string>& diffs) {
    auto field = [&](const char* what, std::uint32_t x, std::uint32_t y) {
        if (x != y) {
            char buf[96];
            std::snprintf(buf, sizeof buf, ": %s 0x%X, theirs 0x%X", what, x, y);
            diffs.push_back(describe(key) + buf);
        }
    };
    if (options.memoryFlags)
        field("memory flags", a.memoryFlags, b.memoryFlags);
    field("data version", a.dataVersion, b.dataVersion);
    field("version", a.version, b.version);
    field("characteristics", a.characteristics, b.characteristics);
}

void compareGroups(const Key& key, const Resource& ours, const Resource& theirs,
                   const Indexed& ourIx, const Indexed& theirIx, const CompareOptions& options,
                   std::map<std::uint16_t, std::set<std::uint16_t>>& used,
                   std::vector<std::string>& diffs) {
    std::string error;
    const std::uint16_t imageType = imageTypeOf(key.first);
    auto imagesOf = [&](const Indexed& ix) {
        auto it = ix.images.find(imageType);
        return it == ix.images.end() ? std::map<std::uint16_t, const Resource*>{} : it->second;
    };
    auto a = resolveGroup(ours, imagesOf(ourIx), error);
    if (!a) {
        diffs.push_back(describe(key) + ": ours: " + error);
        return;
    }
    auto b = resolveGroup(theirs, imagesOf(theirIx), error);
    if (!b) {
        diffs.push_back(describe(key) + ": theirs: " + error);
        return;
    }
    if (a->reserved != b->reserved || a->type != b->type)
        diffs.push_back(describe(key) + ": group header reserved/type differ");
    if (a->images.size() != b->images.size()) {
        diffs.push_back(describe(key) + ": " + std::to_string(a->images.size()) +
                        " images, theirs " + std::to_string(b->images.size()));
        return;
    }
    for (std::size_t i = 0; i < a->images.size(); ++i) {
        const GroupImage& x = a->images[i];
        const GroupImage& y = b->images[i];
        const std::string where = describe(key) + " image " + std::to_string(i + 1);
        used[imageType].insert(x.imageNumber);
        if (x.width != y.width || x.height != y.height || x.colorCount != y.colorCount ||
            x.reserved != y.reserved || x.planes != y.planes || x.bitCount != y.bitCount ||
            x.bytesInRes != y.bytesInRes)
            diffs.push_back(where + ": group entry fields differ");
        if (x.image != y.image)
            diffs.push_back(where + ": image data differ: " + hexDiff(x.image, y.image));
        if (options.memoryFlags && x.imageFlags != y.imageFlags) {
            char buf[64];
            std::snprintf(buf, sizeof buf, ": image memory flags 0x%X, theirs 0x%X", x.imageFlags,
                          y.imageFlags);
            diffs.push_back(where + buf);
        }
        if (x.imageLanguage != y.imageLanguage)
            diffs.push_back(where + ": image language differs");
    }
}

} // namespace

std::string describe(const ResId& id) {
    if (!id.isName)
        return std::to_string(id.number);
    std::string s = "\"";
    for (char16_t ch : id.name)
        s += ch < 0x80 ? static_cast<char>(ch) : '?';
    return s + "\"";
}

namespace {

ResId idOf(const kelbo::ResName& n) {
    return n.isName ? ResId::ofName(n.text) : ResId::ofNumber(n.ordinal);
}

// Every resource through the core's reader, which checks each header against the file; the
// padding the 32-bit layout puts after the names and the data must also be zero.
std::optional<std::vector<Resource>> readWithCore(std::string_view bytes, kelbo::ResLayout want,
                                                  std::string& error) {
    kelbo::test::MemoryInput in{std::string(bytes)};
    kelbo::ResReader reader(in, "file");
    if (!reader.start()) {
        error = reader.error();
        return std::nullopt;
    }
    if (reader.layout() != want) {
        error = want == kelbo::ResLayout::Bits32 ? "the file does not begin with the empty entry"
                                                 : "the file begins with the empty entry";
        return std::nullopt;
    }
    std::vector<Resource> out(1); // the empty entry, which the reader checks and skips
    std::size_t end = want == kelbo::ResLayout::Bits32 ? 32 : 0;
    kelbo::ResEntry e;
    while (reader.next(e)) {
        if (!zeros(bytes.substr(end, e.headerOffset - end))) {
            error = "bad padding after the data" + at(end);
            return std::nullopt;
        }
        Resource r;
        r.type = idOf(e.type);
        r.name = idOf(e.name);
        r.memoryFlags = e.memoryFlags;
        r.language = e.language;
        r.dataVersion = e.dataVersion;
        r.version = e.version;
        r.characteristics = e.characteristics;
        r.data = std::string(bytes.substr(e.dataOffset, e.dataSize));
        end = e.dataOffset + e.dataSize;
        out.push_back(std::move(r));
    }
    if (!reader.error().empty()) {
        error = reader.error();
        return std::nullopt;
    }
    if (!zeros(bytes.substr(end))) {
        error = "bad padding after the data" + at(end);
        return std::nullopt;
    }
    return out;
}

} // namespace

std::optional<std::vector<Resource>> readRes32(std::string_view bytes, std::string& error) {
    return readWithCore(bytes, kelbo::ResLayout::Bits32, error);
}

std::optional<std::vector<Resource>> readRes16(std::string_view bytes, std::string& error) {
    auto out = readWithCore(bytes, kelbo::ResLayout::Bits16, error);
    if (!out)
        return std::nullopt;
    for (Resource& r : *out) {
        if (!r.type.isName && r.type.number == kRtString) {
            auto wide = widenStringBlock(r.data);
            if (!wide) {
                error = "string block whose slots do not fill its size";
                return std::nullopt;
            }
            r.data = std::move(*wide);
        }
    }
    return out;
}

std::optional<IconGroup> resolveGroup(const Resource& group,
                                      const std::map<std::uint16_t, const Resource*>& images,
                                      std::string& error) {
    const bool cursor = !group.type.isName && group.type.number == kRtGroupCursor;
    Cursor c(group.data);
    IconGroup g;
    if (!c.u16(g.reserved) || !c.u16(g.type) || !c.u16(g.count) ||
        group.data.size() != 6 + 14u * g.count) {
        error = "group of " + std::to_string(group.data.size()) + " bytes does not fit its count";
        return std::nullopt;
    }
    for (int i = 0; i < g.count; ++i) {
        GroupImage e;
        if (cursor) {
            if (!c.u16(e.width) || !c.u16(e.height))
                return std::nullopt;
        } else {
            std::uint8_t width = 0, height = 0;
            if (!c.u8(width) || !c.u8(height) || !c.u8(e.colorCount) || !c.u8(e.reserved))
                return std::nullopt;
            e.width = width;
            e.height = height;
        }
        if (!c.u16(e.planes) || !c.u16(e.bitCount) || !c.u32(e.bytesInRes) || !c.u16(e.imageNumber))
            return std::nullopt;
        auto it = images.find(e.imageNumber);
        if (it == images.end()) {
            error = "group names the missing image " + std::to_string(e.imageNumber);
            return std::nullopt;
        }
        e.image = it->second->data;
        e.imageFlags = it->second->memoryFlags;
        e.imageLanguage = it->second->language;
        if (e.image.size() != e.bytesInRes) {
            error = "group entry size " + std::to_string(e.bytesInRes) + " but image " +
                    std::to_string(e.imageNumber) + " holds " + std::to_string(e.image.size());
            return std::nullopt;
        }
        g.images.push_back(std::move(e));
    }
    return g;
}

std::vector<std::string> compareResources(const std::vector<Resource>& ours,
                                          const std::vector<Resource>& theirs,
                                          const CompareOptions& options) {
    std::vector<std::string> diffs;
    Indexed a = indexResources(ours, options.spacesAsUnderscores, options, "ours", diffs);
    Indexed b = indexResources(theirs, false, options, "theirs", diffs);
    std::map<std::uint16_t, std::set<std::uint16_t>> used;
    auto isIconImage = [](const Key& k) { return isImageType(k.first); };

    for (const auto& [key, r] : a.byKey) {
        if (isIconImage(key))
            continue;
        auto it = b.byKey.find(key);
        if (it == b.byKey.end()) {
            diffs.push_back(describe(key) + ": only in ours");
            continue;
        }
        compareFields(key, *r, *it->second, options, diffs);
        if (isGroupType(key.first))
            compareGroups(key, *r, *it->second, a, b, options, used, diffs);
        else if (r->data != it->second->data)
            diffs.push_back(describe(key) + ": data differ: " + hexDiff(r->data, it->second->data));
    }
    for (const auto& [key, r] : b.byKey)
        if (!isIconImage(key) && !a.byKey.count(key))
            diffs.push_back(describe(key) + ": only in theirs");
    for (const auto& [type, numbered] : a.images)
        for (const auto& [number, r] : numbered)
            if (!used[type].count(number))
                diffs.push_back("ours: image " + describe(Key{r->type, r->name, r->language}) +
                                " in no group");
    return diffs;
}

} // namespace oracle
