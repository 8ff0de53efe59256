#include "platform/QtShellPlatform.h"

#include <QDate>
#include <QPrinter>
#include <QStringList>
#include <QWidget>

#include "app/PrintListing.h"
#include "app/QtText.h"

namespace kelbo {

QWidget* QtShellPlatform::widgetOf(shell::View* view) {
    // Every Qt view is the window it shows.
    return dynamic_cast<QWidget*>(view);
}

void QtShellPlatform::beep() {
    qt_.beep();
}

shell::BoxAnswer QtShellPlatform::messageBox(shell::View* owner, const std::string& text,
                                             const std::string& title, shell::BoxIcon icon,
                                             shell::BoxButtons buttons) {
    return qt_.messageBox(widgetOf(owner), toQt(text), toQt(title), icon, buttons);
}

std::optional<std::string> QtShellPlatform::fileDialog(shell::View* owner,
                                                       const shell::FileDialogSpec& spec) {
    kelbo::Platform::FileDialogSpec qt;
    qt.save = spec.save;
    qt.title = toQt(spec.title);
    qt.initialDir = toQt(spec.initialDir);
    qt.initialFile = toQt(spec.initialFile);
    QStringList patterns;
    for (const std::string& pattern : spec.filter.patterns)
        patterns << toQt(pattern);
    qt.filter = toQt(spec.filter.name) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                QLatin1Char(')');
    qt.defaultSuffix = toQt(spec.defaultSuffix);
    qt.confirmOverwrite = spec.confirmOverwrite;
    const std::optional<QString> chosen = qt_.fileDialog(widgetOf(owner), qt);
    if (!chosen)
        return std::nullopt;
    return fromQt(*chosen);
}

std::unique_ptr<shell::Printer> QtShellPlatform::choosePrinter(shell::View* owner) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!qt_.printDialog(widgetOf(owner), *printer))
        return nullptr;
    return std::make_unique<QtPrinter>(std::move(printer));
}

void QtShellPlatform::playSound(const std::string& path) {
    qt_.playSound(toQt(path));
}

void QtShellPlatform::setBusy(bool busy) {
    qt_.setBusy(busy);
}

void QtShellPlatform::progress(shell::View* owner, const std::string& title, std::size_t done,
                               std::size_t total) {
    if (!progress_) {
        progress_ = new QProgressDialog(widgetOf(owner));
        progress_->setObjectName("progress");
        progress_->setWindowTitle(toQt(title));
        progress_->setLabelText(toQt(title));
        // The work cannot be stopped half-way: a partial import writes nothing.
        progress_->setCancelButton(nullptr);
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(0);
    }
    // QProgressDialog counts in int; the steps are scaled down to fit.
    const std::size_t scale = total / 1000000 + 1;
    progress_->setMaximum(static_cast<int>(total / scale));
    // A modal progress dialog paints and takes its events inside setValue.
    progress_->setValue(static_cast<int>(done / scale));
}

void QtShellPlatform::progressDone() {
    delete progress_.data();
}

shell::CalendarDate QtShellPlatform::today() {
    const QDate date = QDate::currentDate();
    return {date.year(), date.month(), date.day()};
}

} // namespace kelbo
