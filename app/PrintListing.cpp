#include "app/PrintListing.h"

#include <QPrinter>

#include "app/QtText.h"

namespace kelbo {

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

QtPrinter::~QtPrinter() {
    if (painter_.isActive())
        painter_.end();
}

bool QtPrinter::begin(std::string& error) {
    if (!painter_.begin(printer_.get())) {
        error = "The printer could not be started.";
        return false;
    }
    metrics_.emplace(painter_.fontMetrics());
    return true;
}

int QtPrinter::pageHeight() const {
    return painter_.viewport().height();
}

int QtPrinter::lineHeight() const {
    return metrics_->lineSpacing();
}

int QtPrinter::ascent() const {
    return metrics_->ascent();
}

int QtPrinter::averageCharWidth() const {
    return metrics_->averageCharWidth();
}

int QtPrinter::textWidth(std::string_view text) const {
    return metrics_->horizontalAdvance(toQt(text));
}

void QtPrinter::drawText(int x, int baseline, std::string_view text) {
    painter_.drawText(QPoint(x, baseline), toQt(text));
}

bool QtPrinter::newPage() {
    return printer_->newPage();
}

bool QtPrinter::end() {
    return painter_.end();
}

} // namespace kelbo
