#include "resreader/Import.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "peimage/PeResources.h"
#include "platform/Bytes.h"
#include "platform/Cp1252.h"
#include "platform/PathRules.h"
#include "platform/Unicode.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/VersionInfo.h"
#include "resreader/ResFile.h"
#include "resreader/VersionBlock.h"

namespace kelbo {
namespace {

// The writers' memory flags for each kind; a resource with others gets them on the next build.
constexpr std::uint16_t kFlagsPure = 0x0030;
constexpr std::uint16_t kFlagsImage = 0x1010;
constexpr std::uint16_t kFlagsDiscardable = 0x1030;
// Structured resources are read whole; anything larger is damage.
constexpr std::uint32_t kMaxGroupSize = 6 + 14 * 0xFFFF;
constexpr std::uint32_t kMaxStringBlockSize = 16 * (2 + 2 * 0xFFFF);
constexpr std::uint32_t kMaxVersionSize = 0xFFFF;
constexpr std::size_t kCopyChunk = 1 << 20;
constexpr std::uint32_t kBitmapFileHeader = 14;

using Piece = ImportPiece;
using PlannedFile = ImportFile;

bool isAbsolute(const std::string& path) {
    if (path.empty())
        return false;
    if (nativePathStyle() == PathStyle::Windows)
        return isSeparator(path[0], PathStyle::Windows) || (path.size() > 2 && path[1] == ':');
    return path[0] == '/';
}

std::string stem(const std::string& fileName) {
    std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

// A name both Windows and Linux can create: no separators, wildcards or controls, no trailing dot
// or space, no device name, at most 64 characters.
std::string safeFileStem(const std::string& text) {
    std::string out;
    std::size_t pos = 0, characters = 0;
    while (pos < text.size() && characters < 64) {
        char32_t c = 0;
        if (!decodeUtf8(text, pos, c)) {
            ++pos;
            c = '_';
        }
        const bool bad = c < 0x20 || (c >= 0x7F && c < 0xA0) ||
                         (c < 0x80 && std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) !=
                                          std::string_view::npos);
        appendUtf8(out, bad ? U'_' : c);
        ++characters;
    }
    while (!out.empty() && (out.back() == '.' || out.back() == ' '))
        out.back() = '_';
    if (out.empty())
        out = "_";
    std::string upper = upperCaseName(out.substr(0, out.find('.')));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    bool device = std::find(std::begin(kDevices), std::end(kDevices), upper) != std::end(kDevices);
    if (upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
        upper[3] >= '0' && upper[3] <= '9')
        device = true;
    return device ? "_" + out : out;
}

class Planner {
public:
    Planner(InputFile& in, const ResDirectory& dir, std::string resName, std::string folder)
        : in_(in), dir_(dir), resName_(std::move(resName)), folder_(std::move(folder)) {}

    bool plan(std::string& error);

    Project project;
    std::vector<PlannedFile> files;
    std::vector<std::string> warnings;

private:
    std::string where(const ResEntry& e) const {
        std::string text = "resource " + describeName(e.type) + " " + describeName(e.name);
        if (dir_.layout == ResLayout::Bits32)
            text += " (" + languageHex(e.language) + ")";
        return text;
    }
    void warn(const ResEntry& e, const std::string& what) {
        warnings.push_back(where(e) + ": " + what);
    }
    bool damaged(const ResEntry& e, const std::string& what, std::string& error) const {
        error = resName_ + ": " + where(e) + " at offset " + std::to_string(e.headerOffset) + ": " +
                what;
        return false;
    }
    bool read(const ResEntry& e, std::uint32_t limit, std::string& data, std::string& error) {
        std::string problem;
        if (!readResData(in_, e, limit, data, problem)) {
            error = resName_ + ": " + problem;
            return false;
        }
        return true;
    }

