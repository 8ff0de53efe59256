#include "project/Listing.h"

#include <cstdio>

#include "project/Languages.h"

namespace kelbo {
namespace {

std::string indented(const std::string& text) {
    return std::string(kListingIndent, ' ') + text;
}

// A section for every kind with a tab; the manifest and the version information only when the
// section has them.
void appendKinds(std::vector<std::string>& lines, const LanguageSection& section) {
    for (ResourceKind kind : kAllKinds) {
        if (!hasIdentifier(kind) && section.count(kind) == 0)
            continue;
        std::string heading = "[";
        heading.append(kindName(kind)).append("]");
        lines.push_back(indented(heading));
        std::vector<std::string> items = PrintList(section, kind);
        lines.insert(lines.end(), items.begin(), items.end());
        lines.push_back(indented(""));
    }
}

} // namespace

std::string listingDate(int year, int month, int day) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d", month, day, year);
    return buffer;
}

std::vector<std::string> PrintList(const LanguageSection& section, ResourceKind kind) {
    std::vector<std::string> lines{indented("")};
    for (const std::string& line : section.lines(kind))
        lines.push_back(indented(line));
    return lines;
}

std::string listingLanguageHeading(const Project& project, int section) {
    const LanguageId language = project.section(section).language;
    std::string heading = "LANGUAGE " + languageHex(language);
    const std::string name = languageName(language);
    if (!name.empty())
        heading += "  " + name;
    if (section == 0)
        heading += "  (base)";
    return heading;
}

std::vector<std::string> listingLines(const Project& project, const std::string& projectPath,
                                      const std::string& date) {
    std::vector<std::string> lines(4, indented(""));
    lines.push_back(indented(date));
    lines.push_back(indented("File : " + projectPath));
    lines.push_back(indented(""));
    lines.push_back(indented(""));
    // A project of one neutral section prints as it always has, without a heading.
    if (project.singleNeutral()) {
        appendKinds(lines, project.base());
        return lines;
    }
    for (int i = 0; i < project.sectionCount(); ++i) {
        lines.push_back(indented(listingLanguageHeading(project, i)));
        lines.push_back(indented(""));
        appendKinds(lines, project.section(i));
    }
    return lines;
}

} // namespace kelbo
