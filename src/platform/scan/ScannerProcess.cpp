#include "platform/scan/ScannerProcess.h"

#include "platform/process/HelperChannel.h"
#include "platform/scan/ScannerProtocol.h"
#include "platform/ui/WaitWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLibrary>
#include <QScopedValueRollback>
#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <csignal>
#include <cstring>
#include <map>
#include <mutex>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

using namespace scanproto;

// A stream over a message, in the protocol's format.
#define PROTOCOL_STREAM(name, bytes, mode) \
    QDataStream name(&(bytes), QIODevice::mode); \
    prepare(name)

using helper::Pump;
using helper::sendMessage;

// On the GUI thread a call keeps the windows painted; after the patience time it shows a
// wait window whose Cancel gives the call up.
WaitTexts &scannerWaitTexts()
{
    static WaitTexts texts{QStringLiteral("Scanner"), QStringLiteral("Waiting for the scanner..."),
                           QStringLiteral("Cancel")};
    return texts;
}

class GuiWait {
public:
    explicit GuiWait(int patienceMs) : patienceMs_(patienceMs) { clock_.start(); }
    bool operator()()
    {
        if (!window_ && clock_.elapsed() >= patienceMs_) {
            window_ = WaitWindows::get().show(nullptr, scannerWaitTexts(), [this] { cancelled_ = true; });
        }
        // Until the window is there, no click reaches the program; then only the window
        // takes input, being modal.
        pump_();
        return !cancelled_;
    }
    bool cancelled() const { return cancelled_; }

private:
    const int patienceMs_;
    QElapsedTimer clock_;
    std::unique_ptr<WaitWindow> window_;
    bool cancelled_ = false;
    const Pump pump_ = helper::guiPump([this] { return window_ != nullptr; });
};

// A timeout below 0 waits for ever; pump, when given, runs between slices of the wait.
bool receiveMessage(int fd, QByteArray &message, int timeoutMs, const Pump &pump = {})
{
    return helper::receiveMessage(fd, message, timeoutMs, kMaxMessage, pump);
}

// How a call ended.
enum class Call { Answered, Failed, Cancelled };

// One helper process and the socket to it. Calls come one at a time; kill() may come from
// any thread, also while a call waits.
class Helper {
public:
    static std::shared_ptr<Helper> start(const QString &path, const ScannerHelperTimes &times)
    {
        const helper::Started started = helper::start(path);
        if (started.pid < 0)
            return nullptr;
        return std::shared_ptr<Helper>(new Helper(started.pid, started.socket, times));
    }

    ~Helper()
    {
        {
            std::lock_guard lock(callMutex_);
            if (!dead_) {
                QByteArray quit;
                PROTOCOL_STREAM(s, quit, WriteOnly);
                s << quint8(Op::Quit);
                sendMessage(fd_, quit);
            }
        }
        close(fd_);
        // The helper ends its SANE session and goes; one that hangs on the way is ended, and
        // whatever a backend started with it. The windows are painted meanwhile.
        helper::end(pid_, times_.quitMs, helper::guiPump());
    }

    const ScannerHelperTimes &times() const { return times_; }

    // Sends a request and waits for its answer. A helper that is gone, hung or given up by
    // the user is ended. On the GUI thread the wait keeps the windows painted and offers a
    // Cancel; a call made from an event handled meanwhile fails at once.
    Call call(const QByteArray &request, QByteArray &answer, int timeoutMs)
    {
        const bool gui = helper::onGuiThread();
        if (gui && guiCalling_)
            return Call::Failed;
        const QScopedValueRollback<bool> calling(guiCalling_, guiCalling_ || gui);
        std::lock_guard lock(callMutex_);
        if (dead_)
            return Call::Failed;
        std::optional<GuiWait> wait;
        Pump pump;
        if (gui) {
            wait.emplace(times_.patienceMs);
            pump = [&wait] { return (*wait)(); };
        }
        if (!sendMessage(fd_, request) || !receiveMessage(fd_, answer, timeoutMs, pump)) {
            kill();
            return wait && wait->cancelled() ? Call::Cancelled : Call::Failed;
        }
        return Call::Answered;
    }