    // The section of the resource's language; every language has one from the start.
    LanguageSection& section(const ResEntry& e) {
        return project.section(project.findSection(e.language));
    }
    void checkHeader(const ResEntry& e, std::uint16_t flags);
    std::string convertName(const ResEntry& e, const ResName& name, const char* what);
    std::string identifier(const ResEntry& e, const ResName& name, const std::string& typeKey,
                           const char* what) {
        return unique(typeKey, convertName(e, name, what), e);
    }
    std::string unique(const std::string& typeKey, std::string id, const ResEntry& e);
    // Files of a further language carry it in their names, so the same identifier in two
    // languages gives two plain names.
    std::string addFile(const ResEntry& e, const std::string& base, const std::string& ext,
                        std::vector<Piece> pieces);

    bool bitmap(const ResEntry& e, std::string& error);
    bool group(const ResEntry& e, bool cursor, std::string& error);
    const ResEntry* image(bool cursor, std::uint16_t number, std::uint16_t language) const;
    bool orphanImage(const ResEntry& e, bool cursor);
    bool strings(const ResEntry& e, std::string& error);
    bool version(const ResEntry& e, std::string& error);
    void manifest(const ResEntry& e);
    void fileItem(const ResEntry& e, ResourceKind kind, const std::string& typeKey,
                  const std::string& ext);
    void data(const ResEntry& e);

    InputFile& in_;
    const ResDirectory& dir_;
    std::string resName_;
    std::string folder_;
    std::set<std::string> identities_;
    std::set<std::string> fileNames_; // upper-cased: Windows ignores case
    std::multimap<std::uint16_t, const ResEntry*> icons_, cursors_;
    std::set<const ResEntry*> usedImages_;
    std::set<std::pair<std::uint16_t, std::uint16_t>> stringBlocks_; // language, block
    std::set<std::uint16_t> manifests_, versions_;                   // languages
};

void Planner::checkHeader(const ResEntry& e, std::uint16_t flags) {
    if (e.memoryFlags != flags)
        warn(e, "memory flags " + hexWord(e.memoryFlags) + " become " + hexWord(flags));
    if (e.dataVersion != 0 || e.version != 0 || e.characteristics != 0)
        warn(e, "data version, version and characteristics become 0");
}

std::string Planner::unique(const std::string& typeKey, std::string id, const ResEntry& e) {
    std::string base = id;
    const std::string prefix = languageHex(e.language) + typeKey + "/";
    for (int n = 2; !identities_.insert(prefix + upperCaseName(id)).second; ++n)
        id = base + "_" + std::to_string(n);
    if (id != base)
        warn(e, "name " + base + " is taken; imported as " + id);
    return id;
}

// The identifier that names the resource in the project, and a warning for each change the
// identifier rules force on it.
std::string Planner::convertName(const ResEntry& e, const ResName& name, const char* what) {
    std::string id;
    if (!name.isName) {
        if (name.ordinal <= kMaxIdentifier)
            return std::to_string(name.ordinal);
        id = "_" + std::to_string(name.ordinal);
        warn(e, std::string(what) + " number over " + std::to_string(kMaxIdentifier) +
                    " becomes the name " + id);
        return id;
    }
    bool control = false;
    std::u16string text = name.text;
    for (char16_t& c : text) {
        if (c == '\t' || c == 0) {
            control = true;
            c = '_';
        }
    }
    id = utf16ToUtf8(text);
    std::string changed = upperCaseName(trimSpaces(id));
    if (changed.empty())
        changed = "_";
    std::string digits = changed;
    if (TestNumber(digits) == 0)
        changed = "_" + changed; // a name of digits would be read as a number
    if (control)
        warn(e, std::string(what) + ": a TAB becomes _");
    else if (changed != id)
        warn(e, std::string(what) + " " + id + " becomes " + changed +
                    " (identifiers are upper-case, trimmed and not all digits)");
    return changed;
}

std::string Planner::addFile(const ResEntry& e, const std::string& base, const std::string& ext,
                             std::vector<Piece> pieces) {
    std::string stemText = safeFileStem(base);
    if (e.language != project.baseLanguage())
        stemText += "_" + languageHex(e.language);
    std::string name = stemText + ext;
    for (int n = 2; !fileNames_.insert(upperCaseName(name)).second; ++n)
        name = stemText + "_" + std::to_string(n) + ext;
    files.push_back({name, std::move(pieces)});
    return joinPath(folder_, name);
}

bool Planner::bitmap(const ResEntry& e, std::string& error) {
    checkHeader(e, kFlagsPure);
    // The file header's offset to the pixels follows the DIB header, masks and palette.
    std::string head;
    ResEntry first = e;
    first.dataSize = std::min<std::uint32_t>(e.dataSize, 64);
    if (!read(first, 64, head, error))
        return false;
    std::uint64_t bits = e.dataSize;
    if (head.size() >= 16) {
        std::uint32_t size = le32(head, 0);
        std::uint32_t palette = 0, masks = 0;
        if (size == 12) {
            std::uint16_t count = le16(head, 10);
            palette = count <= 8 ? 3u << count : 0;
        } else if (size >= 40 && head.size() >= 36) {
            std::uint16_t count = le16(head, 14);
            std::uint32_t compression = le32(head, 16);
            std::uint32_t used = le32(head, 32);
            palette =
                4 * std::min<std::uint32_t>(used ? used : (count <= 8 ? 1u << count : 0), 0x10000);
            if (size == 40 && (compression == 3 || compression == 6))
                masks = compression == 3 ? 12 : 16;
        }
        bits = std::min<std::uint64_t>(std::uint64_t{size} + masks + palette, e.dataSize);
    }
    std::string header = "BM";
    appendLe32(header, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                           kBitmapFileHeader + std::uint64_t{e.dataSize}, 0xFFFFFFFFu)));
    appendLe32(header, 0);
    appendLe32(header, static_cast<std::uint32_t>(kBitmapFileHeader + bits));
    std::string id = identifier(e, e.name, "#2", "name");
    std::string path = addFile(e, id, ".bmp", {{header, 0, 0}, {{}, e.dataOffset, e.dataSize}});
    section(e).append(ResourceKind::Bitmap, id + kTab + path);
    return true;
}

