// The .RES reader and the import's plan over arbitrary bytes, read as either layout: whatever
// is accepted lies inside the file, and an accepted import is a project that compiles, each
// language once, its text valid UTF-8.
#include <cstdint>
#include <set>
#include <string>

#include "FuzzChecks.h"
#include "platform/Unicode.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/VersionInfo.h"
#include "resreader/Import.h"
#include "resreader/ResFile.h"
#include "resreader/VersionBlock.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::MemoryInput in(bytes);
    std::string error;
    std::optional<ResDirectory> dir = readResDirectory(in, "f.res", error);
    if (!dir) {
        FUZZ_CHECK(error.rfind("f.res: offset ", 0) == 0);
    } else {
        FUZZ_CHECK(error.empty());
        std::uint64_t end = dir->layout == ResLayout::Bits32 ? 32 : 0;
        for (const ResEntry& e : dir->entries) {
            FUZZ_CHECK(e.headerOffset >= end);
            FUZZ_CHECK(e.dataOffset >= e.headerOffset);
            FUZZ_CHECK(e.dataOffset + e.dataSize <= size);
            FUZZ_CHECK(dir->layout == ResLayout::Bits16 || e.headerOffset % 4 == 0);
            end = e.dataOffset + e.dataSize;
            if (e.type.isOrdinal(kRtVersion)) {
                std::string_view block = std::string_view(bytes).substr(e.dataOffset, e.dataSize);
                std::optional<VersionBlock> v = parseVersionBlock(block, dir->layout, error);
                std::vector<std::string> warnings;
                // The lines an import makes of any block are lines the compiler takes.
                if (v) {
                    VersionProblem problem;
                    FUZZ_CHECK(parseVersionLines(versionLines(*v, warnings), problem).has_value());
                }
            }
        }
    }
    ImportPlan plan = planImport(in, "f.res", "/p_files");
    FUZZ_CHECK(plan.ok || !plan.error.empty());
    if (!plan.ok)
        return 0;
    FUZZ_CHECK(dir.has_value());
    for (const ImportFile& f : plan.files)
        for (const ImportPiece& piece : f.pieces)
            FUZZ_CHECK(piece.offset + piece.size <= size);
    // Each language once, the base in the first resource's; text kept as UTF-8.
    std::set<LanguageId> languages;
    for (const LanguageSection& section : plan.project.sections()) {
        FUZZ_CHECK(languages.insert(section.language).second);
        for (ResourceKind kind : kAllKinds)
            for (const std::string& line : section.lines(kind))
                FUZZ_CHECK(isValidUtf8(line));
    }
    if (!dir->entries.empty())
        FUZZ_CHECK(plan.project.baseLanguage() == dir->entries.front().language);
    // The imported identifiers pass the checks a compilation makes first.
    CompileLog log;
    FUZZ_CHECK(CheckIdentifiers(plan.project, log) == 0);
    std::string encodeError;
    if (encodeProject(plan.project, encodeError))
        FUZZ_CHECK(encodeError.empty());
    return 0;
}
