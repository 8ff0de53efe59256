// The identifier checks that run before any writer.
#pragma once

#include <cstdint>

#include "app/project/Project.h"
#include "rescompiler/CompileLog.h"

namespace kelbo {

// Total number of items of the four kinds (the caller reports code 7 when it is 0).
int CountItems(const Project& project);

// 0 when every identifier passes; the log text then becomes "Identificators = OK" CR LF.
// Otherwise the first finding is appended to the log and the result is 9999 (the caller beeps).
std::int16_t CheckIdentifiers(const Project& project, CompileLog& log);

// Number of a STRING identifier: a whole number 0 to 32767 after trimming, one leading + allowed.
// -1 when it is anything else.
int stringIdentifierNumber(std::string_view identifier);

} // namespace kelbo