    void kill()
    {
        if (!dead_.exchange(true)) {
            helper::kill(pid_);
            shutdown(fd_, SHUT_RDWR);
        }
    }

private:
    Helper(pid_t pid, int fd, const ScannerHelperTimes &times) : pid_(pid), fd_(fd), times_(times) {}

    const pid_t pid_;
    const int fd_;
    const ScannerHelperTimes times_;
    std::mutex callMutex_;
    std::atomic<bool> dead_{false};
    bool guiCalling_ = false; // touched on the GUI thread only
};

template <class... Args>
QByteArray request(Op op, const Args &...args)
{
    QByteArray bytes;
    PROTOCOL_STREAM(s, bytes, WriteOnly);
    s << quint8(op);
    ((s << args), ...);
    return bytes;
}

// Calls the helper and reads the answer with read; the status of a call that failed,
// was given up, or had an answer that breaks the protocol (which ends the helper).
template <class Read>
int exchange(Helper &helper, const QByteArray &req, int timeoutMs, Read &&read)
{
    QByteArray answer;
    switch (helper.call(req, answer, timeoutMs)) {
    case Call::Cancelled: return ScanStatus::Cancelled;
    case Call::Failed: return ScanStatus::IoError;
    case Call::Answered: break;
    }
    int status = ScanStatus::IoError;
    if (!read(answer, status)) {
        helper.kill();
        return ScanStatus::IoError;
    }
    return status;
}

class ProcessDeviceHandle final : public ScanDeviceHandle {
public:
    ProcessDeviceHandle(std::shared_ptr<Helper> helper, qint32 id, QString name)
        : helper_(std::move(helper)), id_(id), name_(std::move(name))
    {
    }
    ~ProcessDeviceHandle() override { statusOf(request(Op::Close, id_), helper_->times().callMs); }

    QString name() const override { return name_; }

    std::optional<ScanOption> option(const QByteArray &name) override
    {
        std::optional<ScanOption> o;
        exchange(*helper_, request(Op::Option, id_, name), helper_->times().callMs,
                 [&](const QByteArray &answer, int &) { return readOption(answer, o); });
        return o;
    }

    int setOption(const QByteArray &name, const QVariant &value) override
    {
        QByteArray req = request(Op::SetOption, id_, name);
        {
            QDataStream s(&req, QIODevice::Append);
            prepare(s);
            writeValue(s, value);
        }
        return statusOf(req, helper_->times().callMs);
    }

    int start() override
    {
        // Starting may wait for the device to warm up or for paper.
        return statusOf(request(Op::Start, id_), -1);
    }

    int parameters(ScanParameters &out) override
    {
        return exchange(*helper_, request(Op::Parameters, id_), helper_->times().callMs,
                        [&](const QByteArray &answer, int &st) { return readParameters(answer, st, out); });
    }

    int read(unsigned char *buffer, int maxLength, int &length) override
    {
        length = 0;
        const int max = std::clamp(maxLength, 0, kMaxReadBytes);
        QByteArray data;
        // A read waits as long as the device takes; a cancel that it does not answer ends the
        // helper (interrupt()).
        const int st = exchange(*helper_, request(Op::Read, id_, qint32(max)), -1,
                                [&](const QByteArray &answer, int &s) { return readData(answer, max, s, data); });
        std::memcpy(buffer, data.constData(), size_t(data.size()));
        length = int(data.size());
        return st;
    }

    void cancel() override { statusOf(request(Op::Cancel, id_), helper_->times().callMs); }

    void interrupt() override { helper_->kill(); }

private:
    int statusOf(const QByteArray &req, int timeoutMs)
    {
        return exchange(*helper_, req, timeoutMs, [](const QByteArray &answer, int &st) { return readStatus(answer, st); });
    }

