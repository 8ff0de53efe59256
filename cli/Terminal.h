// Text for the terminal: the core's UTF-8, shown so that every character reads right.
#pragma once

#include <ostream>
#include <string_view>

namespace kelbo {

// Writes UTF-8 text to `out`. On Windows, standard output or error that is a console gets wide
// text (the console's code page may be anything); a file or a pipe gets the UTF-8 bytes, as on
// Linux.
void writeText(std::ostream& out, std::string_view utf8);
// The same followed by a line end.
void writeLine(std::ostream& out, std::string_view utf8);

} // namespace kelbo
