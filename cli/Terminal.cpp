#include "cli/Terminal.h"

#include <iostream>

#ifdef _WIN32
#include <windows.h>

#include "platform/Unicode.h"
#endif

namespace kelbo {

void writeText(std::ostream& out, std::string_view utf8) {
#ifdef _WIN32
    DWORD which = &out == &std::cout   ? STD_OUTPUT_HANDLE
                  : &out == &std::cerr ? STD_ERROR_HANDLE
                                       : 0;
    HANDLE handle = which ? GetStdHandle(which) : nullptr;
    DWORD mode = 0;
    if (handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        out.flush();
        std::u16string wide = utf8ToUtf16(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
#endif
    out << utf8;
}

void writeLine(std::ostream& out, std::string_view utf8) {
    writeText(out, utf8);
    writeText(out, "\n");
}

} // namespace kelbo
