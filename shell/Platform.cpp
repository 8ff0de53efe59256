#include "shell/Platform.h"

#include <algorithm>

#include "messages/ErrorCodes.h"

namespace kelbo::shell {

namespace {

// A TAB moves on to the next stop, eight average characters apart, so the identifier and the
// source stay apart as on screen.
void drawLine(Printer& printer, int baseline, std::string_view line) {
    const int tabStop = std::max(1, 8 * printer.averageCharWidth());
    int x = 0;
    bool first = true;
    for (;;) {
        const std::size_t tab = line.find('\t');
        const std::string_view part = line.substr(0, tab);
        if (!first)
            x = (x / tabStop + 1) * tabStop;
        first = false;
        printer.drawText(x, baseline, part);
        x += printer.textWidth(part);
        if (tab == std::string_view::npos)
            return;
        line.remove_prefix(tab + 1);
    }
}

} // namespace

bool printLines(Printer& printer, const std::vector<std::string>& lines, std::string& error) {
    if (!printer.begin(error)) {
        if (error.empty())
            error = "The printer could not be started.";
        return false;
    }
    const int lineHeight = printer.lineHeight();
    const int pageHeight = printer.pageHeight();
    int y = 0;
    for (const std::string& line : lines) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!printer.newPage()) {
                error = "A new page could not be started.";
                printer.end();
                return false;
            }
            y = 0;
        }
        drawLine(printer, y + printer.ascent(), line);
        y += lineHeight;
    }
    if (!printer.end()) {
        error = "The printout could not be finished.";
        return false;
    }
    return true;
}

void showError(Platform& platform, View* owner, int code) {
    platform.beep();
    platform.messageBox(owner, errorMessage(code), errorTitle(code), BoxIcon::Stop, BoxButtons::Ok);
}

} // namespace kelbo::shell
