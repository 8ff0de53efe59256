// Puts the listing's lines on the printer, one line of text each, in the printer's default font,
// starting a new page whenever the next line would not fit.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QPrinter;

namespace kelbo {

// False with the reason when the printer could not be started or a page could not be added.
bool printListing(QPrinter& printer, const std::vector<std::string>& lines, QString& error);

} // namespace kelbo
