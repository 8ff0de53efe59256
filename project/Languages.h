// The languages people localize Windows programs into, by name, for the windows' choices, the
// listing and the version information.
#pragma once

#include <string>
#include <vector>

#include "project/Project.h"

namespace kelbo {

struct LanguageChoice {
    LanguageId id;
    std::string name; // "Russian (Russia)", UTF-8
};

// The common languages, the most used first; "Neutral" (0000) last.
const std::vector<LanguageChoice>& commonLanguages();

// The name of a common language; empty for any other.
std::string languageName(LanguageId language);

// "Russian (Russia) [0419]", or "Other language [0C1A]" for one not in the list.
std::string languageCaption(LanguageId language);

} // namespace kelbo