// The image a group names: the one of the group's language when there are several.
const ResEntry* Planner::image(bool cursor, std::uint16_t number, std::uint16_t language) const {
    auto [first, last] = (cursor ? cursors_ : icons_).equal_range(number);
    for (auto it = first; it != last; ++it)
        if (it->second->language == language)
            return it->second;
    return first == last ? nullptr : first->second;
}

// An icon or cursor group back into the .ICO or .CUR file it came from: the directory from the
// group's entries, then the images it names.
bool Planner::group(const ResEntry& e, bool cursor, std::string& error) {
    checkHeader(e, kFlagsDiscardable);
    std::string g;
    if (!read(e, kMaxGroupSize, g, error))
        return false;
    if (g.size() < 6)
        return damaged(e, "group shorter than its 6-byte header", error);
    const std::uint16_t count = le16(g, 4);
    if (g.size() < 6 + 14u * count)
        return damaged(e,
                       "group of " + std::to_string(g.size()) + " bytes cannot hold its " +
                           std::to_string(count) + " entries",
                       error);
    struct Kept {
        std::size_t at;
        const ResEntry* image;
    };
    std::vector<Kept> kept;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = 6 + 14 * i;
        std::uint16_t number = le16(g, at + 12);
        const ResEntry* found = image(cursor, number, e.language);
        if (!found) {
            warn(e, "image " + std::to_string(number) + " is missing; its entry is left out");
            continue;
        }
        const ResEntry& image = *found;
        if (cursor && image.dataSize < 4)
            return damaged(e, "cursor image " + std::to_string(number) + " has no hot spot", error);
        // A cursor's entry counts the hot spot too.
        std::uint32_t declared = le32(g, at + 8);
        if (declared != image.dataSize)
            warn(e, "entry of image " + std::to_string(number) + " declares " +
                        std::to_string(declared) + " bytes, the image holds " +
                        std::to_string(image.dataSize));
        if (usedImages_.insert(&image).second) {
            checkHeader(image, kFlagsImage);
            if (image.language != e.language)
                warn(image, "the image takes its group's language " + languageHex(e.language));
        }
        kept.push_back({at, &image});
    }
    if (kept.empty()) {
        warn(e, "no image of the group is in the file; the group is left out");
        return true;
    }
    std::string head;
    appendLe16(head, cursor ? 0 : le16(g, 0));
    appendLe16(head, cursor ? 2 : le16(g, 2));
    appendLe16(head, static_cast<std::uint32_t>(kept.size()));
    std::vector<Piece> pieces(1);
    std::uint64_t offset = 6 + 16 * kept.size();
    for (const Kept& k : kept) {
        const std::uint32_t size = k.image->dataSize - (cursor ? 4 : 0);
        if (cursor) {
            // The group holds width and twice the height; the image starts with the hot spot.
            std::string hot;
            ResEntry spot = *k.image;
            spot.dataSize = 4;
            if (!read(spot, 4, hot, error))
                return false;
            head += static_cast<char>(std::min<std::uint16_t>(le16(g, k.at), 256) & 0xFF);
            head += static_cast<char>(std::min<std::uint16_t>(le16(g, k.at + 2) / 2, 256) & 0xFF);
            head += '\0';
            head += '\0';
            head += hot;
            pieces.push_back({{}, k.image->dataOffset + 4, size});
        } else {
            head.append(g, k.at, 8);
            pieces.push_back({{}, k.image->dataOffset, size});
        }
        appendLe32(head, size);
        appendLe32(head, static_cast<std::uint32_t>(offset));
        offset += size;
    }
    pieces[0].literal = head;
    ResourceKind kind = cursor ? ResourceKind::Cursor : ResourceKind::Icon;
    std::string id = identifier(e, e.name, cursor ? "#12" : "#14", "name");
    std::string path = addFile(e, id, cursor ? ".cur" : ".ico", std::move(pieces));
    section(e).append(kind, id + kTab + path);
    return true;
}

