// One kind's item lines as a list model, read straight from the project, so a list of tens of
// thousands of lines opens without copying and every row is exactly the model's line.
#pragma once

#include <QAbstractListModel>

#include "project/Project.h"

namespace kelbo {

class ProjectListModel : public QAbstractListModel {
    Q_OBJECT
public:
    ProjectListModel(const Project& project, ResourceKind kind, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    ResourceKind kind() const { return kind_; }
    // The project's lines changed behind the model's back: views drop their rows and re-read.
    void reload();

private:
    const Project& project_;
    ResourceKind kind_;
};

} // namespace kelbo
