// Helpers for the core tests: kelbo-compile runs and reading little-endian fields; sample
// files and scratch folders come from the shared test support.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Samples.h"

namespace kelbo::test {

using TempDir = ScratchDir;

std::uint16_t get16(const std::string& s, std::size_t at);
std::uint32_t get32(const std::string& s, std::size_t at);

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs kelbo-compile with the arguments (each quoted for the shell).
RunResult runCompiler(const std::vector<std::string>& args);

// libxml2's verdict on a document (`xmllint --noout`) and its messages; nothing where xmllint
// is not installed, as on Windows.
std::optional<bool> xmllintAccepts(const std::string& document, std::string& messages);

} // namespace kelbo::test
