// The one resource project: per language, an ordered list of item lines per kind.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelbo {

// Index of a resource kind; the order is the same in tabs, files, listing and compile order.
// The first four are the sections of the original project file; the others live in its
// extension block.
enum class ResourceKind : std::int16_t {
    Bitmap = 0,
    Icon = 1,
    String = 2,
    Wave = 3,
    Cursor = 4,
    Data = 5,
    Manifest = 6,
    Version = 7,
};

inline constexpr int kKindCount = 8;
inline constexpr std::array<ResourceKind, kKindCount> kAllKinds = {
    ResourceKind::Bitmap, ResourceKind::Icon, ResourceKind::String,   ResourceKind::Wave,
    ResourceKind::Cursor, ResourceKind::Data, ResourceKind::Manifest, ResourceKind::Version};
inline constexpr int kOriginalKindCount = 4;
inline constexpr std::array<ResourceKind, kOriginalKindCount> kOriginalKinds = {
    ResourceKind::Bitmap, ResourceKind::Icon, ResourceKind::String, ResourceKind::Wave};

// How the lines of a kind read: `identifier TAB source` (BITMAP, ICON, WAVE, CURSOR),
// `identifier TAB text` (STRING), `identifier TAB type TAB source` (DATA) or `key=value`
// (MANIFEST, VERSION).
enum class LineForm { File, Text, TypedFile, KeyValue };

struct KindInfo {
    ResourceKind kind;
    std::string_view name; // "BITMAP" ... "VERSION": log sections, tabs, listing
    std::string_view tag;  // the extension block's section tag; empty for the original four
    LineForm form;
};

const KindInfo& kindInfo(ResourceKind kind);
// "BITMAP", "ICON", "STRING", "WAVE", "CURSOR", "DATA", "MANIFEST", "VERSION".
inline std::string_view kindName(ResourceKind kind);
// Lines of the kind carry an identifier that names a resource.
inline bool hasIdentifier(ResourceKind kind) {
    return kindInfo(kind).form != LineForm::KeyValue;
}
inline int kindIndex(ResourceKind kind) {
    return static_cast<int>(kind);
}

// Most lines one kind can hold, and most bytes in one line: the project file stores both as
// signed 16-bit numbers.
inline constexpr int kMaxLinesPerKind = 32767;
inline constexpr int kMaxLineLength = 32767;

// A Windows language identifier (LANGID): primary language in the low 10 bits, sublanguage above.
using LanguageId = std::uint16_t;

// One language's items: the eight lists of a project, each line in UTF-8.
class LanguageSection {
public:
    using Lines = std::vector<std::string>;

    LanguageSection() = default;
    explicit LanguageSection(LanguageId lang) : language(lang) {}

    int count(ResourceKind kind) const { return static_cast<int>(lines(kind).size()); }
    const std::string& line(ResourceKind kind, int index) const { return lines(kind).at(index); }
    const Lines& lines(ResourceKind kind) const { return lists_[kindIndex(kind)]; }
    int totalCount() const;
    bool empty() const { return totalCount() == 0; }

    void append(ResourceKind kind, std::string line);
    // Both ignore an index outside the list and then return false.
    bool replace(ResourceKind kind, int index, std::string line);
    bool remove(ResourceKind kind, int index);
    void clear(ResourceKind kind) { lists_[kindIndex(kind)].clear(); }
    void setLines(ResourceKind kind, Lines lines) { lists_[kindIndex(kind)] = std::move(lines); }
    void clearAll();
    // True when a kind of the extension block holds an item.
    bool usesExtensions() const;

    bool operator==(const LanguageSection&) const = default;

    LanguageId language = 0;

private:
    std::array<Lines, kKindCount> lists_;
};

// A project: the base section, then further language sections in the order they were added.
// Each language appears once. The list operations without a section act on the base section,
// which is what callers mean when a project has one language.
class Project {
public:
    using Lines = LanguageSection::Lines;

    Project() : sections_(1) {}

    int count(ResourceKind kind) const { return base().count(kind); }
    const std::string& line(ResourceKind kind, int index) const { return base().line(kind, index); }
    const Lines& lines(ResourceKind kind) const { return base().lines(kind); }
    void append(ResourceKind kind, std::string line) { base().append(kind, std::move(line)); }
    bool replace(ResourceKind kind, int index, std::string line) {
        return base().replace(kind, index, std::move(line));
    }
    bool remove(ResourceKind kind, int index) { return base().remove(kind, index); }
    void clear(ResourceKind kind) { base().clear(kind); }
    void setLines(ResourceKind kind, Lines lines) { base().setLines(kind, std::move(lines)); }
    // The base section's extension kinds.
    bool usesExtensions() const { return base().usesExtensions(); }

    // Items of every section.
    int totalCount() const;
    bool empty() const { return totalCount() == 0; }
    // Back to one empty base section in language 0000.
    void clearAll();
    // A kind holds an item in some section.
    bool anyItems(ResourceKind kind) const;

    const std::vector<LanguageSection>& sections() const { return sections_; }
    int sectionCount() const { return static_cast<int>(sections_.size()); }
    LanguageSection& section(int index) { return sections_.at(static_cast<std::size_t>(index)); }
    const LanguageSection& section(int index) const {
        return sections_.at(static_cast<std::size_t>(index));
    }
    LanguageSection& base() { return sections_.front(); }
    const LanguageSection& base() const { return sections_.front(); }
    LanguageId baseLanguage() const { return base().language; }
    // False (nothing changed) when another section has that language.
    bool setBaseLanguage(LanguageId language);
    // The index of the section in that language, or -1.
    int findSection(LanguageId language) const;
    // Appends an empty section; its index, or -1 when the language is there already.
    int addSection(LanguageId language);
    // Removes a section after the base; false for the base or an index outside the list.
    bool removeSection(int index);
    // One section in language 0000: the shape every project had before languages.
    bool singleNeutral() const { return sections_.size() == 1 && baseLanguage() == 0; }

    bool operator==(const Project&) const = default;

private:
    std::vector<LanguageSection> sections_;
};

// "0419": a language as the project file, the listing and the log write it.
std::string languageHex(LanguageId language);
// Exactly four hex digits, either case.
std::optional<LanguageId> parseLanguageHex(std::string_view text);

// The values the windows share for one run; none is ever saved.
struct Session {
    Project project;
    bool ProjectChanged = false;
    ResourceKind CurrentKind = ResourceKind::Bitmap;
    // The language section the windows show and edit; 0 is the base.
    int CurrentSection = 0;
    std::string ProjectPath;
    std::string ProjectDir;
    std::string EditedLine;
    std::string ItemDir;
    std::int16_t CompileBits = 0;
    std::string ResFileName;
    std::string ResDir;
    // Folder of the running executable, for the defaults of ProjectDir, ItemDir and ResDir.
    std::string ExeDir;

    // The section shown; the base when CurrentSection is out of range.
    LanguageSection& current();
    const LanguageSection& current() const;

    // Model operations on the current section that mark the project changed.
    void appendItem(ResourceKind kind, std::string line);
    void replaceItem(ResourceKind kind, int index, std::string line);
    // Marks the project changed only when a line was removed.
    void removeItem(ResourceKind kind, int index);
    // Replaces every line of the kind; marks the project changed only when they differ.
    void setLines(ResourceKind kind, Project::Lines lines);
};

inline std::string_view kindName(ResourceKind kind) {
    return kindInfo(kind).name;
}

} // namespace kelbo
