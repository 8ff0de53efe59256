#include "peimage/PePatch.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "platform/Bytes.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/ResOutput.h"

namespace kelbo {
namespace {

// Small enough to stay in the cache between the read, the sum and the write.
constexpr std::size_t kCopyChunk = 1 << 20;
constexpr std::uint32_t kSectionCharacteristics = 0x40000040; // initialized data, readable
constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;

std::uint64_t alignUp(std::uint64_t v, std::uint64_t a) {
    return (v + a - 1) / a * a;
}

// --- the merge ---------------------------------------------------------------------------------

struct Key {
    ResName type;
    ResName name;
    std::uint16_t language = 0;
};
struct KeyLess {
    bool operator()(const Key& a, const Key& b) const {
        if (!(a.type == b.type))
            return resourceNameLess(a.type, b.type);
        if (!(a.name == b.name))
            return resourceNameLess(a.name, b.name);
        return a.language < b.language;
    }
};
Key keyOf(const PeResource& r) {
    return {r.type, r.name, r.language};
}

std::string describeKey(const Key& k) {
    std::string type =
        k.type.isName || kindWord(k.type) == "DATA" ? describeName(k.type) : kindWord(k.type);
    return type + " " + describeName(k.name) + " " + hexWord(k.language);
}

// The image numbers a group's entries name; as many as its bytes hold.
std::vector<std::uint16_t> groupImages(const std::string& group) {
    std::vector<std::uint16_t> ids;
    if (group.size() < kGroupHeader)
        return ids;
    const std::size_t count = le16(group, 4);
    for (std::size_t i = 0; i < count && kGroupHeader + kGroupEntry * (i + 1) <= group.size(); ++i)
        ids.push_back(le16(group, kGroupHeader + kGroupEntry * i + 12));
    return ids;
}

// A string block's sixteen strings; false when it ends early.
bool stringSlots(const std::string& block, std::vector<std::u16string>& slots) {
    slots.assign(16, {});
    std::size_t pos = 0;
    for (auto& slot : slots) {
        if (block.size() - pos < 2)
            return false;
        const std::size_t length = le16(block, pos);
        pos += 2;
        if ((block.size() - pos) / 2 < length)
            return false;
        for (std::size_t i = 0; i < length; ++i, pos += 2)
            slot.push_back(static_cast<char16_t>(le16(block, pos)));
    }
    return true;
}

class Merger {
public:
    Merger(const std::vector<PeResource>& program, const std::vector<PeResource>& from)
        : from_(from) {
        for (const PeResource& r : program)
            tree_[keyOf(r)] = r;
        for (const PeResource& r : from)
            ++fromLanguages_[{r.type, r.name, 0}];
    }

    bool run(std::string& error);
    std::vector<PeResource> result() const {
        std::vector<PeResource> out;
        for (const auto& [key, r] : tree_)
            out.push_back(r);
        return out;
    }
    std::vector<std::string> changes() const {
        std::vector<std::string> lines;
        for (const auto& [key, what] : actions_) {
            const char* word = (what & kRemoved) && !(what & (kAdded | kReplaced)) ? "removed"
                               : (what & (kRemoved | kReplaced))                   ? "replaced"
                                                                                   : "added";
            lines.push_back(std::string(word) + " " + describeKey(key));
        }
        return lines;
    }

private:
    enum : int { kAdded = 1, kReplaced = 2, kRemoved = 4 };

    // The program's resources `f` meets: its own language; or, when FROM holds the type and
    // name in this language only and the program only in others, all of those. With
    // `everyLanguage`, every language of the type and name.
    std::vector<Key> targets(const PeResource& f, bool everyLanguage) const {
        std::vector<Key> all;
        for (auto it = tree_.lower_bound({f.type, f.name, 0});
             it != tree_.end() && it->first.type == f.type && it->first.name == f.name; ++it)
            all.push_back(it->first);
        if (everyLanguage)
            return all;
        for (const Key& k : all) {
            if (k.language == f.language)
                return {k};
        }
        return fromLanguages_.at({f.type, f.name, 0}) == 1 ? all : std::vector<Key>{};
    }
    void add(PeResource r) {
        Key k = keyOf(r);
        actions_[k] |= tree_.count(k) ? kReplaced : kAdded;
        tree_[k] = std::move(r);
    }
    void replace(const Key& k, const std::string& data) {
        tree_[k].data = data;
        actions_[k] |= kReplaced;
    }
    void remove(const Key& k) {
        tree_.erase(k);
        actions_[k] |= kRemoved;
    }
    // `f` into each of `targets`, or added in its own language when there is none.
    void put(const PeResource& f, const std::vector<Key>& targets) {
        if (targets.empty())
            add(f);
        for (const Key& k : targets)
            replace(k, f.data);
    }

