#pragma once
// The program's scanner acquisition object, over SANE (through the Scanner seam):
//
//   selectSource(owner)   the user picks a device (and its mode and resolution) through the
//                         ScanSourceChooser seam; the choice is kept for later opens
//   openSource(owner)     starts a SANE session and opens the chosen device, else the first one
//   acquire(showUi, ...)  scans one picture; with showUi the device's settings are offered
//                         first (the chooser again, for the open device only)
//   closeSource()         closes the device and ends the session
//
// acquire() returns when the scan is over. Its events arrive on the GUI thread before it
// returns: ImageAcquired, AcquireCanceled or TwainError, then always CanCloseTwain. While the
// device is read on a worker thread a progress window with a Cancel button is shown (not run:
// acquire keeps a local event loop going until the scan ends by itself or is canceled).
//
// Each open source is one SANE session (sane_init ... sane_exit), so a changed SANE
// configuration applies from the next open. A TwainObject must not be deleted from a handler of
// its own events while acquire() is running.
#include "platform/scan/ScanSourceChooser.h"
#include "platform/scan/Scanner.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

class QTimer;
class QWidget;

namespace platform {

class ScanReader;

// The texts TwainObject shows; English unless the program sets its own.
struct TwainTexts {
    QString errorTitle = QStringLiteral("Scanner error");
    QString progressTitle = QStringLiteral("Scanning");
    QString progressLabel = QStringLiteral("Reading the picture from the scanner...");
    QString cancel = QStringLiteral("Cancel");
    ScanSourceTexts source;
};

class TwainObject : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kDefaultMaxScanBytes = 1024LL * 1024 * 1024;

    explicit TwainObject(QObject *parent = nullptr);
    ~TwainObject() override;

    // True when SANE finds at least one device.
    bool twainAvailable() const;
    void selectSource(QWidget *owner);
    // False when no device can be opened; a device that is there but fails to open also
    // raises TwainError with SANE's reason.
    bool openSource(QWidget *owner);
    void acquire(int showUi, QWidget *owner);
    void closeSource();

    bool isSourceOpen() const { return device_ != nullptr; }
    QString openSourceName() const;
    const ScanSourceChoice &sourceChoice() const { return choice_; }
    void setSourceChoice(const ScanSourceChoice &choice) { choice_ = choice; }
    // The most memory a scan may take: the raw data of all its frames together, and the
    // picture made of it at four bytes a pixel.
    qint64 maxScanBytes() const { return maxScanBytes_; }
    void setMaxScanBytes(qint64 bytes) { maxScanBytes_ = bytes; }
    const TwainTexts &texts() const { return texts_; }
    void setTexts(const TwainTexts &texts) { texts_ = texts; }

signals:
    void ImageAcquired(const QImage &image);
    void AcquireCanceled();
    void TwainError(int number, const QString &text1, const QString &text2);
    void CanCloseTwain();

private:
    ScanSourceOptions optionsOf(const QString &deviceName);
    void applyChoice();
    void error(int status, const QString &reason);
    void cancelScan();
    QString statusReason(int status, const QString &deviceName) const;

    ScanSourceChoice choice_;
    std::unique_ptr<ScanDeviceHandle> device_;
    bool session_ = false;   // a session of the open source
    bool scanning_ = false;
    bool closeAfterScan_ = false;
    ScanReader *reader_ = nullptr; // the scan being read, for closeSource during acquire
    QTimer *cancelGrace_ = nullptr; // runs from a cancel until the scan has stopped
    qint64 maxScanBytes_ = kDefaultMaxScanBytes;
    TwainTexts texts_;
};

} // namespace platform
