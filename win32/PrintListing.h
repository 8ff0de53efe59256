// The printed listing on a Win32 printer: the same page layout as the Qt program's.
#pragma once

#include <string>
#include <vector>

#include "win32/Win32Platform.h"

namespace kelbo::win32 {

// Prints the lines top to bottom in the device's default font, a new page whenever the next
// line would not fit, each TAB moving on to the next stop eight average characters apart.
// False with the reason when the printer refused.
bool printListing(Printer& printer, const std::vector<std::string>& lines, std::wstring& error);

} // namespace kelbo::win32