    void versions();
    bool groups(std::string& error);
    bool strings(std::string& error);

    const std::vector<PeResource>& from_;
    std::map<Key, PeResource, KeyLess> tree_;
    std::map<Key, int, KeyLess> actions_;
    std::map<Key, int, KeyLess> fromLanguages_; // per type and name (language 0)
};

// FROM's version information replaces every version resource of the program; it takes the
// language and code page of the program's first.
void Merger::versions() {
    const ResName type = ResName::of(kRtVersion);
    std::vector<Key> old;
    for (const auto& [key, r] : tree_) {
        if (key.type == type)
            old.push_back(key);
    }
    bool first = true;
    for (const PeResource& f : from_) {
        if (!(f.type == type))
            continue;
        if (!first || old.empty()) {
            put(f, targets(f, false));
            continue;
        }
        first = false;
        PeResource r = f;
        r.language = old.front().language;
        r.codePage = tree_[old.front()].codePage;
        for (const Key& k : old)
            remove(k);
        add(std::move(r));
    }
}

// Groups by the language rules; the program's images only replaced groups used go, and FROM's
// images keep their numbers where the program leaves them free, otherwise take the lowest free
// ones, their groups rewritten to match.
bool Merger::groups(std::string& error) {
    struct Plan {
        const PeResource* group;
        std::vector<Key> targets;
    };
    std::vector<Plan> plans;
    std::set<Key, KeyLess> replaced;
    std::map<std::uint16_t, std::set<std::uint16_t>> released, used, taken;
    auto imageTypeOf = [](const ResName& group) -> std::uint16_t {
        return group.isOrdinal(kRtGroupIcon) ? kRtIcon : kRtCursor;
    };
    for (const PeResource& f : from_) {
        if (!f.type.isOrdinal(kRtGroupIcon) && !f.type.isOrdinal(kRtGroupCursor))
            continue;
        plans.push_back({&f, targets(f, false)});
        for (const Key& k : plans.back().targets) {
            replaced.insert(k);
            for (std::uint16_t id : groupImages(tree_[k].data))
                released[imageTypeOf(f.type)].insert(id);
        }
    }
    for (const auto& [key, r] : tree_) {
        if ((key.type.isOrdinal(kRtGroupIcon) || key.type.isOrdinal(kRtGroupCursor)) &&
            !replaced.count(key)) {
            for (std::uint16_t id : groupImages(r.data))
                used[imageTypeOf(key.type)].insert(id);
        }
    }
    std::vector<Key> orphans;
    for (const auto& [key, r] : tree_) {
        if (!key.name.isName && (key.type.isOrdinal(kRtIcon) || key.type.isOrdinal(kRtCursor)) &&
            released[key.type.ordinal].count(key.name.ordinal) &&
            !used[key.type.ordinal].count(key.name.ordinal))
            orphans.push_back(key);
    }
    for (const Key& k : orphans)
        remove(k);
    for (const auto& [key, r] : tree_) {
        if (!key.name.isName && (key.type.isOrdinal(kRtIcon) || key.type.isOrdinal(kRtCursor)))
            taken[key.type.ordinal].insert(key.name.ordinal);
    }
    // FROM's images that no group of FROM names keep their numbers (they merge as any other
    // resource), so no renumbered image may take them.
    std::map<std::uint16_t, std::set<std::uint16_t>> named;
    for (const Plan& p : plans) {
        for (std::uint16_t id : groupImages(p.group->data))
            named[imageTypeOf(p.group->type)].insert(id);
    }
    for (const PeResource& f : from_) {
        if (!f.name.isName && (f.type.isOrdinal(kRtIcon) || f.type.isOrdinal(kRtCursor)) &&
            !named[f.type.ordinal].count(f.name.ordinal))
            taken[f.type.ordinal].insert(f.name.ordinal);
    }

    // FROM's numbers that are free stay; the others take the lowest numbers left.
    std::map<std::uint16_t, std::set<std::uint16_t>> kept;
    for (const auto& [type, ids] : named) {
        for (std::uint16_t id : ids) {
            if (!taken[type].count(id))
                kept[type].insert(id);
        }
        taken[type].insert(kept[type].begin(), kept[type].end());
    }
    std::map<std::uint16_t, std::map<std::uint16_t, std::uint16_t>> renumbered;
    for (const Plan& p : plans) {
        const PeResource& f = *p.group;
        const std::uint16_t imageType = imageTypeOf(f.type);
        const std::uint16_t language = p.targets.empty() ? f.language : p.targets[0].language;
        std::string data = f.data;
        const std::vector<std::uint16_t> ids = groupImages(data);
        if (data.size() < kGroupHeader || ids.size() != le16(data, 4)) {
            error = "group " + describeName(f.name) + " is shorter than its entries";
            return false;
        }
        for (std::size_t i = 0; i < ids.size(); ++i) {
            auto& map = renumbered[imageType];
            auto found = map.find(ids[i]);
            if (found == map.end()) {
                const PeResource* image = nullptr;
                for (const PeResource& c : from_) {
                    if (c.type.isOrdinal(imageType) && c.name.isOrdinal(ids[i]) &&
                        (!image || c.language == f.language))
                        image = &c;
                }
                if (!image) {
                    error = "group " + describeName(f.name) + " names image " +
                            std::to_string(ids[i]) + ", which is missing";
                    return false;
                }
                std::uint16_t number = ids[i];
                if (!kept[imageType].count(number)) {
                    for (number = 1; taken[imageType].count(number); ++number) {
                        if (number == 0xFFFF) {
                            error = "no image number is free for group " + describeName(f.name);
                            return false;
                        }
                    }
                }
                taken[imageType].insert(number);
                found = map.emplace(ids[i], number).first;
                PeResource copy = *image;
                copy.name = ResName::of(number);
                copy.language = language;
                copy.codePage = 0;
                add(std::move(copy));
            }
            setLe16(data, kGroupHeader + kGroupEntry * i + 12, found->second);
        }
        PeResource group = f;
        group.data = std::move(data);
        put(group, p.targets);
    }
    return true;
}

// FROM's strings replace the program's of the same numbers; the rest of each block stays, and
// the block keeps the program's language.
bool Merger::strings(std::string& error) {
    for (const PeResource& f : from_) {
        if (!f.type.isOrdinal(kRtString))
            continue;
        std::vector<std::u16string> news, olds;
        if (!stringSlots(f.data, news)) {
            error = "string block " + describeName(f.name) + " ends before its sixteenth string";
            return false;
        }
        const std::vector<Key> targets = this->targets(f, false);
        if (targets.empty())
            add(f);
        for (const Key& k : targets) {
            if (!stringSlots(tree_[k].data, olds)) {
                error = "the program's string block " + describeName(k.name) +
                        " ends before its sixteenth string";
                return false;
            }
            std::string block;
            for (std::size_t i = 0; i < 16; ++i) {
                const std::u16string& s = news[i].empty() ? olds[i] : news[i];
                block.resize(block.size() + 2 + 2 * s.size());
                std::size_t at = block.size() - 2 - 2 * s.size();
                setLe16(block, at, static_cast<std::uint32_t>(s.size()));
                for (char16_t c : s)
                    setLe16(block, at += 2, c);
            }
            replace(k, block);
        }
    }
    return true;
}

bool Merger::run(std::string& error) {
    versions();
    for (const PeResource& f : from_) {
        if (f.type.isOrdinal(kRtManifest))
            put(f, targets(f, true));
    }
    if (!groups(error) || !strings(error))
        return false;
    // Everything else, FROM's images outside its groups among them.
    for (const PeResource& f : from_) {
        const ResName& t = f.type;
        if (t.isOrdinal(kRtVersion) || t.isOrdinal(kRtManifest) || t.isOrdinal(kRtGroupIcon) ||
            t.isOrdinal(kRtGroupCursor) || t.isOrdinal(kRtString))
            continue;
        if (!f.name.isName && (t.isOrdinal(kRtIcon) || t.isOrdinal(kRtCursor)) &&
            std::any_of(from_.begin(), from_.end(), [&](const PeResource& g) {
                const std::uint16_t groupType =
                    t.isOrdinal(kRtIcon) ? kRtGroupIcon : kRtGroupCursor;
                auto ids = groupImages(g.data);
                return g.type.isOrdinal(groupType) &&
                       std::find(ids.begin(), ids.end(), f.name.ordinal) != ids.end();
            }))
            continue;
        put(f, targets(f, false));
    }
    return true;
}

// --- the program ---------------------------------------------------------------------------------

// Sources come from the real file system; the one .RES written goes to memory.
class CaptureFileSystem : public FileSystem {
public:
    CaptureFileSystem(FileSystem& inner, std::string target)
        : inner_(inner), target_(std::move(target)) {}
    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override {
        return inner_.openInput(path, error);
    }
    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override {
        if (path != target_)
            return inner_.createOutput(path, error);
        return std::make_unique<Capture>(*this);
    }
    bool fileExists(const std::string& path) override { return inner_.fileExists(path); }