bool Planner::orphanImage(const ResEntry& e, bool cursor) {
    if (usedImages_.count(&e) || (cursor && e.dataSize < 4))
        return false;
    checkHeader(e, kFlagsImage);
    // A one-image file whose entry says what the image's own header says.
    std::string head;
    ResEntry first = e;
    first.dataSize = std::min<std::uint32_t>(e.dataSize, 24);
    std::string info, problem;
    readResData(in_, first, 24, info, problem);
    const std::size_t skip = cursor ? 4 : 0;
    std::uint32_t width = 0, height = 0, planes = 1, bitCount = 32;
    if (info.size() >= skip + 16 && le32(info, skip) == 40) {
        width = le32(info, skip + 4);
        height = le32(info, skip + 8) / 2;
        planes = le16(info, skip + 12);
        bitCount = le16(info, skip + 14);
    }
    appendLe16(head, 0);
    appendLe16(head, cursor ? 2 : 1);
    appendLe16(head, 1);
    head += static_cast<char>(width < 256 ? width : 0);
    head += static_cast<char>(height < 256 ? height : 0);
    head += '\0';
    head += '\0';
    if (cursor) {
        head.append(info, 0, 4);
    } else {
        appendLe16(head, planes);
        appendLe16(head, bitCount);
    }
    const std::uint32_t size = e.dataSize - static_cast<std::uint32_t>(skip);
    appendLe32(head, size);
    appendLe32(head, 22);
    const std::string base = (cursor ? "CURSOR_IMAGE_" : "ICON_IMAGE_") + describeName(e.name);
    std::string id =
        identifier(e, ResName{true, 0, utf8ToUtf16(base)}, cursor ? "#12" : "#14", "name");
    std::string path =
        addFile(e, id, cursor ? ".cur" : ".ico", {{head, 0, 0}, {{}, e.dataOffset + skip, size}});
    section(e).append(cursor ? ResourceKind::Cursor : ResourceKind::Icon, id + kTab + path);
    warn(e, std::string(cursor ? "cursor" : "icon") + " image in no group: imported as " +
                (cursor ? "cursor " : "icon ") + id);
    return true;
}

