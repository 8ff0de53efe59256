// The 16-bit RES layout: each resource is a variable-length header followed directly by its
// data, with no alignment anywhere and no leading empty entry.
#include <string>

#include "platform/Cp1252.h"
#include "platform/Unicode.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/ResWriter.h"

namespace kelbo {
namespace {

// The slot's length is one byte.
constexpr std::size_t kMaxString16 = 255;
constexpr std::string_view kNoLanguagesIn16Bits =
    "Languages do not exist in 16 bits-Mode: remove the language section ";
constexpr std::string_view kNotIn16Bits =
    "Only Windows-1252 text exists in 16 bits-Mode; this line holds ";

// The layout's one-byte text; stringsFit16 has refused what Windows-1252 cannot hold.
std::string narrow(std::string_view text) {
    return utf8ToCp1252(text).value_or(std::string(text));
}

void idField(ResOutput& out, const ResourceId& id) {
    if (id.isName) {
        out.bytes(narrow(id.name));
        out.u8(0);
    } else {
        out.u8(0xFF);
        out.u16(id.ordinal);
    }
}

struct Layout16 {
    static void header(ResOutput& out, std::uint32_t dataSize, const ResourceId& type,
                       const ResourceId& name, std::uint16_t memoryFlags, LanguageId) {
        idField(out, type);
        idField(out, name);
        out.u16(memoryFlags);
        out.u32(dataSize);
    }

    static void pad(ResOutput&, std::uint32_t) {}

    static void appendSlot(std::string& block, std::string_view text) {
        std::string bytes = narrow(text);
        block += static_cast<char>(bytes.size());
        block += bytes;
    }
};

// What the layout writes of a line: identifiers, DATA types, strings and version values.
std::string_view written16(ResourceKind kind, std::string_view line) {
    switch (kind) {
    case ResourceKind::String:
    case ResourceKind::Version:
        return line;
    case ResourceKind::Data: {
        std::string_view tail = itemTailText(line);
        return line.substr(0, line.size() - itemTailText(tail).size());
    }
    default:
        return itemIdText(line);
    }
}

// The layout has no languages and one-byte text: what it cannot hold is refused before anything
// is written, as is a text the slot's length byte cannot describe.
bool fits16(const Project& project, CompileLog& log) {
    if (project.sectionCount() > 1) {
        logFailure(log, "",
                   std::string(kNoLanguagesIn16Bits) + languageHex(project.section(1).language));
        return false;
    }
    for (ResourceKind kind : kAllKinds) {
        if (kind == ResourceKind::Manifest)
            continue;
        for (const std::string& line : project.lines(kind)) {
            char32_t bad = 0;
            if (!fitsCp1252(written16(kind, line), &bad)) {
                logFailure(log, line, std::string(kNotIn16Bits) + codePointName(bad));
                return false;
            }
            if (kind == ResourceKind::String && narrow(itemTailText(line)).size() > kMaxString16) {
                logFailure(log, line, "String too long: at most 255 characters in 16 bits-Mode");
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool Compile16(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs) {
    log.setItemLanguage({});
    // 16-bit Windows has no manifests: refusing beats leaving one out silently.
    if (project.anyItems(ResourceKind::Manifest)) {
        logFailure(log, "", kNoManifestIn16Bits);
        return false;
    }
    if (!fits16(project, log))
        return false;
    std::unique_ptr<ResOutput> out = openOutput(fs, resFileName, log);
    if (!out)
        return false;
    ResWriter<Layout16> writer(*out, log, fs);
    return writeResFile(project, *out, writer, 16, resFileName, log);
}

} // namespace kelbo
