#pragma once
// Reads one scan from an opened device: every frame up to the last one (three-pass scanners
// send a red, a green and a blue frame), growing the buffer when the device does not know the
// number of lines. run() belongs on a worker thread; requestCancel() and percent() may be
// called from any thread meanwhile. A cancel request is passed to the device by the worker
// itself, between two reads: backends do not all bear being cancelled from one thread while
// another reads (data of the next scan goes astray, their reader threads outlive the device).
#include "platform/scan/ScanFrameAssembler.h"
#include "platform/scan/Scanner.h"

#include <QImage>
#include <QString>

#include <atomic>

namespace platform {

class ScanReader {
public:
    struct Result {
        enum class Kind { Image, Canceled, Failed };
        Kind kind = Kind::Failed;
        QImage image;
        int status = ScanStatus::Good; // the ScanStatus of a failure
        QString reason;                // its readable cause, naming the device
    };

    // maxBytes: the most raw scan data (all frames together) read into memory, and the most
    // the picture made of it may take at four bytes a pixel.
    ScanReader(ScanDeviceHandle &device, Scanner &scanner, qint64 maxBytes);

    void run();
    void requestCancel() { cancel_ = true; }
    // 0..100, or -1 while the size of the scan is unknown.
    int percent() const;
    const Result &result() const { return result_; }

private:
    bool readFrame(ScanFrameData &frame, qint64 held);
    void fail(int status, const QString &what);
    void canceled();

    ScanDeviceHandle &device_;
    Scanner &scanner_;
    const qint64 maxBytes_;
    std::atomic<bool> cancel_{false};
    std::atomic<qint64> done_{0};
    std::atomic<qint64> total_{-1};
    Result result_;
};

} // namespace platform
