#include "projectfile/ProjectFile.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/Unicode.h"

namespace kelbo {
namespace {

// Every kind's tag in a language section; the base's original four have none, they are the
// file's first four sections.
constexpr std::array<std::string_view, kKindCount> kKindTags = {"BITM", "ICON", "STRG", "WAVE",
                                                                "CURS", "DATA", "MANI", "VERS"};
constexpr std::string_view kTextTag = "TEXT";
constexpr std::string_view kBaseTag = "BASE";
constexpr std::string_view kLangTag = "LANG";

void put16(std::string& out, std::size_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Bytes a line takes in the file: one per character in Windows-1252.
std::size_t encodedLength(std::string_view line, bool utf8) {
    if (utf8)
        return line.size();
    return static_cast<std::size_t>(std::count_if(line.begin(), line.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Only for a line already found to fit Windows-1252 when `utf8` is false.
void putLine(std::string& out, std::string_view line, bool utf8) {
    put16(out, encodedLength(line, utf8));
    if (utf8 || isAscii(line)) {
        out += line;
        return;
    }
    std::size_t pos = 0;
    char32_t cp = 0;
    while (pos < line.size() && decodeUtf8(line, pos, cp))
        out += static_cast<char>(unicodeToCp1252(cp).value_or('?'));
}

// "A STRING item", "An ICON item of language 0419": the base's language goes unsaid.
std::string where(ResourceKind kind, const LanguageSection& section, bool isBase,
                  std::string_view what, bool article = true) {
    const std::string_view name = kindName(kind);
    std::string text;
    if (article)
        text =
            std::string_view("AEIOU").find(name.front()) != std::string_view::npos ? "An " : "A ";
    text += std::string(name) + " " + std::string(what);
    if (!isBase)
        text += " of language " + languageHex(section.language);
    return text;
}

} // namespace

std::optional<std::string> encodeProject(const Project& project, std::string& error) {
    // One pass to learn whether any line needs UTF-8, since then every line is written so.
    bool utf8 = false;
    std::bitset<0x10000> seen;
    for (int s = 0; s < project.sectionCount(); ++s) {
        const LanguageSection& section = project.section(s);
        // The file could not be read back: a language must come once.
        if (seen[section.language]) {
            error = "Language " + languageHex(section.language) + " appears twice";
            return std::nullopt;
        }
        seen[section.language] = true;
        for (ResourceKind kind : kAllKinds) {
            if (section.count(kind) > kMaxLinesPerKind) {
                error = "The " + where(kind, section, s == 0, "list", false) + " holds more than " +
                        std::to_string(kMaxLinesPerKind) + " items";
                return std::nullopt;
            }
            for (const std::string& line : section.lines(kind)) {
                if (isAscii(line))
                    continue;
                if (!isValidUtf8(line)) {
                    error = where(kind, section, s == 0, "item") + " is not UTF-8 text";
                    return std::nullopt;
                }
                utf8 = utf8 || !fitsCp1252(line);
            }
        }
    }
    const LanguageSection& base = project.base();
    const bool extended = utf8 || !project.singleNeutral() || base.usesExtensions();
    std::size_t size = kProjectSignature.size() + 2 * kOriginalKindCount;
    if (extended)
        size += kExtensionSignature.size() + 4 * 11 * project.sectionCount() + 16;
    for (int s = 0; s < project.sectionCount(); ++s) {
        const LanguageSection& section = project.section(s);
        for (ResourceKind kind : kAllKinds) {
            size += 6;
            for (const std::string& line : section.lines(kind)) {
                const std::size_t length = encodedLength(line, utf8);
                if (length > static_cast<std::size_t>(kMaxLineLength)) {
                    error = where(kind, section, s == 0, "item") + " is longer than " +
                            std::to_string(kMaxLineLength) + " bytes";
                    return std::nullopt;
                }
                size += 2 + length;
            }
        }
    }
    std::string out;
    out.reserve(size);
    auto putLines = [&](const LanguageSection& section, ResourceKind kind) {
        put16(out, static_cast<std::size_t>(section.count(kind)));
        for (const std::string& line : section.lines(kind))
            putLine(out, line, utf8);
    };
    auto putOneLine = [&](std::string_view tag, std::string_view line) {
        out += tag;
        put16(out, 1);
        putLine(out, line, true);
    };
    out += kProjectSignature;
    for (ResourceKind kind : kOriginalKinds)
        putLines(base, kind);
    // A project of the base's original kinds alone, in Windows-1252 and language 0000, is
    // written exactly as before the extension block existed.
    if (!extended)
        return out;
    out += kExtensionSignature;
    if (utf8)
        putOneLine(kTextTag, kUtf8TextLine);
    for (ResourceKind kind : kAllKinds) {
        if (kindInfo(kind).tag.empty() || base.count(kind) == 0)
            continue;
        out += kKindTags[static_cast<std::size_t>(kindIndex(kind))];
        putLines(base, kind);
    }
    if (base.language != 0)
        putOneLine(kBaseTag, languageHex(base.language));
    for (int s = 1; s < project.sectionCount(); ++s) {
        const LanguageSection& section = project.section(s);
        putOneLine(kLangTag, languageHex(section.language));
        for (ResourceKind kind : kAllKinds) {
            if (section.count(kind) == 0)
                continue;
            out += kKindTags[static_cast<std::size_t>(kindIndex(kind))];
            putLines(section, kind);
        }
    }
    return out;
}

namespace {

// A section's lines as the file holds them, before they are known to be UTF-8 or Windows-1252.
struct RawSection {
    LanguageId language = 0;
    std::array<Project::Lines, kKindCount> lists;
};

// Reads a project record by record from any source of bytes, so a file is never held whole and
// bytes after the last record are never read. `size` is the source's length, so
// nothing is allocated for a line the file does not hold.
template <class Read> std::optional<Project> parseProject(std::uint64_t size, Read&& read) {
    std::uint64_t consumed = 0;
    auto take = [&](void* out, std::size_t n) {
        if (size - consumed < n || !read(out, n))
            return false;
        consumed += n;
        return true;
    };
    char signature[8];
    if (!take(signature, sizeof signature) ||
        std::string_view(signature, sizeof signature) != kProjectSignature)
        return std::nullopt;
    // Counts and lengths are signed 16-bit; a negative one marks a damaged file.
    auto read16 = [&](int& value) {
        unsigned char b[2];
        if (!take(b, 2))
            return false;
        value = static_cast<std::int16_t>(b[0] | b[1] << 8);
        return value >= 0;
    };
    auto readLine = [&](std::string& line) {
        int length = 0;
        if (!read16(length) || size - consumed < static_cast<std::uint64_t>(length))
            return false;
        line.assign(static_cast<std::size_t>(length), '\0');
        return length == 0 || take(line.data(), line.size());
    };
    auto readLines = [&](Project::Lines& lines, int count) {
        // Only as many as the rest of the file can hold: each line takes two bytes at least.
        lines.reserve(lines.size() +
                      static_cast<std::size_t>(std::min<std::uint64_t>(
                          static_cast<std::uint64_t>(count), (size - consumed) / 2)));
        for (int i = 0; i < count; ++i) {
            std::string line;
            if (!readLine(line))
                return false;
            lines.push_back(std::move(line));
        }
        return true;
    };
    // A kind's section in the extension block holds at least one line.
    auto readKind = [&](RawSection& section, ResourceKind kind) {
        int count = 0;
        return read16(count) && count > 0 &&
               readLines(section.lists[static_cast<std::size_t>(kindIndex(kind))], count);
    };
    // TEXT, BASE and LANG hold exactly one line.
    auto readOneLine = [&](std::string& line) {
        int count = 0;
        return read16(count) && count == 1 && readLine(line);
    };

    std::vector<RawSection> sections(1);
    for (ResourceKind kind : kOriginalKinds) {
        int count = 0;
        if (!read16(count) || !readLines(sections[0].lists[kindIndex(kind)], count))
            return std::nullopt;
    }
    bool utf8 = false;
    // Older files may carry other bytes after the WAVE section; those are still ignored. The
    // extension block, once announced, runs to the end of the file and must be whole.
    char ext[8];
    if (size - consumed >= sizeof ext && take(ext, sizeof ext) &&
        std::string_view(ext, sizeof ext) == kExtensionSignature) {
        // The base's part: TEXT, CURS, DATA, MANI, VERS, BASE, each at most once, in this order.
        constexpr std::array<std::string_view, 6> kBaseOrder = {kTextTag, "CURS", "DATA",
                                                                "MANI",   "VERS", kBaseTag};
        std::bitset<0x10000> seen;
        seen[0] = true;
        bool inLanguage = false;
        std::size_t next = 0;
        std::string line;
        while (consumed < size) {
            char tagBytes[4];
            if (!take(tagBytes, sizeof tagBytes))
                return std::nullopt;
            const std::string_view tag(tagBytes, sizeof tagBytes);
            if (tag == kLangTag) {
                if (!readOneLine(line))
                    return std::nullopt;
                std::optional<LanguageId> language = parseLanguageHex(line);
                if (!language || seen[*language])
                    return std::nullopt;
                seen[*language] = true;
                sections.push_back(RawSection{*language, {}});
                inLanguage = true;
                next = 0;
                continue;
            }
            if (inLanguage) {
                std::size_t k = next;
                while (k < kKindTags.size() && kKindTags[k] != tag)
                    ++k;
                if (k == kKindTags.size() || !readKind(sections.back(), kAllKinds[k]))
                    return std::nullopt;
                next = k + 1;
                continue;
            }
            std::size_t k = next;
            while (k < kBaseOrder.size() && kBaseOrder[k] != tag)
                ++k;
            if (k == kBaseOrder.size())
                return std::nullopt;
            next = k + 1;
            if (tag == kTextTag) {
                if (!readOneLine(line) || line != kUtf8TextLine)
                    return std::nullopt;
                utf8 = true;
            } else if (tag == kBaseTag) {
                if (!readOneLine(line))
                    return std::nullopt;
                std::optional<LanguageId> language = parseLanguageHex(line);
                if (!language)
                    return std::nullopt;
                seen[0] = false;
                seen[*language] = true;
                sections[0].language = *language;
            } else if (!readKind(sections[0], kAllKinds[k + 3])) {
                return std::nullopt;
            }
        }
    }

    Project project;
    project.setBaseLanguage(sections[0].language);
    for (std::size_t s = 0; s < sections.size(); ++s) {
        int index = s == 0 ? 0 : project.addSection(sections[s].language);
        for (ResourceKind kind : kAllKinds) {
            Project::Lines& lines = sections[s].lists[static_cast<std::size_t>(kindIndex(kind))];
            for (std::string& line : lines) {
                if (isAscii(line))
                    continue;
                if (utf8) {
                    if (!isValidUtf8(line))
                        return std::nullopt;
                } else {
                    line = cp1252ToUtf8(line);
                }
            }
            if (!lines.empty())
                project.section(index).setLines(kind, std::move(lines));
        }
    }
    return project;
}

} // namespace

std::optional<Project> decodeProject(std::string_view bytes) {
    std::size_t pos = 0;
    return parseProject(bytes.size(), [&](void* out, std::size_t n) {
        std::memcpy(out, bytes.data() + pos, n);
        pos += n;
        return true;
    });
}

bool saveProjectFile(const std::string& path, const Project& project, std::string& error,
                     FileSystem& fs) {
    std::optional<std::string> bytes = encodeProject(project, error);
    if (!bytes) {
        error = path + ": " + error;
        return false;
    }
    if (!writeWholeFile(fs, path, *bytes, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::optional<Project> loadProjectFile(const std::string& path, FileSystem& fs) {
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(path, error);
    if (!in)
        return std::nullopt;
    const std::uint64_t size = in->size();
    std::uint64_t pos = 0;
    // Lines are short; a buffer gathers them into few reads of the file.
    std::string buffer;
    std::uint64_t bufferStart = 0;
    return parseProject(size, [&](void* out, std::size_t n) {
        auto* dest = static_cast<char*>(out);
        while (n > 0) {
            if (pos < bufferStart || pos >= bufferStart + buffer.size()) {
                std::size_t chunk = static_cast<std::size_t>(
                    std::min<std::uint64_t>(std::max<std::size_t>(n, 1 << 16), size - pos));
                buffer.resize(chunk);
                if (!in->readAt(pos, buffer.data(), chunk))
                    return false;
                bufferStart = pos;
            }
            std::size_t at = static_cast<std::size_t>(pos - bufferStart);
            std::size_t take = std::min(n, buffer.size() - at);
            std::memcpy(dest, buffer.data() + at, take);
            dest += take;
            pos += take;
            n -= take;
        }
        return true;
    });
}

} // namespace kelbo
