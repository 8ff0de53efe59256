#include "platform/QtPlatform.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSoundEffect>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <algorithm>

#include "app/PrintListing.h"
#include "app/QtText.h"

namespace kelbo {

void QtPlatform::beep() {
    QApplication::beep();
}

QWidget* QtPlatform::widgetOf(shell::View* view) {
    // Every Qt view is the window it shows.
    return dynamic_cast<QWidget*>(view);
}

shell::BoxAnswer QtPlatform::messageBox(shell::View* owner, const std::string& text,
                                        const std::string& title, BoxIcon icon,
                                        BoxButtons buttons) {
    return showBox(widgetOf(owner), toQt(text), toQt(title), icon, buttons);
}

shell::BoxAnswer QtPlatform::showBox(QWidget* parent, const QString& text, const QString& title,
                                     BoxIcon icon, BoxButtons buttons) {
    QMessageBox box(
        icon == BoxIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning, title, text,
        buttons == BoxButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel,
        parent);
    box.setDefaultButton(QMessageBox::Ok);
    // A short message makes a narrow box whose frame would cut the title ("ER... 6").
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 160;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

std::optional<std::string> QtPlatform::fileDialog(shell::View* owner,
                                                  const shell::FileDialogSpec& spec) {
    FileDialogSpec qt;
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
    const std::optional<QString> chosen = chooseFile(widgetOf(owner), qt);
    if (!chosen)
        return std::nullopt;
    return fromQt(*chosen);
}

std::optional<QString> QtPlatform::chooseFile(QWidget* parent, const FileDialogSpec& spec) {
    QFileDialog dialog(parent);
    if (!spec.title.isEmpty())
        dialog.setWindowTitle(spec.title);
    dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(spec.filter);
    dialog.setDefaultSuffix(spec.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec.confirmOverwrite);
    if (!spec.initialDir.isEmpty())
        dialog.setDirectory(spec.initialDir);
    if (!spec.initialFile.isEmpty())
        dialog.selectFile(spec.initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::unique_ptr<shell::Printer> QtPlatform::choosePrinter(shell::View* owner) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!printDialog(widgetOf(owner), *printer))
        return nullptr;
    return std::make_unique<QtPrinter>(std::move(printer));
}

bool QtPlatform::printDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::playSound(const std::string& path) {
    playWave(toQt(path));
}

void QtPlatform::playWave(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || QMediaDevices::audioOutputs().isEmpty()) {
        beep();
        return;
    }
    QSoundEffect effect;
    QEventLoop loop;
    bool failed = false;
    bool started = false;
    const auto startOnce = [&] {
        if (!started) {
            started = true;
            effect.play();
        }
    };
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Error) {
            failed = true;
            loop.quit();
        } else if (effect.status() == QSoundEffect::Ready) {
            startOnce();
        }
    });
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (started && !effect.isPlaying())
            loop.quit();
    });
    // The slowest common wave (8 kHz, 8 bits, mono) plays 8000 bytes a second; a sound that is
    // still not done long after that is not going to finish, so the program does not hang on it.
    const qint64 limitMs = 3000 + info.size() / 8;
    QTimer::singleShot(static_cast<int>(std::min<qint64>(limitMs, 600000)), &loop,
                       [&] { loop.quit(); });
    effect.setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (effect.status() == QSoundEffect::Ready)
        startOnce();
    if (effect.status() != QSoundEffect::Error)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    else
        failed = true;
    if (failed)
        beep();
}

void QtPlatform::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::progress(shell::View* owner, const std::string& title, std::size_t done,
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

void QtPlatform::progressDone() {
    delete progress_.data();
}

shell::CalendarDate QtPlatform::today() {
    const QDate date = QDate::currentDate();
    return {date.year(), date.month(), date.day()};
}

} // namespace kelbo
