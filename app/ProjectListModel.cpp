#include "app/ProjectListModel.h"

#include "app/QtText.h"

namespace kelbo {

ProjectListModel::ProjectListModel(QObject* parent) : QAbstractListModel(parent) {}

int ProjectListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !lines_ ? 0 : static_cast<int>(lines_->size());
}

QVariant ProjectListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return toQt((*lines_)[static_cast<std::size_t>(index.row())]);
    return {};
}

void ProjectListModel::show(const std::vector<std::string>& lines) {
    beginResetModel();
    lines_ = &lines;
    endResetModel();
}

} // namespace kelbo