    std::shared_ptr<Helper> helper_;
    const qint32 id_;
    const QString name_;
};

class ProcessScanner final : public Scanner {
public:
    ProcessScanner(QString path, const ScannerHelperTimes &times) : path_(std::move(path)), times_(times) {}

    int beginSession() override
    {
        std::lock_guard lock(mutex_);
        if (sessions_ == 0) {
            helper_ = Helper::start(path_, times_);
            if (!helper_)
                return ScanStatus::IoError;
            const int st = exchange(*helper_, request(Op::BeginSession), times_.callMs,
                                    [](const QByteArray &answer, int &s) { return readStatus(answer, s); });
            if (st != ScanStatus::Good) {
                helper_->kill();
                helper_.reset();
                return st;
            }
        }
        ++sessions_;
        return ScanStatus::Good;
    }

    void endSession() override
    {
        std::lock_guard lock(mutex_);
        if (sessions_ == 0 || --sessions_ > 0)
            return;
        exchange(*helper_, request(Op::EndSession), times_.quitMs,
                 [](const QByteArray &answer, int &s) { return readStatus(answer, s); });
        helper_.reset(); // ends the process; a device handle still held keeps it until it goes
    }

    int devices(QList<ScanDevice> &out) override
    {
        out.clear();
        const auto helper = current();
        if (!helper)
            return ScanStatus::IoError;
        return exchange(*helper, request(Op::Devices), times_.callMs,
                        [&](const QByteArray &answer, int &st) { return readDevices(answer, st, out); });
    }

    int open(const QString &deviceName, std::unique_ptr<ScanDeviceHandle> &out) override
    {
        const auto helper = current();
        if (!helper)
            return ScanStatus::IoError;
        qint32 id = -1;
        // Opening may wait for a device on the network.
        const int st = exchange(*helper, request(Op::Open, deviceName), times_.callMs,
                                [&](const QByteArray &answer, int &s) { return readOpen(answer, s, id); });
        if (st == ScanStatus::Good)
            out = std::make_unique<ProcessDeviceHandle>(helper, id, deviceName);
        return st;
    }

    // SANE's own text, in the language SANE speaks here; the library is loaded for the first
    // text asked for, not with the program.
    QString statusText(int status) const override
    {
        using StatusText = const char *(int);
        static StatusText *const strstatus = [] {
            QLibrary sane(QStringLiteral("sane"), 1);
            return reinterpret_cast<StatusText *>(sane.load() ? sane.resolve("sane_strstatus") : nullptr);
        }();
        const char *text = strstatus ? strstatus(status) : nullptr;
        return text ? QString::fromUtf8(text) : QStringLiteral("SANE status %1").arg(status);
    }

private:
    std::shared_ptr<Helper> current()
    {
        std::lock_guard lock(mutex_);
        return helper_;
    }

    const QString path_;
    const ScannerHelperTimes times_;
    std::mutex mutex_;
    int sessions_ = 0;
    std::shared_ptr<Helper> helper_;
};

} // namespace

void setScannerWaitTexts(const WaitTexts &texts) { scannerWaitTexts() = texts; }

std::unique_ptr<Scanner> makeProcessScanner(const QString &helperPath, const ScannerHelperTimes &times)
{
    return std::make_unique<ProcessScanner>(helperPath, times);
}

QString scannerHelperPath() { return helper::besideProgram("PELMORA_SCANNER_HELPER", QStringLiteral("pelmora-scanner")); }

// The backends in the helper process; without a helper every call fails as a device error
// would ("No Scanner available").
template <> Seam<Scanner>::Factory &Seam<Scanner>::defaultFactory()
{
    static Factory f = [] { return makeProcessScanner(scannerHelperPath()); };
    return f;
}

