// One kind's item lines as a list model, read straight from the presenter's project, so a list of
// tens of thousands of lines opens without copying and every row is exactly the model's line.
#pragma once

#include <QAbstractListModel>

#include <string>
#include <vector>

namespace kelbo {

class ProjectListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ProjectListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Shows `lines`, which stay valid until the next call; views drop their rows and re-read.
    void show(const std::vector<std::string>& lines);

private:
    const std::vector<std::string>* lines_ = nullptr;
};

} // namespace kelbo
