#include "platform/scan/ScanReader.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <new>

namespace platform {

namespace {

constexpr qint64 kMinGrowth = 1024 * 1024;
constexpr int kMaxRead = 1024 * 1024;

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

bool isBand(ScanParameters::Frame f)
{
    return f == ScanParameters::Frame::Red || f == ScanParameters::Frame::Green
           || f == ScanParameters::Frame::Blue;
}

} // namespace

ScanReader::ScanReader(ScanDeviceHandle &device, Scanner &scanner, qint64 maxBytes)
    : device_(device), scanner_(scanner), maxBytes_(maxBytes)
{
}

int ScanReader::percent() const
{
    const qint64 total = total_;
    if (total <= 0)
        return -1;
    const qint64 done = done_;
    return int(std::clamp<qint64>(done * 100 / total, 0, 100));
}

void ScanReader::fail(int status, const QString &what)
{
    device_.cancel();
    result_ = Result{};
    result_.kind = Result::Kind::Failed;
    result_.status = status;
    result_.reason = QStringLiteral("%1 (device %2)").arg(what, device_.name());
}

void ScanReader::canceled()
{
    device_.cancel();
    result_ = Result{};
    result_.kind = Result::Kind::Canceled;
}

void ScanReader::run()
{
    // Backends start their reader threads from here, and those inherit this thread's signal
    // mask: a reader still writing into the pipe of a scan given up then gets an error, and
    // its broken-pipe signal never reaches the program, whatever backends do to the
    // signal's disposition meanwhile.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    std::vector<ScanFrameData> frames;
    qint64 held = 0;
    for (;;) {
        if (cancel_)
            return canceled();
        const int st = device_.start();
        if (st != ScanStatus::Good) {
            if (cancel_ || st == ScanStatus::Cancelled)
                return canceled();
            return fail(st, scanner_.statusText(st));
        }
        ScanFrameData frame;
        const int pst = device_.parameters(frame.parameters);
        if (pst != ScanStatus::Good)
            return fail(pst, scanner_.statusText(pst));
        const ScanParameters &p = frame.parameters;
        const qint64 need = ScanFrameAssembler::minimumBytesPerLine(p);
        if (need == 0 || p.bytesPerLine < need)
            return fail(ScanStatus::Unsupported,
                        QStringLiteral("The scanner sends a picture format this program cannot "
                                       "read (depth %1, %2 pixels in %3 bytes a line)")
                            .arg(p.depth).arg(p.pixelsPerLine).arg(p.bytesPerLine));
        if (p.lines >= 0) {
            const qint64 expected = qint64(p.bytesPerLine) * p.lines;
            // The picture made of it has four bytes a pixel, whatever the scanner sends.
            const qint64 picture = qint64(p.pixelsPerLine) * p.lines * 4;
            if (held + expected > maxBytes_ || picture > maxBytes_)
                return fail(ScanStatus::NoMem,
                            QStringLiteral("The scan is too large: %1 x %2 pixels need %3 MB, more "
                                           "than the %4 MB this program reads at once. Choose a "
                                           "lower resolution or a smaller area")
                                .arg(p.pixelsPerLine).arg(p.lines)
                                .arg(megabytes(qMax(held + expected, picture)), megabytes(maxBytes_)));
            // Progress over every frame of the scan: three for a scanner sending bands.
            total_ = isBand(p.frame) ? expected * 3 : held + expected;
        } else {
            total_ = -1;
        }
        if (!readFrame(frame, held))
            return;
        held += qint64(frame.bytes.size());
        const bool last = frame.parameters.lastFrame;
        frames.push_back(std::move(frame));
        if (last)
            break;
    }
    device_.cancel(); // the scan is over; SANE wants to hear so before the next start
    QString error;
    QImage image = ScanFrameAssembler::assemble(frames, error);
    if (image.isNull()) {
        const bool memory = error.startsWith(QLatin1String("There is not enough memory"));
        return fail(memory ? ScanStatus::NoMem : ScanStatus::IoError,
                    error.endsWith(u'.') ? error.chopped(1) : error);
    }
    result_ = Result{};
    result_.kind = Result::Kind::Image;
    result_.image = std::move(image);
}

bool ScanReader::readFrame(ScanFrameData &frame, qint64 held)
{
    const ScanParameters &p = frame.parameters;
    // The raw data of the frame, and the lines whose picture still fits (four bytes a pixel).
    const qint64 pictureLines = maxBytes_ / (qint64(qMax(1, p.pixelsPerLine)) * 4);
    const qint64 limit = qMin(maxBytes_ - held, pictureLines * p.bytesPerLine);
    qint64 used = 0;
    const auto tooLarge = [&] {
        fail(ScanStatus::NoMem,
             QStringLiteral("The scan is too large: it grew beyond the %1 MB this program reads "
                            "at once. Choose a lower resolution or a smaller area")
                 .arg(megabytes(maxBytes_)));
        return false;
    };
    const auto grow = [&](qint64 size) {
        try {
            frame.bytes.resize(size_t(size));
            return true;
        } catch (const std::bad_alloc &) {
            fail(ScanStatus::NoMem,
                 QStringLiteral("There is not enough memory for a scan of %1 MB")
                     .arg(megabytes(held + size)));
            return false;
        } catch (const std::length_error &) {
            return tooLarge();
        }
    };
    if (!grow(p.lines >= 0 ? qint64(p.bytesPerLine) * p.lines : qMin(kMinGrowth, limit)))
        return false;
    for (;;) {
        if (cancel_) {
            canceled();
            return false;
        }
        // With the buffer full (all the device announced has come, or it does not know its
        // length) a small read tells whether more follows, so the end of the data never makes
        // the buffer grow.
        unsigned char probe[4096];
        const bool full = used == qint64(frame.bytes.size());
        const int room = full ? int(sizeof probe) : int(qMin<qint64>(qint64(frame.bytes.size()) - used, kMaxRead));
        int length = 0;
        const int st = device_.read(full ? probe : frame.bytes.data() + used, room, length);
        length = qBound(0, length, room);
        if (length > 0 && st != ScanStatus::Cancelled) {
            if (full) {
                if (used + length > limit)
                    return tooLarge();
                if (!grow(qMin(limit, qMax(used * 2, used + kMinGrowth))))
                    return false;
                std::memcpy(frame.bytes.data() + used, probe, size_t(length));
            }
            used += length;
        }
        done_ = held + used;
        // A device given up may end its data early: that is no picture.
        if (st == ScanStatus::Eof && !cancel_)
            break;
        if (st == ScanStatus::Good && !cancel_)
            continue;
        if (st == ScanStatus::Cancelled || cancel_) {
            canceled();
            return false;
        }
        fail(st, scanner_.statusText(st));
        return false;
    }
    frame.bytes.resize(size_t(used - used % p.bytesPerLine));
    return true;
}

} // namespace platform
