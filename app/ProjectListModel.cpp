#include "app/ProjectListModel.h"

#include "app/QtText.h"

namespace kelbo {

ProjectListModel::ProjectListModel(const Project& project, ResourceKind kind, QObject* parent)
    : QAbstractListModel(parent), project_(project), kind_(kind) {}

int ProjectListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : project_.count(kind_);
}

QVariant ProjectListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= project_.count(kind_))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return toQt(project_.line(kind_, index.row()));
    return {};
}

void ProjectListModel::reload() {
    beginResetModel();
    endResetModel();
}

} // namespace kelbo
