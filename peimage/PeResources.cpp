#include "peimage/PeResources.h"
#include "platform/Bytes.h"

#include <algorithm>
#include <set>

namespace kelbo {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kTableHeader = 16;
constexpr std::uint32_t kTableEntry = 8;
constexpr std::uint32_t kDataEntry = 16;
// Windows reads resource data on any boundary; 8 keeps every kind aligned for its readers.
constexpr std::uint32_t kDataAlignment = 8;

// The memory flags rc and the .RES writers give each type.
std::uint16_t conventionalFlags(const ResName& type) {
    if (type.isOrdinal(kRtIcon) || type.isOrdinal(kRtCursor))
        return 0x1010;
    if (type.isOrdinal(kRtGroupIcon) || type.isOrdinal(kRtGroupCursor) || type.isOrdinal(kRtString))
        return 0x1030;
    return 0x0030;
}

class TreeReader {
public:
    TreeReader(InputFile& file, const PeImage& image, const std::string& fileName,
               std::string& error)
        : file_(file), image_(image), fileName_(fileName), error_(error) {}

    bool read(PeResourceDirectory& out) {
        const PeDataDirectory dir = image_.directory(kDirectoryResource);
        // A section ending where the directory begins does not hold it.
        const PeSection* section = image_.sectionHolding(dir.address, kTableHeader);
        if (!section)
            return fail(image_.directoryOffset(kDirectoryResource),
                        "resource directory at address " + std::to_string(dir.address) +
                            " lies outside every section");
        base_ = dir.address;
        baseOffset_ = section->rawOffset + (dir.address - section->virtualAddress);
        limit_ = section->virtualAddress + section->rawSize - dir.address;
        unsigned char head[kTableHeader];
        if (!fetch(0, head, kTableHeader, "root table"))
            return false;
        out.stamp = {le32(head), le32(head + 4), le16(head + 8), le16(head + 10)};
        ResEntry entry;
        return table(0, 0, entry, out.entries);
    }

private:
    bool fail(std::uint64_t offset, const std::string& problem) {
        error_ = fileName_ + ": offset " + std::to_string(offset) + ": " + problem;
        return false;
    }
    // Reads `count` bytes at `offset` from the directory's start, inside its section.
    bool fetch(std::uint32_t offset, unsigned char* buffer, std::size_t count, const char* what) {
        if (offset > limit_ || count > limit_ - offset)
            return fail(baseOffset_ + offset,
                        std::string(what) + " runs past the end of the resource section");
        if (!file_.readAt(baseOffset_ + offset, buffer, count))
            return fail(baseOffset_ + offset, std::string("cannot read the ") + what);
        return true;
    }

    bool nameAt(std::uint32_t offset, ResName& name) {
        unsigned char len[2];
        if (!fetch(offset, len, 2, "resource name"))
            return false;
        const std::uint16_t n = le16(len);
        std::vector<unsigned char> text(2u * n);
        if (!fetch(offset + 2, text.data(), text.size(), "resource name"))
            return false;
        name.isName = true;
        name.ordinal = 0;
        name.text.clear();
        for (std::size_t i = 0; i < n; ++i)
            name.text.push_back(static_cast<char16_t>(le16(&text[2 * i])));
        return true;
    }

    // One table at `offset`: level 0 holds types, 1 names, 2 languages.
    bool table(std::uint32_t offset, int level, ResEntry& entry, std::vector<ResEntry>& out) {
        static const char* const kWhat[] = {"type table", "name table", "language table"};
        if (!visited_.insert(offset).second)
            return fail(baseOffset_ + offset,
                        std::string(kWhat[level]) + " reached a second time: the directory loops");
        unsigned char head[kTableHeader];
        if (!fetch(offset, head, kTableHeader, kWhat[level]))
            return false;
        const std::uint32_t count = std::uint32_t{le16(head + 12)} + le16(head + 14);
        std::vector<unsigned char> entries(std::size_t{count} * kTableEntry);
        if (!fetch(offset + kTableHeader, entries.data(), entries.size(), kWhat[level]))
            return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* e = &entries[std::size_t{i} * kTableEntry];
            const std::uint64_t at = baseOffset_ + offset + kTableHeader + i * kTableEntry;
            const std::uint32_t id = le32(e), target = le32(e + 4);
            ResName name;
            if (id & kHighBit) {
                if (level == 2)
                    return fail(at, "a language given by name");
                if (!nameAt(id & ~kHighBit, name))
                    return false;
            } else {
                if (id > 0xFFFF)
                    return fail(at, "identifier " + std::to_string(id) + " is over 65535");
                name = ResName::of(static_cast<std::uint16_t>(id));
            }
            const bool isTable = target & kHighBit;
            if (level < 2 && !isTable)
                return fail(at,
                            std::string("a data entry where a ") + kWhat[level + 1] + " belongs");
            if (level == 2 && isTable)
                return fail(at, "a table below the language level: more than three levels");
            if (level == 0) {
                entry.type = name;
            } else if (level == 1) {
                entry.name = name;
            } else {
                entry.language = name.ordinal;
            }
            if (isTable) {
                if (!table(target & ~kHighBit, level + 1, entry, out))
                    return false;
            } else if (!dataEntry(target, entry, out)) {
                return false;
            }
        }
        return true;
    }