    std::string captured;

private:
    class Capture : public OutputFile {
    public:
        explicit Capture(CaptureFileSystem& fs) : fs_(fs) {}
        bool write(const void* data, std::size_t count) override {
            pending_.append(static_cast<const char*>(data), count);
            return true;
        }
        bool commit() override {
            fs_.captured = std::move(pending_);
            return true;
        }
        std::string error() const override { return {}; }

    private:
        CaptureFileSystem& fs_;
        std::string pending_;
    };

    FileSystem& inner_;
    std::string target_;
};

bool readData(InputFile& file, const std::string& fileName, const ResEntry& e, PeResource& r,
              std::string& error) {
    r.type = e.type;
    r.name = e.name;
    r.language = e.language;
    r.codePage = e.codePage;
    r.data.assign(e.dataSize, '\0');
    if (e.dataSize > 0 && !file.readAt(e.dataOffset, r.data.data(), r.data.size())) {
        error = fileName + ": offset " + std::to_string(e.dataOffset) + ": cannot read resource " +
                describeName(e.type) + " " + describeName(e.name);
        return false;
    }
    return true;
}

// Copies [offset, offset + count) of `in` to `out`, adding it to the checksum.
bool copyRange(InputFile& in, std::uint64_t offset, std::uint64_t count, OutputFile& out,
               PeChecksum& sum, std::vector<char>& buffer, std::string& error) {
    for (std::uint64_t done = 0; done < count;) {
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), count - done));
        if (!in.readAt(offset + done, buffer.data(), n)) {
            error = "cannot read offset " + std::to_string(offset + done);
            return false;
        }
        if (!out.write(buffer.data(), n)) {
            error = out.error();
            return false;
        }
        sum.add(buffer.data(), n);
        done += n;
    }
    return true;
}

