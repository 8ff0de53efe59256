// decodeProject over arbitrary bytes: it accepts or refuses; what it accepts is UTF-8 text that
// encodeProject writes back and reads again the same, and a file spelled as encodeProject
// spells it comes back byte for byte.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzChecks.h"
#include "platform/Unicode.h"
#include "projectfile/ProjectFile.h"

namespace {

// True when a one-line section with this tag holds a line other than `accept` allows.
template <class Accept>
bool oneLineSpelledOtherwise(std::string_view bytes, std::string_view tag, Accept accept) {
    const std::string head = std::string(tag) + std::string("\x01\x00\x04\x00", 4);
    for (std::size_t at = bytes.find(head); at != std::string_view::npos;
         at = bytes.find(head, at + 1)) {
        if (!accept(bytes.substr(at + head.size(), 4)))
            return true;
    }
    return false;
}

bool upperHex(std::string_view hex) {
    return hex.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<Project> project = decodeProject(bytes);
    if (!project)
        return 0;
    FUZZ_CHECK(bytes.substr(0, kProjectSignature.size()) == kProjectSignature);
    for (const LanguageSection& section : project->sections()) {
        for (ResourceKind kind : kAllKinds) {
            for (const std::string& line : section.lines(kind))
                FUZZ_CHECK(isValidUtf8(line));
        }
    }
    std::string error;
    std::optional<std::string> again = encodeProject(*project, error);
    FUZZ_CHECK(again.has_value());
    std::optional<Project> reread = decodeProject(*again);
    FUZZ_CHECK(reread.has_value() && *reread == *project);
    // Read leniently, written one way: TEXT where no line needs it, a language in lower case
    // and BASE 0000 are the spellings encodeProject does not write.
    const bool ownSpelling = bytes.find("TEXT") == std::string_view::npos &&
                             !oneLineSpelledOtherwise(bytes, "LANG", upperHex) &&
                             !oneLineSpelledOtherwise(bytes, "BASE", [](std::string_view hex) {
                                 return upperHex(hex) && hex != "0000";
                             });
    if (ownSpelling)
        FUZZ_CHECK(bytes.substr(0, again->size()) == *again);
    return 0;
}
