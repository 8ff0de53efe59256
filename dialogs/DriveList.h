// The drive list of the file item dialog: the drives on Windows, the mounted file systems
// elsewhere ("/" first).
#pragma once

#include <QComboBox>
#include <QStringList>

namespace kelbo {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Root folders in native form ("C:\", "/", "/mnt/usb"), in display order.
    static QStringList availableRoots();

    // The root of the selected drive.
    QString drive() const;
    // The drive that holds `path`: the longest listed root it lies under.
    QString driveOf(const QString& path) const;
    // Selects the drive without reporting a change; a root not yet listed is added.
    void selectDrive(const QString& root);

signals:
    // The user chose a drive.
    void driveChosen(const QString& root);
};

} // namespace kelbo
