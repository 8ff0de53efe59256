// The printed listing: the header, then one section per kind, every line indented 16 spaces.
#pragma once

#include <string>
#include <vector>

#include "project/Project.h"

namespace kelbo {

inline constexpr int kListingIndent = 16;

// "mm-dd-yyyy".
std::string listingDate(int year, int month, int day);
// One section: a blank line, then each item line of the kind.
std::vector<std::string> PrintList(const Project& project, ResourceKind kind);
// The whole listing, each line with its indent.
std::vector<std::string> listingLines(const Project& project, const std::string& projectPath,
                                      const std::string& date);

} // namespace kelbo
