// The directory list of the file item dialog: the folders of the current path from the root
// down, then the subfolders of the current folder. Opening an entry (double click or Enter)
// makes it the current folder.
#pragma once

#include <QListWidget>
#include <QString>

namespace kelbo {

class DirList : public QListWidget {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    // The current folder, absolute, in native form.
    QString path() const { return path_; }
    // Moves to `folder`; false (and nothing changes) when it is not an existing folder.
    bool setPath(const QString& folder);

    // Root of an absolute path in '/' form: "/", "C:/", "//server/share/".
    static QString rootOf(const QString& cleanPath);

signals:
    void pathChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(QListWidgetItem* item);
    void rebuild(const QString& cleanPath);

    QString path_;
};

} // namespace kelbo
