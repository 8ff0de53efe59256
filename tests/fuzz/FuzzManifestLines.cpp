// parseManifest over arbitrary lines (the input split at each LF): whatever it accepts
// generates a well-formed manifest of a size divisible by four, and its canonical lines read
// back to the same settings.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/XmlCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string input(reinterpret_cast<const char*>(data), size);
    Project::Lines lines;
    for (std::size_t start = 0; start <= input.size();) {
        std::size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    ManifestProblem problem;
    std::optional<ManifestSettings> settings = parseManifest(lines, problem);
    if (!settings) {
        FUZZ_CHECK(!problem.problem.empty());
        FUZZ_CHECK(std::find(lines.begin(), lines.end(), problem.line) != lines.end());
        return 0;
    }
    FUZZ_CHECK(settings->id >= 1 && settings->id <= kManifestIdLast);
    ManifestProblem again;
    std::optional<ManifestSettings> back = parseManifest(manifestLines(*settings), again);
    FUZZ_CHECK(back && *back == *settings);
    if (!settings->file) {
        std::string xml = generateManifest(*settings);
        XmlProblem xmlProblem;
        FUZZ_CHECK(xml.size() % 4 == 0);
        FUZZ_CHECK(checkXml(xml, xmlProblem));
    }
    return 0;
}