bool Planner::strings(const ResEntry& e, std::string& error) {
    if (e.name.isName || e.name.ordinal == 0 || e.name.ordinal > 2048) {
        warn(e, "a string block numbered outside 1..2048 cannot be held; it is left out");
        return true;
    }
    if (!stringBlocks_.insert({e.language, e.name.ordinal}).second) {
        warn(e, "a second string block of this number and language is left out");
        return true;
    }
    checkHeader(e, kFlagsDiscardable);
    std::string block;
    if (!read(e, kMaxStringBlockSize, block, error))
        return false;
    const bool wide = dir_.layout == ResLayout::Bits32;
    std::size_t pos = 0;
    bool any = false;
    const int first = (e.name.ordinal - 1) * 16;
    LanguageSection& into = section(e);
    for (int slot = 0; slot < 16; ++slot) {
        if (block.size() - pos < (wide ? 2u : 1u))
            return damaged(e, "string block ends before slot " + std::to_string(slot), error);
        std::size_t length = wide ? le16(block, pos) : static_cast<unsigned char>(block[pos]);
        pos += wide ? 2 : 1;
        if ((block.size() - pos) / (wide ? 2 : 1) < length)
            return damaged(e, "string " + std::to_string(first + slot) + " runs past its block",
                           error);
        std::string text;
        if (wide) {
            std::u16string units(length, u'\0');
            for (std::size_t i = 0; i < length; ++i)
                units[i] = le16(block, pos + 2 * i);
            text = utf16ToUtf8(units);
            if (utf8ToUtf16(text) != units)
                warn(e, "string " + std::to_string(first + slot) +
                            ": a lone surrogate becomes U+FFFD");
        } else {
            text = cp1252ToUtf8(std::string_view(block).substr(pos, length));
        }
        pos += length * (wide ? 2 : 1);
        if (length == 0)
            continue;
        any = true;
        into.append(ResourceKind::String, std::to_string(first + slot) + kTab + text);
    }
    // A block of empty strings only is still a block: one empty item keeps it.
    if (!any)
        into.append(ResourceKind::String, std::to_string(first) + kTab);
    if (pos != block.size())
        warn(e, std::to_string(block.size() - pos) + " bytes after the 16 strings are left out");
    return true;
}

bool Planner::version(const ResEntry& e, std::string& error) {
    if (!versions_.insert(e.language).second) {
        warn(e, "a language holds one version resource; this one is left out");
        return true;
    }
    checkHeader(e, kFlagsPure);
    if (!e.name.isOrdinal(1))
        warn(e, "version information is named 1 in a project");
    std::string data;
    if (!read(e, kMaxVersionSize, data, error))
        return false;
    std::string problem;
    std::optional<VersionBlock> block = parseVersionBlock(data, dir_.layout, problem);
    if (!block)
        return damaged(e, problem, error);
    std::vector<std::string> notes;
    Project::Lines lines = versionLines(*block, notes);
    // What the keys cannot say shows as a difference in the bytes they build.
    VersionProblem built;
    std::optional<std::string> again =
        buildVersionResource(lines, dir_.layout == ResLayout::Bits16 ? 16 : 32, built);
    if (notes.empty() && again != data)
        notes.push_back("its layout (value lengths, type words or padding) is rebuilt the usual "
                        "way");
    section(e).setLines(ResourceKind::Version, std::move(lines));
    for (const std::string& note : notes)
        warn(e, note);
    return true;
}

void Planner::manifest(const ResEntry& e) {
    if (!manifests_.insert(e.language).second) {
        warn(e, "a language holds one manifest; this one is left out");
        return;
    }
    checkHeader(e, kFlagsPure);
    int id = kManifestIdProgram;
    if (!e.name.isName && e.name.ordinal >= 1 && e.name.ordinal <= kManifestIdLast)
        id = e.name.ordinal;
    else
        warn(e, "a manifest is numbered 1 to 16; imported as 1");
    std::string path = addFile(e, id == 1 ? "manifest" : "manifest_" + std::to_string(id),
                               ".manifest", {{{}, e.dataOffset, e.dataSize}});
    LanguageSection& into = section(e);
    into.append(ResourceKind::Manifest, "file=" + path);
    if (id != kManifestIdProgram)
        into.append(ResourceKind::Manifest, "id=" + std::to_string(id));
}

