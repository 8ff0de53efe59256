#include "rescompiler/IdentifierCheck.h"

#include <map>
#include <string>
#include <vector>

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

// The type a kind's resources are written under, as a key; DATA items name their own.
std::string typeKey(ResourceKind kind, const std::string& line) {
    switch (kind) {
    case ResourceKind::Bitmap:
        return "#2";
    case ResourceKind::Icon:
        return "#14";
    case ResourceKind::String:
        return "#6";
    case ResourceKind::Wave:
        return "$WAVE";
    case ResourceKind::Cursor:
        return "#12";
    case ResourceKind::Data: {
        ResourceId type = resourceIdOfText(GetItemType(line));
        return type.isName ? "$" + type.name : "#" + std::to_string(type.ordinal);
    }
    case ResourceKind::Manifest:
    case ResourceKind::Version:
        break;
    }
    return {};
}

// Resources that the writers would write under the same type and name share a key.
std::string identityKey(ResourceKind kind, const std::string& line) {
    std::string type = typeKey(kind, line) + "/";
    if (kind == ResourceKind::String)
        return type + "#" + std::to_string(stringIdentifierNumber(itemIdText(line)));
    std::string id = GetItemId(line);
    if (TestNumber(id) == 0)
        return type + "#" + std::to_string(digitsValue(id));
    return type + "$" + id;
}

// What is wrong with a DATA item's type, or empty.
std::string dataTypeProblem(const std::string& line) {
    std::size_t tab = line.find(kTab);
    if (tab == std::string::npos || line.find(kTab, tab + 1) == std::string::npos)
        return std::string(logtext::kNoDataType);
    std::string type = GetItemType(line);
    std::string problem;
    if (!checkDataType(type, problem))
        return problem;
    return {};
}

// The range pass: the first message for this kind, or empty.
std::string rangeFinding(ResourceKind kind, const Project::Lines& lines) {
    for (const std::string& line : lines) {
        if (kind == ResourceKind::Data) {
            std::string problem = dataTypeProblem(line);
            if (!problem.empty())
                return joinLines({logtext::kError, line, problem});
        }
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

// The duplicate pass: the earliest line that has a twin in its own kind, with its first later
// twin; else the first line that has a twin in a kind checked before (`earlier`, which then
// takes this kind's keys).
std::string duplicateFinding(ResourceKind kind, const Project::Lines& lines,
                             std::map<std::string, const std::string*>& earlier) {
    struct Seen {
        std::size_t first;
        std::size_t second = 0;
        bool twin = false;
    };
    std::map<std::string, Seen> seen;
    std::size_t bestFirst = lines.size();
    std::size_t bestSecond = 0;
    std::vector<std::string> keys;
    keys.reserve(lines.size());
    for (std::size_t j = 0; j < lines.size(); ++j) {
        keys.push_back(identityKey(kind, lines[j]));
        auto [it, inserted] = seen.try_emplace(keys.back(), Seen{j});
        if (inserted || it->second.twin)
            continue;
        it->second.twin = true;
        it->second.second = j;
        if (it->second.first < bestFirst) {
            bestFirst = it->second.first;
            bestSecond = j;
        }
    }
    if (bestFirst != lines.size())
        return joinLines({logtext::kError, logtext::kSame, lines[bestFirst], lines[bestSecond]});
    for (std::size_t j = 0; j < lines.size(); ++j) {
        auto it = earlier.find(keys[j]);
        if (it != earlier.end())
            return joinLines({logtext::kError, logtext::kSame, *it->second, lines[j]});
    }
    for (std::size_t j = 0; j < lines.size(); ++j)
        earlier.try_emplace(std::move(keys[j]), &lines[j]);
    return {};
}

} // namespace

bool checkDataType(const std::string& type, std::string& problem) {
    if (type.empty()) {
        problem = logtext::kNoDataType;
        return false;
    }
    if (type.find('\0') != std::string::npos) {
        problem = logtext::kZeroInType;
        return false;
    }
    std::string text = type;
    if (TestNumber(text) != 0)
        return true;
    long long value = digitsValue(text);
    if (value < 1) {
        problem = logtext::kTypeRange;
        return false;
    }
    for (int reserved : kReservedTypes) {
        if (value == reserved) {
            problem = std::string(logtext::kReservedType) + std::to_string(value);
            return false;
        }
    }
    return true;
}

std::int16_t CheckIdentifiers(const Project& project, CompileLog& log) {
    // Identifiers compare within one language: the same one in two languages localizes it.
    for (const LanguageSection& section : project.sections()) {
        std::map<std::string, const std::string*> earlier;
        for (ResourceKind kind : kAllKinds) {
            if (!hasIdentifier(kind))
                continue;
            const Project::Lines& lines = section.lines(kind);
            std::string finding = rangeFinding(kind, lines);
            if (finding.empty())
                finding = duplicateFinding(kind, lines, earlier);
            if (!finding.empty()) {
                // After "*** ERROR ***", the language when there is more than one.
                if (project.sectionCount() > 1) {
                    std::size_t at = logtext::kError.size();
                    finding.insert(at, std::string(kCrLf) + std::string(logtext::kLanguage) +
                                           languageHex(section.language));
                }
                log.AddLogLine(finding);
                return kNotANumber;
            }
        }
    }
    log.setText(std::string(logtext::kIdentifiersOk) + std::string(kCrLf));
    return 0;
}

} // namespace kelbo
