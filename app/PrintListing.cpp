#include "app/PrintListing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "app/QtText.h"

namespace kelbo {

bool printListing(QPrinter& printer, const std::vector<std::string>& lines, QString& error) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = QStringLiteral("The printer could not be started.");
        return false;
    }
    const QRect page = painter.viewport();
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = metrics.lineSpacing();
    int y = 0;
    for (const std::string& line : lines) {
        if (y > 0 && y + lineHeight > page.height()) {
            if (!printer.newPage()) {
                error = QStringLiteral("A new page could not be started.");
                painter.end();
                return false;
            }
            y = 0;
        }
        // TextExpandTabs renders the TAB between identifier and source as a gap.
        painter.drawText(QRect(0, y, page.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine,
                         toQt(line));
        y += lineHeight;
    }
    if (!painter.end()) {
        error = QStringLiteral("The printout could not be finished.");
        return false;
    }
    return true;
}

} // namespace kelbo