void Planner::fileItem(const ResEntry& e, ResourceKind kind, const std::string& typeKey,
                       const std::string& ext) {
    checkHeader(e, kFlagsPure);
    std::string id = identifier(e, e.name, typeKey, "name");
    std::string path = addFile(e, id, ext, {{{}, e.dataOffset, e.dataSize}});
    section(e).append(kind, id + kTab + path);
}

void Planner::data(const ResEntry& e) {
    checkHeader(e, kFlagsPure);
    std::string type;
    if (e.type.isName) {
        // A type name follows the identifier rules too; it must not read as a number.
        type = convertName(e, e.type, "type");
    } else if (e.type.ordinal > kMaxIdentifier || e.type.ordinal == 0) {
        warn(e, "a type number outside 1.." + std::to_string(kMaxIdentifier) +
                    " cannot be held; it is left out");
        return;
    } else {
        type = std::to_string(e.type.ordinal);
    }
    const std::string typeKey = (e.type.isName ? "$" : "#") + type;
    std::string id = identifier(e, e.name, typeKey, "name");
    std::string path = addFile(e, type + "_" + id, ".bin", {{{}, e.dataOffset, e.dataSize}});
    section(e).append(ResourceKind::Data, id + kTab + type + kTab + path);
}

bool Planner::plan(std::string& error) {
    // The base takes the first resource's language; the others follow in order of appearance.
    // A 16-bit file has none: everything goes to the base.
    if (!dir_.entries.empty())
        project.setBaseLanguage(dir_.entries.front().language);
    for (const ResEntry& e : dir_.entries) {
        project.addSection(e.language);
        if (e.type.isOrdinal(kRtIcon) && !e.name.isName)
            icons_.emplace(e.name.ordinal, &e);
        else if (e.type.isOrdinal(kRtCursor) && !e.name.isName)
            cursors_.emplace(e.name.ordinal, &e);
    }
    for (const ResEntry& e : dir_.entries) {
        bool ok = true;
        if (e.type.isName && e.type.text == u"WAVE") {
            fileItem(e, ResourceKind::Wave, "$WAVE", ".wav");
            continue;
        }
        switch (e.type.isName ? 0 : e.type.ordinal) {
        case kRtIcon:
        case kRtCursor:
            if (e.name.isName) {
                warn(e, "an image with a name belongs to no group; it is left out");
            }
            continue; // with their groups
        case kRtBitmap:
            ok = bitmap(e, error);
            break;
        case kRtGroupIcon:
            ok = group(e, false, error);
            break;
        case kRtGroupCursor:
            ok = group(e, true, error);
            break;
        case kRtString:
            ok = strings(e, error);
            break;
        case kRtVersion:
            ok = version(e, error);
            break;
        case kRtManifest:
            manifest(e);
            break;
        default:
            data(e);
            break;
        }
        if (!ok)
            return false;
    }
    for (const ResEntry& e : dir_.entries) {
        if (!e.name.isName && (e.type.isOrdinal(kRtIcon) || e.type.isOrdinal(kRtCursor)))
            orphanImage(e, e.type.isOrdinal(kRtCursor));
    }
    // Languages that only images of another language's groups had.
    for (int i = project.sectionCount() - 1; i > 0; --i)
        if (project.section(i).empty())
            project.removeSection(i);
    return true;
}