bool emit(const std::string& bytes, OutputFile& out, PeChecksum& sum, std::string& error) {
    if (!out.write(bytes.data(), bytes.size())) {
        error = out.error();
        return false;
    }
    sum.add(bytes.data(), bytes.size());
    return true;
}

struct Writer {
    InputFile& in;
    const PeImage& img;
    const std::string& programName;
    OutputFile& out;

    bool fail(std::string& error, std::uint64_t offset, const std::string& problem) const {
        error = programName + ": offset " + std::to_string(offset) + ": " + problem;
        return false;
    }

    bool write(const std::vector<PeResource>& resources, const PeResourceStamp& stamp,
               std::string& error) {
        const auto& sections = img.sections;
        const PeDataDirectory dir = img.directory(kDirectoryResource);
        if (img.directories.size() <= kDirectoryResource)
            return fail(error, img.directoryTableOffset,
                        "the optional header has no data directory for resources");
        // The resource section is rewritten where it stands when nothing follows it, in the
        // file or in memory.
        const PeSection* last = nullptr;
        for (const PeSection& s : sections) {
            if (dir.address != 0 && s.virtualAddress == dir.address && s.rawSize != 0 &&
                std::uint64_t{s.rawOffset} + s.rawSize == img.endOfSections &&
                &s == &sections.back() &&
                std::all_of(sections.begin(), sections.end(), [&](const PeSection& o) {
                    return &o == &s || o.virtualAddress < s.virtualAddress;
                }))
                last = &s;
        }
        const std::uint64_t tableEnd =
            img.sectionTableOffset + std::uint64_t{kSectionHeaderSize} * sections.size();
        std::uint64_t headerEnd = tableEnd;
        std::uint32_t virtualAddress = 0;
        std::uint64_t rawOffset = 0, keptEnd = 0; // the input kept before the new section
        std::string headers;
        if (last) {
            virtualAddress = last->virtualAddress;
            rawOffset = keptEnd = last->rawOffset;
        } else {
            std::uint64_t firstData = img.sizeOfHeaders;
            std::uint64_t memoryEnd = 0;
            for (const PeSection& s : sections) {
                if (s.rawSize)
                    firstData = std::min<std::uint64_t>(firstData, s.rawOffset);
                memoryEnd = std::max<std::uint64_t>(
                    memoryEnd, s.virtualAddress + alignUp(std::max(s.virtualSize, s.rawSize),
                                                          img.sectionAlignment));
            }
            headerEnd = tableEnd + kSectionHeaderSize;
            std::string slot(kSectionHeaderSize, '\0');
            if (headerEnd > firstData || !in.readAt(tableEnd, slot.data(), slot.size()) ||
                slot != std::string(kSectionHeaderSize, '\0'))
                return fail(error, tableEnd,
                            "no room for one more section header before the first section's "
                            "data; the resources cannot be added");
            memoryEnd = std::max<std::uint64_t>(memoryEnd,
                                                alignUp(img.sizeOfHeaders, img.sectionAlignment));
            if (memoryEnd > 0xFFFFFFFFu)
                return fail(error, tableEnd, "no address left for a new section");
            virtualAddress = static_cast<std::uint32_t>(memoryEnd);
            keptEnd = img.endOfSections;
            rawOffset = alignUp(img.endOfSections, img.fileAlignment);
        }
        std::string content = writeResourceSection(resources, virtualAddress, stamp, error);
        if (content.empty())
            return fail(error, img.directoryOffset(kDirectoryResource), error);
        const std::uint64_t rawSize = alignUp(content.size(), img.fileAlignment);
        const std::uint64_t imageEnd =
            alignUp(std::uint64_t{virtualAddress} + content.size(), img.sectionAlignment);
        if (imageEnd > 0xFFFFFFFFu || rawOffset + rawSize > 0xFFFFFFFFu)
            return fail(error, img.sectionTableOffset, "the program would pass 4 GB");
        const std::uint64_t overlayAt = rawOffset + rawSize;

        headers.resize(static_cast<std::size_t>(headerEnd));
        if (!in.readAt(0, headers.data(), headers.size()))
            return fail(error, 0, "cannot read the headers");
        auto at = [](std::uint64_t v) { return static_cast<std::size_t>(v); };
        const std::size_t sectionHeader = at(last ? last->headerOffset : tableEnd);
        if (!last) {
            std::memcpy(&headers[sectionHeader], ".rsrc\0\0\0", 8);
            setLe16(headers, at(img.coffOffset + 2),
                    static_cast<std::uint32_t>(sections.size() + 1));
        }
        setLe32(headers, sectionHeader + 8, static_cast<std::uint32_t>(content.size()));
        setLe32(headers, sectionHeader + 12, virtualAddress);
        setLe32(headers, sectionHeader + 16, static_cast<std::uint32_t>(rawSize));
        setLe32(headers, sectionHeader + 20, static_cast<std::uint32_t>(rawOffset));
        if (!last)
            setLe32(headers, sectionHeader + 36, kSectionCharacteristics);
        // Initialized data grows by the new raw size, less the old section's.
        std::uint64_t initialized = img.sizeOfInitializedData + rawSize;
        initialized -= last ? std::min<std::uint64_t>(last->rawSize, initialized) : 0;
        setLe32(headers, at(img.sizeOfInitializedDataOffset()),
                static_cast<std::uint32_t>(std::min<std::uint64_t>(initialized, 0xFFFFFFFFu)));
        setLe32(headers, at(img.sizeOfImageOffset()), static_cast<std::uint32_t>(imageEnd));
        setLe32(headers, at(img.checksumOffset()), 0);
        setLe32(headers, at(img.directoryOffset(kDirectoryResource)), virtualAddress);
        setLe32(headers, at(img.directoryOffset(kDirectoryResource) + 4),
                static_cast<std::uint32_t>(content.size()));
        const PeDataDirectory cert = img.directory(kDirectoryCertificate);
        if (cert.size != 0) {
            setLe32(headers, at(img.directoryOffset(kDirectoryCertificate)), 0);
            setLe32(headers, at(img.directoryOffset(kDirectoryCertificate) + 4), 0);
        }
        // A COFF symbol table after the sections moves with the bytes around it.
        if (img.symbolTableOffset >= img.endOfSections && img.symbolTableOffset != 0) {
            const std::uint64_t moved =
                img.symbolTableOffset - img.endOfSections + overlayAt -
                (cert.size && cert.address < img.symbolTableOffset ? cert.size : 0);
            if (moved > 0xFFFFFFFFu)
                return fail(error, img.coffOffset + 8, "the symbol table would pass 4 GB");
            setLe32(headers, at(img.coffOffset + 8), static_cast<std::uint32_t>(moved));
        }

        PeChecksum sum(img.checksumOffset());
        std::vector<char> buffer(kCopyChunk);
        content.resize(static_cast<std::size_t>(rawSize), '\0');
        std::string problem;
        bool ok = emit(headers, out, sum, problem) &&
                  copyRange(in, headerEnd, keptEnd - headerEnd, out, sum, buffer, problem) &&
                  emit(std::string(static_cast<std::size_t>(rawOffset - keptEnd), '\0'), out, sum,
                       problem) &&
                  emit(content, out, sum, problem);
        // What followed the sections, without the certificate table.
        if (ok && cert.size != 0) {
            ok = copyRange(in, img.endOfSections, cert.address - img.endOfSections, out, sum,
                           buffer, problem) &&
                 copyRange(in, std::uint64_t{cert.address} + cert.size,
                           img.fileSize - cert.address - cert.size, out, sum, buffer, problem);
        } else if (ok) {
            ok = copyRange(in, img.endOfSections, img.fileSize - img.endOfSections, out, sum,
                           buffer, problem);
        }
        if (ok && img.checksum != 0) {
            std::string value(4, '\0');
            setLe32(value, 0, sum.value());
            ok = out.writeAt(img.checksumOffset(), value.data(), value.size());
            if (!ok)
                problem = out.error();
        }
        if (!ok) {
            error = programName + ": " + problem;
            return false;
        }
        return true;
    }
};

