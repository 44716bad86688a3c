#include "platform/scan/TwainObject.h"

#include "platform/Rounding.h"
#include "platform/scan/ScanProgressWindow.h"
#include "platform/scan/ScanReader.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace platform {

namespace {

constexpr int kProgressIntervalMs = 100;
// How long a cancelled scan may take to stop before the device is broken off.
constexpr int kCancelGraceMs = 3000;

// A session for one call, when no source is open to lend its own.
class CallSession {
public:
    CallSession() : status_(Scanner::get().beginSession()) {}
    ~CallSession()
    {
        if (status_ == ScanStatus::Good)
            Scanner::get().endSession();
    }
    int status() const { return status_; }

private:
    int status_;
};

} // namespace

TwainObject::TwainObject(QObject *parent) : QObject(parent) {}

TwainObject::~TwainObject() { closeSource(); }

QString TwainObject::openSourceName() const { return device_ ? device_->name() : QString(); }

QString TwainObject::statusReason(int status, const QString &deviceName) const
{
    const QString what = Scanner::get().statusText(status);
    return deviceName.isEmpty() ? what : QStringLiteral("%1 (device %2)").arg(what, deviceName);
}

void TwainObject::error(int status, const QString &reason)
{
    emit TwainError(status, texts_.errorTitle, reason);
}

bool TwainObject::twainAvailable() const
{
    if (scanning_)
        return true; // a device is in use; SANE is not asked for its list meanwhile
    CallSession session;
    if (session.status() != ScanStatus::Good)
        return false;
    QList<ScanDevice> list;
    return Scanner::get().devices(list) == ScanStatus::Good && !list.isEmpty();
}

ScanSourceOptions TwainObject::optionsOf(const QString &deviceName)
{
    std::unique_ptr<ScanDeviceHandle> opened;
    ScanDeviceHandle *device = device_.get();
    if (!device || device->name() != deviceName) {
        if (scanning_ || Scanner::get().open(deviceName, opened) != ScanStatus::Good)
            return {};
        device = opened.get();
    }
    ScanSourceOptions o;
    if (const auto mode = device->option("mode");
        mode && mode->active && mode->kind == ScanOption::Kind::String && !mode->strings.isEmpty()) {
        o.modes = mode->strings;
        o.mode = mode->value.toString();
    }
    if (const auto res = device->option("resolution");
        res && res->active && (res->kind == ScanOption::Kind::Int || res->kind == ScanOption::Kind::Fixed)) {
        o.resolution = res->value.toDouble();
        o.resolutions = res->hasRange ? resolutionsInRange(res->min, res->max, o.resolution) : res->values;
    }
    return o;
}

void TwainObject::applyChoice()
{
    if (!device_)
        return;
    // Mode first: it may change which resolutions the device offers. A value the device refuses
    // leaves its own setting, as an unknown option does.
    if (!choice_.mode.isEmpty())
        device_->setOption("mode", choice_.mode);
    if (choice_.resolution > 0)
        device_->setOption("resolution", choice_.resolution);
}

void TwainObject::selectSource(QWidget *owner)
{
    if (scanning_)
        return;
    CallSession session;
    if (session.status() != ScanStatus::Good) {
        error(session.status(), statusReason(session.status(), QString()));
        return;
    }
    ScanSourceRequest request;
    request.texts = texts_.source;
    Scanner::get().devices(request.devices);
    request.current = choice_;
    request.optionsOf = [this](const QString &name) { return optionsOf(name); };
    const std::optional<ScanSourceChoice> picked = ScanSourceChooser::get().choose(owner, request);
    if (!picked)
        return;
    const bool otherDevice = device_ && picked->deviceName != device_->name();
    choice_ = *picked;
    if (otherDevice) {
        closeSource();
        openSource(owner);
    } else {
        applyChoice();
    }
}

