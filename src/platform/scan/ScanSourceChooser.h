#pragma once
// The choice of the scanner to use (and, where the device has them, its scan mode and
// resolution). A seam: the program shows a dialog, tests answer with a scripted choice.
#include "platform/Seam.h"
#include "platform/scan/Scanner.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

struct ScanSourceChoice {
    QString deviceName;      // "" = the first device found
    QString mode;            // "" = the device's own setting
    double resolution = 0;   // dots per inch; 0 = the device's own setting

    bool operator==(const ScanSourceChoice &) const = default;
};

// What a device offers of the settings the chooser shows; empty lists when it has no such
// option (or it cannot be opened just now).
struct ScanSourceOptions {
    QStringList modes;
    QString mode;                // current
    QList<double> resolutions;   // the values offered
    double resolution = 0;       // current
};

// The captions of the source choice; English unless the program sets its own.
struct ScanSourceTexts {
    QString title = QStringLiteral("Select Source");
    QString vendor = QStringLiteral("Vendor");
    QString model = QStringLiteral("Model");
    QString device = QStringLiteral("Device");
    QString noSource = QStringLiteral("No scanner was found.");
    QString mode = QStringLiteral("Scan mode:");
    QString resolution = QStringLiteral("Resolution:");
};

struct ScanSourceRequest {
    QList<ScanDevice> devices;
    ScanSourceTexts texts;
    ScanSourceChoice current;
    // Only the settings of current.deviceName: the device is already in use.
    bool settingsOnly = false;
    // The settings of a device, asked for when the chooser shows them.
    std::function<ScanSourceOptions(const QString &deviceName)> optionsOf;
};

class ScanSourceChooser {
public:
    virtual ~ScanSourceChooser() = default;
    // Nothing when the user cancelled.
    virtual std::optional<ScanSourceChoice> choose(QWidget *owner, const ScanSourceRequest &request) = 0;

    static ScanSourceChooser &get() { return Seam<ScanSourceChooser>::get(); }
};

// The values a resolution range offers: the usual steps from 50 to 4800 dpi that lie inside it,
// its ends, and the current value.
QList<double> resolutionsInRange(double min, double max, double current);

// The real chooser: ScanSourceDialog, run modally.
std::unique_ptr<ScanSourceChooser> makeQtScanSourceChooser();

template <> Seam<ScanSourceChooser>::Factory &Seam<ScanSourceChooser>::defaultFactory();

} // namespace platform
