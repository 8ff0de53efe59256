#include "win32/PrintListing.h"

#include <algorithm>

#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

// A TAB moves on to the next stop, so the identifier and the source stay apart as on screen.
void drawLine(Printer& printer, int y, int tabStop, const std::wstring& line) {
    HDC dc = printer.dc();
    int x = 0;
    std::size_t start = 0;
    for (bool first = true;; first = false) {
        const std::size_t tab = line.find(L'\t', start);
        const std::wstring part =
            line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start);
        if (!first)
            x = (x / tabStop + 1) * tabStop;
        printer.drawText(x, y, part);
        SIZE size{};
        GetTextExtentPoint32W(dc, part.c_str(), static_cast<int>(part.size()), &size);
        x += size.cx;
        if (tab == std::wstring::npos)
            break;
        start = tab + 1;
    }
}

} // namespace

bool printListing(Printer& printer, const std::vector<std::string>& lines, std::wstring& error) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(printer.dc(), &metrics);
    const int lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
    const int tabStop = std::max<int>(1, 8 * metrics.tmAveCharWidth);
    const int pageHeight = printer.pageSize().cy;
    if (!printer.startDoc(L"Kelbo") || !printer.startPage()) {
        error = L"The printer could not be started.";
        return false;
    }
    int y = 0;
    for (const std::string& line : lines) {
        if (y > 0 && y + lineHeight > pageHeight) {
            if (!printer.endPage() || !printer.startPage()) {
                error = L"A new page could not be started.";
                printer.endDoc();
                return false;
            }
            y = 0;
        }
        drawLine(printer, y, tabStop, wide(line));
        y += lineHeight;
    }
    if (!printer.endPage() || !printer.endDoc()) {
        error = L"The printout could not be finished.";
        return false;
    }
    return true;
}

} // namespace kelbo::win32