// Reads the program and FROM, merges, and writes the result to `out` (not committed).
PatchResult patchInto(InputFile& program, const std::string& programName, InputFile& res,
                      const std::string& resName, OutputFile& out, const PatchOptions& options) {
    PatchResult result;
    std::optional<PeImage> image = readPeImage(program, programName, result.error);
    if (!image)
        return result;
    const PeDataDirectory cert = image->directory(kDirectoryCertificate);
    if (cert.size != 0 && !options.unsign) {
        result.refusedSigned = true;
        result.error = programName + ": the program is signed (a certificate table of " +
                       std::to_string(cert.size) + " bytes at offset " +
                       std::to_string(cert.address) + "); new resources would break the signature";
        return result;
    }
    std::optional<PeResourceDirectory> tree =
        readPeResources(program, *image, programName, result.error);
    if (!tree)
        return result;
    std::optional<ResDirectory> from = readResDirectory(res, resName, result.error);
    if (!from)
        return result;
    if (from->layout != ResLayout::Bits32) {
        result.error = resName + ": a 16-bit .RES file; a program takes the 32-bit layout";
        return result;
    }
    std::vector<PeResource> programResources(tree->entries.size()),
        fromResources(from->entries.size());
    for (std::size_t i = 0; i < tree->entries.size(); ++i) {
        if (!readData(program, programName, tree->entries[i], programResources[i], result.error))
            return result;
    }
    for (std::size_t i = 0; i < from->entries.size(); ++i) {
        if (!readData(res, resName, from->entries[i], fromResources[i], result.error))
            return result;
    }
    std::vector<PeResource> merged;
    std::string problem;
    if (!mergeResources(programResources, fromResources, merged, result.changes, problem)) {
        result.error = resName + ": " + problem;
        return result;
    }
    Writer writer{program, *image, programName, out};
    if (!writer.write(merged, tree->stamp, result.error))
        return result;
    if (cert.size != 0)
        result.changes.push_back("removed the signature (a certificate table of " +
                                 std::to_string(cert.size) + " bytes); sign the program again");
    result.ok = true;
    return result;
}