    bool dataEntry(std::uint32_t offset, ResEntry entry, std::vector<ResEntry>& out) {
        unsigned char d[kDataEntry];
        if (!fetch(offset, d, kDataEntry, "data entry"))
            return false;
        const std::uint32_t rva = le32(d), size = le32(d + 4);
        const std::optional<std::uint64_t> at = image_.fileOffsetOf(rva, size);
        if (!at)
            return fail(baseOffset_ + offset,
                        "resource " + describeName(entry.type) + " " + describeName(entry.name) +
                            ": data of " + std::to_string(size) + " bytes at address " +
                            std::to_string(rva) + " lies outside every section");
        entry.codePage = le32(d + 8);
        entry.headerOffset = baseOffset_ + offset;
        entry.dataOffset = *at;
        entry.dataSize = size;
        entry.memoryFlags = conventionalFlags(entry.type);
        out.push_back(std::move(entry));
        return true;
    }

    InputFile& file_;
    const PeImage& image_;
    const std::string& fileName_;
    std::string& error_;
    std::uint32_t base_ = 0;
    std::uint64_t baseOffset_ = 0;
    std::uint32_t limit_ = 0;
    std::set<std::uint32_t> visited_;
};

std::size_t align(std::size_t v, std::size_t a) {
    return (v + a - 1) / a * a;
}

} // namespace

std::optional<PeResourceDirectory> readPeResources(InputFile& file, const PeImage& image,
                                                   const std::string& fileName,
                                                   std::string& error) {
    PeResourceDirectory out;
    if (image.directory(kDirectoryResource).address == 0)
        return out;
    TreeReader reader(file, image, fileName, error);
    if (!reader.read(out))
        return std::nullopt;
    return out;
}

std::optional<ResDirectory> readResourceEntries(InputFile& file, const std::string& fileName,
                                                std::string& error) {
    if (!looksLikeProgram(file))
        return readResDirectory(file, fileName, error);
    std::optional<PeImage> image = readPeImage(file, fileName, error);
    if (!image)
        return std::nullopt;
    std::optional<PeResourceDirectory> tree = readPeResources(file, *image, fileName, error);
    if (!tree)
        return std::nullopt;
    return ResDirectory{ResLayout::Bits32, std::move(tree->entries)};
}

bool resourceNameLess(const ResName& a, const ResName& b) {
    if (a.isName != b.isName)
        return a.isName;
    return a.isName ? a.text < b.text : a.ordinal < b.ordinal;
}

void sortResources(std::vector<PeResource>& resources) {
    std::stable_sort(resources.begin(), resources.end(),
                     [](const PeResource& a, const PeResource& b) {
                         if (!(a.type == b.type))
                             return resourceNameLess(a.type, b.type);
                         if (!(a.name == b.name))
                             return resourceNameLess(a.name, b.name);
                         return a.language < b.language;
                     });
}