bool writePlanned(FileSystem& fs, InputFile& res, const std::string& folder,
                  const PlannedFile& file, std::vector<char>& buffer, std::string& error) {
    const std::string path = joinPath(folder, file.name);
    std::unique_ptr<OutputFile> out = fs.createRebuildableOutput(path, error);
    if (!out) {
        error = path + ": " + error;
        return false;
    }
    for (const Piece& piece : file.pieces) {
        if (!piece.literal.empty() && !out->write(piece.literal.data(), piece.literal.size())) {
            error = path + ": " + out->error();
            return false;
        }
        for (std::uint64_t done = 0; done < piece.size;) {
            auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, piece.size - done));
            if (!res.readAt(piece.offset + done, buffer.data(), n)) {
                error = path + ": the .RES file cannot be read";
                return false;
            }
            if (!out->write(buffer.data(), n)) {
                error = path + ": " + out->error();
                return false;
            }
            done += n;
        }
    }
    if (!out->commit()) {
        error = path + ": " + out->error();
        return false;
    }
    return true;
}

bool writeFolder(FileSystem& fs, InputFile& in, const std::vector<PlannedFile>& files,
                 const std::string& folder, ImportResult& result, const ImportProgress& progress) {
    std::string error;
    const std::string temp =
        joinPath(directoryOf(folder), "." + fileNameOf(folder) + ".import-tmp");
    removeDirectoryTree(temp);
    if (!makeDirectories(temp)) {
        result.error = temp + ": cannot create the folder";
        return false;
    }
    std::vector<char> buffer(kCopyChunk);
    for (const PlannedFile& file : files) {
        if (!writePlanned(fs, in, temp, file, buffer, error)) {
            removeDirectoryTree(temp);
            result.error = error;
            return false;
        }
        ++result.filesWritten;
        if (progress)
            progress(result.filesWritten, files.size());
    }
    if (directoryExists(folder) && !removeDirectoryTree(folder)) {
        removeDirectoryTree(temp);
        result.error = folder + ": cannot be replaced";
        return false;
    }
    if (!renamePath(temp, folder, error)) {
        removeDirectoryTree(temp);
        result.error = folder + ": " + error;
        return false;
    }
    return true;
}

} // namespace

std::string importFolderFor(const std::string& projectPath) {
    return joinPath(directoryOf(projectPath), stem(fileNameOf(projectPath)) + "_files");
}

ImportPlan planImport(InputFile& res, const std::string& resName, const std::string& folder) {
    ImportPlan plan;
    std::optional<ResDirectory> dir = readResourceEntries(res, resName, plan.error);
    if (!dir)
        return plan;
    Planner planner(res, *dir, resName, folder);
    plan.ok = planner.plan(plan.error);
    if (plan.ok) {
        plan.warnings = std::move(planner.warnings);
        plan.project = std::move(planner.project);
        plan.files = std::move(planner.files);
    }
    return plan;
}

ImportResult importResFile(const std::string& resPath, const std::string& projectPath, bool force,
                           FileSystem& fs, const ImportProgress& progress) {
    ImportResult result;
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(resPath, error);
    if (!in) {
        result.error = resPath + ": " + error;
        return result;
    }
    const std::string fullProject =
        isAbsolute(projectPath) ? projectPath : joinPath(currentDirectory(), projectPath);
    const std::string folder = importFolderFor(fullProject);
    ImportPlan plan = planImport(*in, resPath, folder);
    result.warnings = std::move(plan.warnings);
    if (!plan.ok) {
        result.error = plan.error;
        return result;
    }
    std::optional<std::string> bytes = encodeProject(plan.project, error);
    if (!bytes) {
        result.error = projectPath + ": " + error;
        return result;
    }
    if (!force && (fs.fileExists(fullProject) || directoryExists(fullProject))) {
        result.error = projectPath + ": exists; --force replaces it";
        return result;
    }
    if (!force && directoryExists(folder)) {
        result.error = folder + ": exists; --force replaces it";
        return result;
    }

    // The sources go to a folder of their own that takes the files folder's place only once
    // every one of them is written. A .RES of text resources alone needs no folder.
    if (!plan.files.empty() && !writeFolder(fs, *in, plan.files, folder, result, progress))
        return result;
    if (!writeWholeFile(fs, fullProject, *bytes, error)) {
        result.error = projectPath + ": " + error;
        return result;
    }
    result.project = std::move(plan.project);
    result.ok = true;
    return result;
}

} // namespace kelbo
