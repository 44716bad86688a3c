#pragma once
// The dialog of the scanner choice: SANE's devices (vendor, model, name) and, for the device
// picked, its scan modes and resolutions. Built from a request; choice() reads what it shows.
#include "platform/scan/ScanSourceChooser.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QLabel;
class QTreeWidget;

namespace platform {

class ScanSourceDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScanSourceDialog(const ScanSourceRequest &request, QWidget *owner = nullptr);

    ScanSourceChoice choice() const;
    QTreeWidget *deviceList() const { return devices_; }
    QComboBox *modeBox() const { return mode_; }
    QComboBox *resolutionBox() const { return resolution_; }

private:
    void showOptionsOf(const QString &deviceName);
    QString currentDevice() const;

    ScanSourceRequest request_;
    QHash<QString, ScanSourceOptions> known_;
    QTreeWidget *devices_;
    QComboBox *mode_;
    QComboBox *resolution_;
    QLabel *modeLabel_;
    QLabel *resolutionLabel_;
};

} // namespace platform