std::string writeResourceSection(const std::vector<PeResource>& resources, std::uint32_t baseRva,
                                 const PeResourceStamp& stamp, std::string& error) {
    // The tree's shape: types, the names of each, the languages of each name.
    struct NameNode {
        const ResName* name;
        std::vector<std::size_t> resources;
    };
    struct TypeNode {
        const ResName* type;
        std::vector<NameNode> names;
    };
    std::vector<TypeNode> types;
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const PeResource& r = resources[i];
        if (types.empty() || !(*types.back().type == r.type))
            types.push_back({&r.type, {}});
        auto& names = types.back().names;
        if (names.empty() || !(*names.back().name == r.name))
            names.push_back({&r.name, {}});
        names.back().resources.push_back(i);
    }
    auto tableSize = [](std::size_t entries) { return kTableHeader + kTableEntry * entries; };
    bool tooMany = types.size() > 0xFFFF;
    // Offsets: the root, every name table, every language table, the data entries, the names.
    std::size_t pos = tableSize(types.size());
    std::vector<std::size_t> nameTableAt, languageTableAt;
    for (const TypeNode& t : types) {
        nameTableAt.push_back(pos);
        pos += tableSize(t.names.size());
        tooMany |= t.names.size() > 0xFFFF;
    }
    for (const TypeNode& t : types) {
        for (const NameNode& n : t.names) {
            languageTableAt.push_back(pos);
            pos += tableSize(n.resources.size());
            tooMany |= n.resources.size() > 0xFFFF;
        }
    }
    if (tooMany) {
        error = "more than 65535 resources in one table of the resource directory";
        return {};
    }
    const std::size_t dataEntriesAt = pos;
    pos += kDataEntry * resources.size();
    std::vector<std::size_t> typeNameAt, nameNameAt;
    for (const TypeNode& t : types) {
        typeNameAt.push_back(pos);
        if (t.type->isName)
            pos += 2 + 2 * t.type->text.size();
        for (const NameNode& n : t.names) {
            nameNameAt.push_back(pos);
            if (n.name->isName)
                pos += 2 + 2 * n.name->text.size();
        }
    }
    std::vector<std::size_t> dataAt;
    for (const PeResource& r : resources) {
        pos = align(pos, kDataAlignment);
        dataAt.push_back(pos);
        pos += r.data.size();
    }
    if (pos > 0x7FFFFFFFu - baseRva) {
        error = "the resources take more than 2 GB";
        return {};
    }

    std::string out(pos, '\0');
    auto header = [&](std::size_t at, std::size_t named, std::size_t numbered) {
        setLe32(out, at, stamp.characteristics);
        setLe32(out, at + 4, stamp.timeDateStamp);
        setLe16(out, at + 8, stamp.majorVersion);
        setLe16(out, at + 10, stamp.minorVersion);
        setLe16(out, at + 12, static_cast<std::uint32_t>(named));
        setLe16(out, at + 14, static_cast<std::uint32_t>(numbered));
    };
    auto writeName = [&](std::size_t at, const ResName& name) {
        setLe16(out, at, static_cast<std::uint32_t>(name.text.size()));
        for (std::size_t i = 0; i < name.text.size(); ++i)
            setLe16(out, at + 2 + 2 * i, name.text[i]);
    };
    auto entry = [&](std::size_t at, const ResName& name, std::size_t nameAt,
                     std::uint32_t target) {
        setLe32(out, at,
                name.isName ? kHighBit | static_cast<std::uint32_t>(nameAt) : name.ordinal);
        setLe32(out, at + 4, target);
    };
    auto namedCount = [](auto first, auto last, auto key) {
        return static_cast<std::size_t>(
            std::count_if(first, last, [&](const auto& x) { return key(x).isName; }));
    };

    header(0,
           namedCount(
               types.begin(), types.end(), [](auto& t) -> auto& { return *t.type; }),
           types.size() -
               namedCount(
                   types.begin(), types.end(), [](auto& t) -> auto& { return *t.type; }));
    std::size_t nameIndex = 0, resourceIndex = 0;
    for (std::size_t ti = 0; ti < types.size(); ++ti) {
        const TypeNode& t = types[ti];
        if (t.type->isName)
            writeName(typeNameAt[ti], *t.type);
        entry(kTableHeader + kTableEntry * ti, *t.type, typeNameAt[ti],
              kHighBit | static_cast<std::uint32_t>(nameTableAt[ti]));
        const std::size_t named = namedCount(
            t.names.begin(), t.names.end(), [](auto& n) -> auto& { return *n.name; });
        header(nameTableAt[ti], named, t.names.size() - named);
        for (std::size_t ni = 0; ni < t.names.size(); ++ni, ++nameIndex) {
            const NameNode& n = t.names[ni];
            if (n.name->isName)
                writeName(nameNameAt[nameIndex], *n.name);
            entry(nameTableAt[ti] + kTableHeader + kTableEntry * ni, *n.name, nameNameAt[nameIndex],
                  kHighBit | static_cast<std::uint32_t>(languageTableAt[nameIndex]));
            const std::size_t lt = languageTableAt[nameIndex];
            header(lt, 0, n.resources.size());
            for (std::size_t li = 0; li < n.resources.size(); ++li, ++resourceIndex) {
                const PeResource& r = resources[n.resources[li]];
                const std::size_t de = dataEntriesAt + kDataEntry * resourceIndex;
                entry(lt + kTableHeader + kTableEntry * li, ResName::of(r.language), 0,
                      static_cast<std::uint32_t>(de));
                setLe32(out, de, baseRva + static_cast<std::uint32_t>(dataAt[resourceIndex]));
                setLe32(out, de + 4, static_cast<std::uint32_t>(r.data.size()));
                setLe32(out, de + 8, r.codePage);
                std::copy(r.data.begin(), r.data.end(),
                          out.begin() + static_cast<std::ptrdiff_t>(dataAt[resourceIndex]));
            }
        }
    }
    return out;
}

} // namespace kelbo
