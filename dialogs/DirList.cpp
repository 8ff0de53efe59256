#include "dialogs/DirList.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace kelbo {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;

// Indents each entry by its depth so the list reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(index);
        return size;
    }

private:
    static int indent(const QModelIndex& index) { return index.data(kLevelRole).toInt() * 8; }
};

} // namespace

DirList::DirList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirList::open);
}

QString DirList::rootOf(const QString& cleanPath) {
    if (cleanPath.size() >= 2 && cleanPath.at(0).isLetter() && cleanPath.at(1) == QLatin1Char(':'))
        return cleanPath.left(2) + QLatin1Char('/');
    if (cleanPath.startsWith(QLatin1String("//"))) {
        const qsizetype serverEnd = cleanPath.indexOf(QLatin1Char('/'), 2);
        const qsizetype shareEnd =
            serverEnd < 0 ? -1 : cleanPath.indexOf(QLatin1Char('/'), serverEnd + 1);
        return shareEnd < 0 ? cleanPath + QLatin1Char('/') : cleanPath.left(shareEnd + 1);
    }
    return QStringLiteral("/");
}

bool DirList::setPath(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QDir(QDir::fromNativeSeparators(folder)).absolutePath());
    const QFileInfo info(clean);
    if (!info.exists() || !info.isDir())
        return false;
    rebuild(clean);
    const QString native = QDir::toNativeSeparators(clean);
    if (native != path_) {
        path_ = native;
        emit pathChanged(path_);
    }
    return true;
}

void DirList::rebuild(const QString& cleanPath) {
    clear();
    const QString root = rootOf(cleanPath);
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    auto addEntry = [&](const QString& text, const QString& fullPath, int level, bool opened) {
        auto* item = new QListWidgetItem(opened ? openIcon : closedIcon, text, this);
        item->setData(kPathRole, fullPath);
        item->setData(kLevelRole, level);
        return item;
    };

    QListWidgetItem* current = addEntry(QDir::toNativeSeparators(root), root, 0, true);
    QString walked = root;
    int level = 0;
    const QStringList parts = cleanPath.mid(root.size()).split('/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        walked = walked.endsWith('/') ? walked + part : walked + '/' + part;
        current = addEntry(part, walked, ++level, true);
    }
    const QDir dir(cleanPath);
    const QStringList subfolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        addEntry(name, dir.filePath(name), level + 1, false);

    setCurrentItem(current);
    scrollToItem(current);
}

void DirList::open(QListWidgetItem* item) {
    if (item)
        setPath(item->data(kPathRole).toString());
}

void DirList::keyPressEvent(QKeyEvent* event) {
    // Enter opens the highlighted folder here instead of pressing the dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace kelbo
