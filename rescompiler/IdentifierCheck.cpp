#include "rescompiler/IdentifierCheck.h"

#include <map>
#include <string>

#include "rescompiler/ItemLine.h"

namespace kelbo {

int CountItems(const Project& project) {
    return project.totalCount();
}

int stringIdentifierNumber(std::string_view identifier) {
    std::string_view text = trimSpaces(identifier);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return -1;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
    }
    return static_cast<int>(digitsValue(text));
}

namespace {

std::string tooLargeMessage(const std::string& line) {
    return joinLines({logtext::kError, line, logtext::kTooLarge, "",
                      std::string(logtext::kMustBePositive) + std::to_string(kMaxIdentifier)});
}

std::string notANumberMessage(const std::string& line) {
    return joinLines({logtext::kError, line, logtext::kOnlyANumber, "",
                      std::string(logtext::kMustBePositive) + std::to_string(kMaxIdentifier)});
}

// Identifiers that the writers would write the same way share a key.
std::string identityKey(ResourceKind kind, const std::string& line) {
    if (kind == ResourceKind::String)
        return "#" + std::to_string(stringIdentifierNumber(itemIdText(line)));
    std::string id = GetItemId(line);
    if (TestNumber(id) == 0)
        return "#" + std::to_string(digitsValue(id));
    return "$" + id;
}

// The range pass: the first message for this kind, or empty.
std::string rangeFinding(ResourceKind kind, const Project::Lines& lines) {
    for (const std::string& line : lines) {
        // A zero byte would end a name early in either layout and misframe the 16-bit file.
        if (kind != ResourceKind::String && itemIdText(line).find('\0') != std::string_view::npos)
            return joinLines({logtext::kError, line, logtext::kZeroInIdentifier});
        std::string id(itemIdText(line));
        if (TestNumber(id) == 0) {
            if (digitsValue(id) < 0)
                return tooLargeMessage(line);
            if (kind == ResourceKind::String && id.empty())
                return notANumberMessage(line);
        } else if (kind == ResourceKind::String && stringIdentifierNumber(id) < 0) {
            return notANumberMessage(line);
        }
    }
    return {};
}

// The duplicate pass: the earliest line that has a twin, with its first later twin.
std::string duplicateFinding(ResourceKind kind, const Project::Lines& lines) {
    struct Seen {
        std::size_t first;
        std::size_t second = 0;
        bool twin = false;
    };
    std::map<std::string, Seen> seen;
    std::size_t bestFirst = lines.size();
    std::size_t bestSecond = 0;
    for (std::size_t j = 0; j < lines.size(); ++j) {
        auto [it, inserted] = seen.try_emplace(identityKey(kind, lines[j]), Seen{j});
        if (inserted || it->second.twin)
            continue;
        it->second.twin = true;
        it->second.second = j;
        if (it->second.first < bestFirst) {
            bestFirst = it->second.first;
            bestSecond = j;
        }
    }
    if (bestFirst == lines.size())
        return {};
    return joinLines({logtext::kError, logtext::kSame, lines[bestFirst], lines[bestSecond]});
}

} // namespace

std::int16_t CheckIdentifiers(const Project& project, CompileLog& log) {
    for (ResourceKind kind : kAllKinds) {
        const Project::Lines& lines = project.lines(kind);
        std::string finding = rangeFinding(kind, lines);
        if (finding.empty())
            finding = duplicateFinding(kind, lines);
        if (!finding.empty()) {
            log.AddLogLine(finding);
            return kNotANumber;
        }
    }
    log.setText(std::string(logtext::kIdentifiersOk) + std::string(kCrLf));
    return 0;
}

} // namespace kelbo
