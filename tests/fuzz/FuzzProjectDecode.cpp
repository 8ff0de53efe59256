// decodeProject over arbitrary bytes: it accepts or refuses, and what it accepts is exactly the
// leading part of the input that encodeProject writes back.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzChecks.h"
#include "projectfile/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<Project> project = decodeProject(bytes);
    if (!project)
        return 0;
    FUZZ_CHECK(bytes.substr(0, kProjectSignature.size()) == kProjectSignature);
    std::string error;
    std::optional<std::string> again = encodeProject(*project, error);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(bytes.substr(0, again->size()) == *again);
    std::optional<Project> reread = decodeProject(*again);
    FUZZ_CHECK(reread.has_value() && *reread == *project);
    return 0;
}