int runScannerHelper(int inFd, int outFd, std::unique_ptr<Scanner> sane)
{
    using namespace scanproto;
    // A program that goes away mid-answer must not end the helper by a signal before it has
    // closed its devices.
    std::signal(SIGPIPE, SIG_IGN);
    std::map<qint32, std::unique_ptr<ScanDeviceHandle>> handles;
    qint32 nextId = 1;
    int sessions = 0;
    std::vector<unsigned char> buffer;

    const auto reply = [outFd](const auto &...values) {
        QByteArray bytes;
        PROTOCOL_STREAM(s, bytes, WriteOnly);
        ((s << values), ...);
        return sendMessage(outFd, bytes);
    };
    const auto finish = [&] {
        handles.clear();
        while (sessions > 0) {
            sane->endSession();
            --sessions;
        }
    };

    QByteArray message;
    while (receiveMessage(inFd, message, -1)) {
        PROTOCOL_STREAM(in, message, ReadOnly);
        quint8 op = 0;
        in >> op;
        bool sent = true;
        switch (Op(op)) {
        case Op::BeginSession: {
            const int st = sane->beginSession();
            if (st == ScanStatus::Good)
                ++sessions;
            sent = reply(qint32(st));
            break;
        }
        case Op::EndSession:
            finish();
            sent = reply(qint32(ScanStatus::Good));
            break;
        case Op::Devices: {
            QList<ScanDevice> devices;
            const int st = sane->devices(devices);
            QByteArray bytes;
            PROTOCOL_STREAM(out, bytes, WriteOnly);
            out << qint32(st);
            writeDevices(out, devices);
            sent = sendMessage(outFd, bytes);
            break;
        }
        case Op::Open: {
            QString name;
            in >> name;
            std::unique_ptr<ScanDeviceHandle> h;
            const int st = sane->open(name, h);
            qint32 id = -1;
            if (st == ScanStatus::Good) {
                id = nextId++;
                handles[id] = std::move(h);
            }
            sent = reply(qint32(st), id);
            break;
        }
        default: {
            qint32 id = 0;
            in >> id;
            const auto it = handles.find(id);
            if (Op(op) == Op::Quit) {
                finish();
                return 0;
            }
            if (it == handles.end()) {
                sent = reply(qint32(ScanStatus::Inval));
                break;
            }
            ScanDeviceHandle &h = *it->second;
            switch (Op(op)) {
            case Op::Close:
                handles.erase(it);
                sent = reply(qint32(ScanStatus::Good));
                break;
            case Op::Option: {
                QByteArray name;
                in >> name;
                const std::optional<ScanOption> o = h.option(name);
                sent = o ? reply(true, *o) : reply(false);
                break;
            }
            case Op::SetOption: {
                QByteArray name;
                QVariant value;
                in >> name;
                readValue(in, value);
                sent = reply(qint32(h.setOption(name, value)));
                break;
            }
            case Op::Start: sent = reply(qint32(h.start())); break;
            case Op::Parameters: {
                ScanParameters p;
                const int st = h.parameters(p);
                sent = reply(qint32(st), p);
                break;
            }
            case Op::Read: {
                qint32 max = 0;
                in >> max;
                max = std::clamp<qint32>(max, 0, kMaxReadBytes);
                buffer.resize(size_t(max));
                int length = 0;
                int st = ScanStatus::Good;
                // A blocking read brings at least one byte; an answer of Good and nothing would
                // only make the program ask again.
                do
                    st = h.read(buffer.data(), max, length);
                while (st == ScanStatus::Good && length <= 0 && max > 0);
                length = std::clamp(length, 0, int(max));
                sent = reply(qint32(st), QByteArray(reinterpret_cast<const char *>(buffer.data()), length));
                break;
            }
            case Op::Cancel:
                h.cancel();
                sent = reply(qint32(ScanStatus::Good));
                break;
            default: sent = reply(qint32(ScanStatus::Unsupported)); break;
            }
        }
        }
        if (!sent)
            break;
    }
    // The program went: close what is open, end the session.
    finish();
    return 0;
}

} // namespace platform