PatchResult patchFromRes(InputFile& res, const std::string& resName, const std::string& programPath,
                         const std::string& outputPath, const PatchOptions& options,
                         FileSystem& fs) {
    PatchResult result;
    std::unique_ptr<InputFile> program = fs.openInput(programPath, result.error);
    if (!program) {
        result.error = programPath + ": " + result.error;
        return result;
    }
    // A program replaced by its patched self is gone once the rename is done, so its new
    // bytes go to disk first; another output can be made again from the program.
    const bool replacesProgram = outputPath == programPath || sameFile(programPath, outputPath);
    std::unique_ptr<OutputFile> out = replacesProgram
                                          ? fs.createOutput(outputPath, result.error)
                                          : fs.createRebuildableOutput(outputPath, result.error);
    if (!out) {
        result.error = outputPath + ": " + result.error;
        return result;
    }
    result = patchInto(*program, programPath, res, resName, *out, options);
    // Windows cannot replace a file that is still open.
    program.reset();
    if (result.ok && !out->commit()) {
        result.ok = false;
        result.error = outputPath + ": " + out->error();
    }
    return result;
}

} // namespace

bool mergeResources(const std::vector<PeResource>& program, const std::vector<PeResource>& from,
                    std::vector<PeResource>& merged, std::vector<std::string>& changes,
                    std::string& error) {
    Merger m(program, from);
    if (!m.run(error))
        return false;
    merged = m.result();
    changes = m.changes();
    return true;
}