bool TwainObject::openSource(QWidget *)
{
    if (scanning_)
        return false;
    if (device_) {
        if (choice_.deviceName.isEmpty() || choice_.deviceName == device_->name())
            return true;
        closeSource();
    }
    Scanner &scanner = Scanner::get();
    const int st = scanner.beginSession();
    if (st != ScanStatus::Good) {
        error(st, statusReason(st, QString()));
        return false;
    }
    session_ = true;
    QList<ScanDevice> list;
    scanner.devices(list);
    QString name = choice_.deviceName;
    if (name.isEmpty()) {
        if (list.isEmpty()) {
            closeSource();
            return false;
        }
        name = list.constFirst().name;
    }
    const int ost = scanner.open(name, device_);
    if (ost != ScanStatus::Good) {
        device_.reset();
        closeSource();
        error(ost, statusReason(ost, name));
        return false;
    }
    applyChoice();
    return true;
}

void TwainObject::cancelScan()
{
    if (reader_)
        reader_->requestCancel();
    if (cancelGrace_ && !cancelGrace_->isActive())
        cancelGrace_->start();
}

void TwainObject::closeSource()
{
    if (scanning_) {
        // Called from an event handled during acquire(): the scan stops, then the source closes.
        closeAfterScan_ = true;
        cancelScan();
        return;
    }
    device_.reset();
    if (session_) {
        session_ = false;
        Scanner::get().endSession();
    }
}

void TwainObject::acquire(int showUi, QWidget *owner)
{
    if (scanning_)
        return;
    if (!device_) {
        error(ScanStatus::Inval, QStringLiteral("No scanner is open."));
        emit CanCloseTwain();
        return;
    }
    if (showUi) {
        ScanSourceRequest request;
        request.texts = texts_.source;
        Scanner::get().devices(request.devices);
        request.current = choice_;
        request.current.deviceName = device_->name();
        request.settingsOnly = true;
        request.optionsOf = [this](const QString &name) { return optionsOf(name); };
        const std::optional<ScanSourceChoice> picked = ScanSourceChooser::get().choose(owner, request);
        if (!picked) {
            emit AcquireCanceled();
            emit CanCloseTwain();
            return;
        }
        choice_.mode = picked->mode;
        choice_.resolution = picked->resolution;
        applyChoice();
    }

    scanning_ = true;
    ScanReader reader(*device_, Scanner::get(), maxScanBytes_);
    reader_ = &reader;
    {
        ScanProgressWindow window(owner, texts_.progressTitle, texts_.progressLabel, texts_.cancel);
        // A cancel reaches the device between two reads; a device that does not send the
        // next piece within the grace time is broken off.
        QTimer grace;
        grace.setSingleShot(true);
        grace.setInterval(kCancelGraceMs);
        connect(&grace, &QTimer::timeout, this, [this] {
            if (device_)
                device_->interrupt();
        });
        cancelGrace_ = &grace;
        connect(&window, &ScanProgressWindow::canceled, this, [this] { cancelScan(); });
        QEventLoop loop;
        std::unique_ptr<QThread> worker(QThread::create([&reader] { reader.run(); }));
        connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        QTimer poll;
        poll.setInterval(kProgressIntervalMs);
        connect(&poll, &QTimer::timeout, &window, [&] { window.setPercent(reader.percent()); });
        worker->start();
        poll.start();
        window.show();
        loop.exec();
        worker->wait();
        window.hide();
        cancelGrace_ = nullptr;
    }
    reader_ = nullptr;
    scanning_ = false;

    ScanReader::Result result = reader.result();
    if (result.kind == ScanReader::Result::Kind::Image) {
        if (const auto res = device_->option("resolution"); res && res->value.isValid()) {
            const int dpm = roundToInt(res->value.toDouble() / 0.0254);
            if (dpm > 0) {
                result.image.setDotsPerMeterX(dpm);
                result.image.setDotsPerMeterY(dpm);
            }
        }
    }
    if (closeAfterScan_) {
        closeAfterScan_ = false;
        closeSource();
    }
    switch (result.kind) {
    case ScanReader::Result::Kind::Image: emit ImageAcquired(result.image); break;
    case ScanReader::Result::Kind::Canceled: emit AcquireCanceled(); break;
    case ScanReader::Result::Kind::Failed: error(result.status, result.reason); break;
    }
    emit CanCloseTwain();
}

} // namespace platform
