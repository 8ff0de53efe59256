#include "dialogs/DriveList.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace kelbo {

namespace {

QString comparable(const QString& path) {
    QString form = QDir::fromNativeSeparators(path);
    if (!form.endsWith(QLatin1Char('/')))
        form += QLatin1Char('/');
#ifdef Q_OS_WIN
    return form.toLower();
#else
    return form;
#endif
}

QString labelFor(const QString& root) {
#ifdef Q_OS_WIN
    const QString name = QStorageInfo(root).name();
    const QString drive = root.left(2).toLower();
    return name.isEmpty() ? drive : drive + QStringLiteral(" [") + name + QLatin1Char(']');
#else
    return root;
#endif
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    for (const QString& root : availableRoots())
        addItem(labelFor(root), root);
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit driveChosen(itemData(index).toString()); });
}

QStringList DriveList::availableRoots() {
    QStringList roots;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives())
        roots << QDir::toNativeSeparators(drive.absolutePath());
#else
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        // Bind mounts of single files show up as volumes too; only folders are drives.
        if (volume.isValid() && QFileInfo(root).isDir() && !roots.contains(root))
            roots << root;
    }
    roots.removeAll(QStringLiteral("/"));
    std::sort(roots.begin(), roots.end());
    roots.prepend(QStringLiteral("/"));
#endif
    return roots;
}

QString DriveList::drive() const {
    return currentData().toString();
}

QString DriveList::driveOf(const QString& path) const {
    const QString target = comparable(path);
    QString best;
    int bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const QString form = comparable(root);
        if (target.startsWith(form) && form.size() > bestLength) {
            best = root;
            bestLength = static_cast<int>(form.size());
        }
    }
    if (bestLength >= 0)
        return best;
#ifdef Q_OS_WIN
    // A drive that appeared after the list was filled.
    const QString native = QDir::toNativeSeparators(path);
    return native.size() >= 2 && native.at(1) == QLatin1Char(':') ? native.left(2) + "\\"
                                                                  : QString();
#else
    return QStringLiteral("/");
#endif
}

void DriveList::selectDrive(const QString& root) {
    if (root.isEmpty())
        return;
    int index = -1;
    for (int i = 0; i < count() && index < 0; ++i)
        if (comparable(itemData(i).toString()) == comparable(root))
            index = i;
    if (index < 0) {
        addItem(labelFor(root), root);
        index = count() - 1;
    }
    const bool blocked = blockSignals(true);
    setCurrentIndex(index);
    blockSignals(blocked);
}

} // namespace kelbo
