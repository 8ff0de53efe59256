// The printed listing: the header, then one section per kind, every line indented 16 spaces.
// A project with languages besides the base prints each language's kinds under a heading.
#pragma once

#include <string>
#include <vector>

#include "project/Project.h"

namespace kelbo {

inline constexpr int kListingIndent = 16;

// "mm-dd-yyyy".
std::string listingDate(int year, int month, int day);
// One section: a blank line, then each item line of the kind.
std::vector<std::string> PrintList(const LanguageSection& section, ResourceKind kind);
// "LANGUAGE 0419  Russian (Russia)", with "(base)" after the base section's.
std::string listingLanguageHeading(const Project& project, int section);
// The whole listing, each line with its indent.
std::vector<std::string> listingLines(const Project& project, const std::string& projectPath,
                                      const std::string& date);

} // namespace kelbo
