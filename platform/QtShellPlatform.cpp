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

shell::BoxAnswer QtShellPlatform::messageBoxUtf8(shell::View* owner, const std::string& utf8Text,
                                                 const std::string& title, shell::BoxIcon icon,
                                                 shell::BoxButtons buttons) {
    return qt_.messageBox(widgetOf(owner), QString::fromStdString(utf8Text), toQt(title), icon,
                          buttons);
}

std::optional<shell::ChosenFile> QtShellPlatform::fileDialog(shell::View* owner,
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
    return shell::ChosenFile{fromQt(*chosen), chosen->toStdString()};
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

shell::CalendarDate QtShellPlatform::today() {
    const QDate date = QDate::currentDate();
    return {date.year(), date.month(), date.day()};
}

} // namespace kelbo