PatchResult patchProgram(const std::string& programPath, const std::string& resPath,
                         const std::string& outputPath, const PatchOptions& options,
                         FileSystem& fs) {
    PatchResult result;
    std::unique_ptr<InputFile> res = fs.openInput(resPath, result.error);
    if (!res) {
        result.error = resPath + ": " + result.error;
        return result;
    }
    return patchFromRes(*res, resPath, programPath, outputPath, options, fs);
}

PatchResult compileIntoProgram(const Project& project, const std::string& programPath,
                               const std::string& outputPath, const PatchOptions& options,
                               CompileLog& log, FileSystem& fs) {
    PatchResult result;
    const std::string resName = programPath + ".res";
    CaptureFileSystem capture(fs, resName);
    if (runCompilation(project, 32, resName, log, capture) != CompileOutcome::Success ||
        !log.succeeded()) {
        result.error = "the project did not compile";
        return result;
    }
    // The compile's closing lines name a .RES file that was never written; the program's
    // lines take their place.
    std::string text = log.text();
    text.erase(std::min(text.size(), text.rfind("\r\nCompilation 32 bits : ")));
    log.setText(text);
    MemoryInput res(std::move(capture.captured));
    result = patchFromRes(res, resName, programPath, outputPath, options, fs);
    if (!result.ok) {
        logFailure(log, {}, result.error);
        return result;
    }
    for (const std::string& line : result.changes)
        log.AddLogLine(line);
    log.AddLogLine("Program : " + outputPath);
    log.AddSuccessLine();
    return result;
}

} // namespace kelbo
