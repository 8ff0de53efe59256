// The identifier checks that run before any writer.
#pragma once

#include <cstdint>
#include <string>

#include "project/Project.h"
#include "rescompiler/CompileLog.h"

namespace kelbo {

// Resource types Kelbo writes itself, which a DATA item may not take.
inline constexpr int kReservedTypes[] = {1, 2, 3, 6, 12, 14, 16, 24};

// A DATA item's type (as GetItemType gives it): a name, or a whole number from 1 to 32767 that
// is not reserved. False with the log line in `problem` otherwise.
bool checkDataType(const std::string& type, std::string& problem);

// Total number of items of all kinds (the caller reports code 7 when it is 0).
int CountItems(const Project& project);

// 0 when every identifier passes; the log text then becomes "Identificators = OK" CR LF.
// Otherwise the first finding is appended to the log and the result is 9999 (the caller beeps).
std::int16_t CheckIdentifiers(const Project& project, CompileLog& log);

// Number of a STRING identifier: a whole number 0 to 32767 after trimming, one leading + allowed.
// -1 when it is anything else.
int stringIdentifierNumber(std::string_view identifier);

} // namespace kelbo
