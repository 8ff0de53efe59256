// A Qt printer as the behaviour layer's printer: the printer's default font, device coordinates
// from the top of the printable area. The page layout itself is shell::printLines.
#pragma once

#include <QFontMetrics>
#include <QPainter>
#include <memory>
#include <optional>

#include "shell/Platform.h"

class QPrinter;

namespace kelbo {

class QtPrinter : public shell::Printer {
public:
    // `printer` was chosen by the user (or set up by a test) and is not yet started.
    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    ~QtPrinter() override;

    bool begin(std::string& error) override;
    int pageHeight() const override;
    int lineHeight() const override;
    int ascent() const override;
    int averageCharWidth() const override;
    int textWidth(std::string_view text) const override;
    void drawText(int x, int baseline, std::string_view text) override;
    bool newPage() override;
    bool end() override;

private:
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    std::optional<QFontMetrics> metrics_;
};

} // namespace kelbo
