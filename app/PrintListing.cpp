#include "app/PrintListing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "app/QtText.h"

namespace kelbo {

namespace {

// A TAB moves on to the next stop, eight average characters apart, so the identifier and the
// source stay apart as on screen.
void drawLine(QPainter& painter, const QFontMetrics& metrics, int baseline, const QString& line) {
    const int tabStop = qMax(1, 8 * metrics.averageCharWidth());
    int x = 0;
    const QStringList parts = line.split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            x = (x / tabStop + 1) * tabStop;
        painter.drawText(QPoint(x, baseline), parts[i]);
        x += metrics.horizontalAdvance(parts[i]);
    }
}

} // namespace

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
        drawLine(painter, metrics, y + metrics.ascent(), toQt(line));
        y += lineHeight;
    }
    if (!painter.end()) {
        error = QStringLiteral("The printout could not be finished.");
        return false;
    }
    return true;
}

} // namespace kelbo
