#pragma once
// Image acquisition devices over SANE (scanners, cameras, the SANE test device). The
// interface is a thin mirror of the SANE calls the program needs, so that every scanner call
// can be replaced in a test; the real one is the SANE library itself (libsane), since it is
// made for exactly this job.
//
// Status numbers are SANE's own (ScanStatus below), so an error shown to the user carries the
// number the SANE documentation lists.
#include "platform/Seam.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace platform {

namespace ScanStatus {
enum : int {
    Good = 0, Unsupported = 1, Cancelled = 2, DeviceBusy = 3, Inval = 4, Eof = 5, Jammed = 6,
    NoDocs = 7, CoverOpen = 8, IoError = 9, NoMem = 10, AccessDenied = 11,
};
}

// One entry of SANE's device list.
struct ScanDevice {
    QString name;   // "test:0", "epson2:libusb:001:004"
    QString vendor;
    QString model;
    QString type;   // "flatbed scanner", "virtual device"
};

// The layout of one frame as the device announces it after start().
struct ScanParameters {
    enum class Frame { Gray, Rgb, Red, Green, Blue, Other };
    Frame frame = Frame::Gray;
    bool lastFrame = true;
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    int lines = 0;         // -1 when the device does not know yet (hand scanners)
    int depth = 8;         // bits per sample: 1, 8 or 16
};

// What a device tells about one of its options.
struct ScanOption {
    enum class Kind { Bool, Int, Fixed, String, Button, Group };
    Kind kind = Kind::Int;
    QString title;
    QStringList strings;     // the allowed values of a string option with a list
    QList<double> values;    // the allowed values of a number option with a list
    bool hasRange = false;   // a number option with a range
    double min = 0, max = 0, step = 0;
    QVariant value;          // the current value (QString, double or bool); empty for arrays
    bool active = true;
    bool settable = true;
};

// An opened device. Closing it is destroying it. start(), parameters(), read() and cancel() may
// run on a worker thread, one call at a time.
class ScanDeviceHandle {
public:
    virtual ~ScanDeviceHandle() = default;
    virtual QString name() const = 0;
    // The option named so (SANE's well-known names: "mode", "resolution", "depth"); nothing
    // when the device has no such option.
    virtual std::optional<ScanOption> option(const QByteArray &name) = 0;
    // Sets an option from a QString, a number or a bool; returns a ScanStatus.
    virtual int setOption(const QByteArray &name, const QVariant &value) = 0;
    virtual int start() = 0;
    virtual int parameters(ScanParameters &out) = 0;
    // Reads up to maxLength bytes of the current frame; Eof at its end.
    virtual int read(unsigned char *buffer, int maxLength, int &length) = 0;
    // Ends the current scan (also after a complete one, as SANE asks).
    virtual void cancel() = 0;
    // From another thread: breaks off a call that waits for a device which no longer
    // answers; the device is of no further use then. Devices that cannot do so ignore it.
    virtual void interrupt() {}
};

class Scanner {
public:
    virtual ~Scanner() = default;
    // A session spans a use of the devices: the first one initialises the SANE library (which
    // reads its configuration afresh), the last one to end releases it. Devices may only be
    // listed and opened inside a session, and must be closed before it ends.
    virtual int beginSession() = 0;
    virtual void endSession() = 0;
    virtual int devices(QList<ScanDevice> &out) = 0;
    virtual int open(const QString &deviceName, std::unique_ptr<ScanDeviceHandle> &out) = 0;
    // The readable text of a status number ("Document feeder jammed").
    virtual QString statusText(int status) const = 0;

    static Scanner &get() { return Seam<Scanner>::get(); }
};

// The real scanner over libsane, in this process: the scanner helper's. The program's default
// is the same in the helper process (ScannerProcess.h); it neither loads SANE nor its
// backends itself.
std::unique_ptr<Scanner> makeSaneScanner();

template <> Seam<Scanner>::Factory &Seam<Scanner>::defaultFactory();

} // namespace platform
