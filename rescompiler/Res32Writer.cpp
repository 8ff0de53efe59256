// The 32-bit RES layout: a sequence of resources, each a header, its data and padding to four
// bytes, after an empty entry that marks the file as 32-bit.
#include <string>

#include "rescompiler/ResCompiler.h"
#include "rescompiler/ResWriter.h"

namespace kelbo {
namespace {

// The Type or Name field: FFFF and an ordinal, or the widened name and its terminator.
std::string idField(const ResourceId& id) {
    std::string field;
    if (id.isName) {
        field = WidenText(id.name);
        field.append(2, '\0');
    } else {
        field = {'\xFF', '\xFF', static_cast<char>(id.ordinal & 0xFF),
                 static_cast<char>(id.ordinal >> 8)};
    }
    return field;
}

struct Layout32 {
    static void header(ResOutput& out, std::uint32_t dataSize, const ResourceId& type,
                       const ResourceId& name, std::uint16_t memoryFlags, LanguageId language) {
        std::string typeField = idField(type);
        std::string nameField = idField(name);
        auto beforePad = static_cast<std::uint32_t>(8 + typeField.size() + nameField.size());
        std::uint32_t pad = PadToFour(beforePad);
        out.u32(dataSize);
        out.u32(beforePad + pad + 16);
        out.bytes(typeField);
        out.bytes(nameField);
        out.zeros(pad);
        out.u32(0); // DataVersion
        out.u16(memoryFlags);
        out.u16(language);
        out.u32(0); // Version
        out.u32(0); // Characteristics
    }

    // Every header, icon images' included, starts on a four-byte boundary, as linkers require.
    static void pad(ResOutput& out, std::uint32_t dataSize) { out.zeros(PadToFour(dataSize)); }

    // The length counts UTF-16 units; a line's 32767 bytes never make more than 32767.
    static void appendSlot(std::string& block, std::string_view text) {
        std::string wide = WidenText(text);
        const std::size_t units = wide.size() / 2;
        block += static_cast<char>(units & 0xFF);
        block += static_cast<char>((units >> 8) & 0xFF);
        block += wide;
    }
};

} // namespace

bool Compile32(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs) {
    std::unique_ptr<ResOutput> out = openOutput(fs, resFileName, log);
    if (!out)
        return false;
    Layout32::header(*out, 0, ordinalId(0), ordinalId(0), 0, 0); // the empty entry
    log.setItemLanguage({});
    ResWriter<Layout32> writer(*out, log, fs);
    writer.setMultilingual(project.sectionCount() > 1);
    return writeResFile(project, *out, writer, 32, resFileName, log);
}

} // namespace kelbo
