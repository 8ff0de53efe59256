#include "platform/QtPlatform.h"

#include <QApplication>
#include <QAudioDevice>
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
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace kelbo {

void QtPlatform::beep() {
    QApplication::beep();
}

Platform::BoxAnswer QtPlatform::messageBox(QWidget* parent, const QString& text,
                                           const QString& title, BoxIcon icon, BoxButtons buttons) {
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

std::optional<QString> QtPlatform::fileDialog(QWidget* parent, const FileDialogSpec& spec) {
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

bool QtPlatform::printDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::playSound(const QString& path) {
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

} // namespace kelbo
