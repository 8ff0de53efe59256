// The 16-bit RES layout: each resource is a variable-length header followed directly by its
// data, with no alignment anywhere and no leading empty entry.
#include <string>

#include "rescompiler/ResCompiler.h"
#include "rescompiler/ResWriter.h"

namespace kelbo {
namespace {

// The slot's length is one byte.
constexpr std::size_t kMaxString16 = 255;

void idField(ResOutput& out, const ResourceId& id) {
    if (id.isName) {
        out.bytes(id.name);
        out.u8(0);
    } else {
        out.u8(0xFF);
        out.u16(id.ordinal);
    }
}

struct Layout16 {
    static void header(ResOutput& out, std::uint32_t dataSize, const ResourceId& type,
                       const ResourceId& name, std::uint16_t memoryFlags) {
        idField(out, type);
        idField(out, name);
        out.u16(memoryFlags);
        out.u32(dataSize);
    }

    static void pad(ResOutput&, std::uint32_t) {}

    static void appendSlot(std::string& block, std::string_view text) {
        block += static_cast<char>(text.size());
        block += text;
    }
};

// A text the slot's length byte cannot describe is refused before anything is written.
bool stringsFit16(const Project& project, CompileLog& log) {
    for (const std::string& line : project.lines(ResourceKind::String)) {
        if (itemTailText(line).size() > kMaxString16) {
            logFailure(log, line, "String too long: at most 255 characters in 16 bits-Mode");
            return false;
        }
    }
    return true;
}

} // namespace

bool Compile16(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs) {
    if (!stringsFit16(project, log))
        return false;
    // 16-bit Windows has no manifests: refusing beats leaving one out silently.
    if (project.count(ResourceKind::Manifest) > 0) {
        logFailure(log, "", kNoManifestIn16Bits);
        return false;
    }
    std::unique_ptr<ResOutput> out = openOutput(fs, resFileName, log);
    if (!out)
        return false;
    ResWriter<Layout16> writer(*out, log, fs);
    return writeResFile(project, *out, writer, 16, resFileName, log);
}

} // namespace kelbo
