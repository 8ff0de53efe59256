#include "project/Listing.h"

#include <cstdio>

namespace kelbo {
namespace {

std::string indented(const std::string& text) {
    return std::string(kListingIndent, ' ') + text;
}

} // namespace

std::string listingDate(int year, int month, int day) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d", month, day, year);
    return buffer;
}

std::vector<std::string> PrintList(const Project& project, ResourceKind kind) {
    std::vector<std::string> lines{indented("")};
    for (const std::string& line : project.lines(kind))
        lines.push_back(indented(line));
    return lines;
}

std::vector<std::string> listingLines(const Project& project, const std::string& projectPath,
                                      const std::string& date) {
    std::vector<std::string> lines(4, indented(""));
    lines.push_back(indented(date));
    lines.push_back(indented("File : " + projectPath));
    lines.push_back(indented(""));
    lines.push_back(indented(""));
    // A section for every kind with a tab; the manifest and the version information only when
    // the project has them.
    for (ResourceKind kind : kAllKinds) {
        if (!hasIdentifier(kind) && project.count(kind) == 0)
            continue;
        std::string heading = "[";
        heading.append(kindName(kind)).append("]");
        lines.push_back(indented(heading));
        std::vector<std::string> section = PrintList(project, kind);
        lines.insert(lines.end(), section.begin(), section.end());
        lines.push_back(indented(""));
    }
    return lines;
}

} // namespace kelbo
