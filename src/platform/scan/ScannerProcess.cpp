#include "platform/scan/ScannerProcess.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace platform {

// The values of the protocol.
static QDataStream &operator<<(QDataStream &s, const ScanDevice &d) { return s << d.name << d.vendor << d.model << d.type; }
static QDataStream &operator>>(QDataStream &s, ScanDevice &d) { return s >> d.name >> d.vendor >> d.model >> d.type; }

static QDataStream &operator<<(QDataStream &s, const ScanOption &o)
{
    return s << quint8(o.kind) << o.title << o.strings << o.values << o.hasRange << o.min << o.max << o.step << o.value
             << o.active << o.settable;
}
static QDataStream &operator>>(QDataStream &s, ScanOption &o)
{
    quint8 kind = 0;
    s >> kind >> o.title >> o.strings >> o.values >> o.hasRange >> o.min >> o.max >> o.step >> o.value >> o.active
        >> o.settable;
    o.kind = ScanOption::Kind(kind);
    return s;
}

static QDataStream &operator<<(QDataStream &s, const ScanParameters &p)
{
    return s << quint8(p.frame) << p.lastFrame << qint32(p.bytesPerLine) << qint32(p.pixelsPerLine) << qint32(p.lines)
             << qint32(p.depth);
}
static QDataStream &operator>>(QDataStream &s, ScanParameters &p)
{
    quint8 frame = 0;
    qint32 bpl = 0, ppl = 0, lines = 0, depth = 0;
    s >> frame >> p.lastFrame >> bpl >> ppl >> lines >> depth;
    p.frame = ScanParameters::Frame(frame);
    p.bytesPerLine = bpl;
    p.pixelsPerLine = ppl;
    p.lines = lines;
    p.depth = depth;
    return s;
}

namespace {

enum class Op : quint8 {
    BeginSession = 1, EndSession, Devices, Open, Close, Option, SetOption, Start, Parameters, Read,
    Cancel, Quit,
};

// How long a call other than a read may take before the helper counts as hung.
constexpr int kCallTimeoutMs = 60 * 1000;
// How long a helper may take to end before it is made to.
constexpr int kQuitTimeoutMs = 5 * 1000;
// The most a single read asks for.
constexpr int kMaxReadBytes = 1024 * 1024;
// The largest message either side accepts.
constexpr quint32 kMaxMessage = 64u * 1024 * 1024;

// A stream over a message, in the protocol's format.
#define PROTOCOL_STREAM(name, bytes, mode) \
    QDataStream name(&(bytes), QIODevice::mode); \
    name.setVersion(QDataStream::Qt_6_0)

// Blocking, whole-message transfer over a socket. A timeout below 0 waits for ever.
bool waitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = poll(&p, 1, timeoutMs);
        if (r > 0)
            return (p.revents & events) != 0 || (p.revents & (POLLHUP | POLLERR)) == 0;
        if (r == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool readAll(int fd, char *data, size_t size, int timeoutMs)
{
    while (size > 0) {
        if (timeoutMs >= 0 && !waitFor(fd, POLLIN, timeoutMs))
            return false;
        const ssize_t n = recv(fd, data, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool sendMessage(int fd, const QByteArray &message)
{
    const quint32 size = quint32(message.size());
    return writeAll(fd, reinterpret_cast<const char *>(&size), sizeof size) && writeAll(fd, message.constData(), size_t(size));
}

bool receiveMessage(int fd, QByteArray &message, int timeoutMs)
{
    quint32 size = 0;
    if (!readAll(fd, reinterpret_cast<char *>(&size), sizeof size, timeoutMs) || size > kMaxMessage)
        return false;
    message.resize(qsizetype(size));
    return readAll(fd, message.data(), size_t(size), timeoutMs);
}

// One helper process and the socket to it. Calls come one at a time; kill() may come from
// any thread, also while a call waits.
class Helper {
public:
    static std::shared_ptr<Helper> start(const QString &path)
    {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
            return nullptr;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const QByteArray program = QFile::encodeName(path);
        char *argv[] = {const_cast<char *>(program.constData()), nullptr};
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, program.constData(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            return nullptr;
        }
        return std::shared_ptr<Helper>(new Helper(pid, fds[0]));
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
        // The helper ends its SANE session and goes; one that hangs on the way is ended.
        for (int waited = 0;; waited += 20) {
            if (waitpid(pid_, nullptr, WNOHANG) != 0)
                break;
            if (waited >= kQuitTimeoutMs) {
                ::kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            const timespec nap{0, 20 * 1000 * 1000};
            nanosleep(&nap, nullptr);
        }
    }

    // Sends a request and waits for its answer; false when the helper is gone or hung.
    bool call(const QByteArray &request, QByteArray &answer, int timeoutMs)
    {
        std::lock_guard lock(callMutex_);
        if (dead_)
            return false;
        if (!sendMessage(fd_, request) || !receiveMessage(fd_, answer, timeoutMs)) {
            kill();
            return false;
        }
        return true;
    }

    void kill()
    {
        if (!dead_.exchange(true)) {
            ::kill(pid_, SIGKILL);
            shutdown(fd_, SHUT_RDWR);
        }
    }

private:
    Helper(pid_t pid, int fd) : pid_(pid), fd_(fd) {}

    const pid_t pid_;
    const int fd_;
    std::mutex callMutex_;
    std::atomic<bool> dead_{false};
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

class ProcessDeviceHandle final : public ScanDeviceHandle {
public:
    ProcessDeviceHandle(std::shared_ptr<Helper> helper, qint32 id, QString name)
        : helper_(std::move(helper)), id_(id), name_(std::move(name))
    {
    }
    ~ProcessDeviceHandle() override
    {
        QByteArray answer;
        helper_->call(request(Op::Close, id_), answer, kCallTimeoutMs);
    }

    QString name() const override { return name_; }

    std::optional<ScanOption> option(const QByteArray &name) override
    {
        QByteArray answer;
        if (!helper_->call(request(Op::Option, id_, name), answer, kCallTimeoutMs))
            return std::nullopt;
        PROTOCOL_STREAM(s, answer, ReadOnly);
        bool has = false;
        ScanOption o;
        s >> has;
        if (!has)
            return std::nullopt;
        s >> o;
        return o;
    }

    int setOption(const QByteArray &name, const QVariant &value) override
    {
        return statusOf(request(Op::SetOption, id_, name, value), kCallTimeoutMs);
    }

    int start() override
    {
        // Starting may wait for the device to warm up or for paper.
        return statusOf(request(Op::Start, id_), -1);
    }

    int parameters(ScanParameters &out) override
    {
        QByteArray answer;
        if (!helper_->call(request(Op::Parameters, id_), answer, kCallTimeoutMs))
            return ScanStatus::IoError;
        PROTOCOL_STREAM(s, answer, ReadOnly);
        qint32 st = ScanStatus::IoError;
        s >> st;
        if (st == ScanStatus::Good)
            s >> out;
        return st;
    }

    int read(unsigned char *buffer, int maxLength, int &length) override
    {
        length = 0;
        QByteArray answer;
        // A read waits as long as the device takes; a cancel that it does not answer ends the
        // helper (interrupt()).
        if (!helper_->call(request(Op::Read, id_, qint32(std::min(maxLength, kMaxReadBytes))), answer, -1))
            return ScanStatus::IoError;
        PROTOCOL_STREAM(s, answer, ReadOnly);
        qint32 st = ScanStatus::IoError;
        QByteArray data;
        s >> st >> data;
        const int n = int(std::min<qsizetype>(data.size(), maxLength));
        std::memcpy(buffer, data.constData(), size_t(n));
        length = n;
        return st;
    }

    void cancel() override { statusOf(request(Op::Cancel, id_), kCallTimeoutMs); }

    void interrupt() override { helper_->kill(); }

private:
    int statusOf(const QByteArray &req, int timeoutMs)
    {
        QByteArray answer;
        if (!helper_->call(req, answer, timeoutMs))
            return ScanStatus::IoError;
        qint32 st = ScanStatus::IoError;
        PROTOCOL_STREAM(s, answer, ReadOnly);
        s >> st;
        return st;
    }

    std::shared_ptr<Helper> helper_;
    const qint32 id_;
    const QString name_;
};

class ProcessScanner final : public Scanner {
public:
    explicit ProcessScanner(QString path) : path_(std::move(path)), local_(makeSaneScanner()) {}

    int beginSession() override
    {
        std::lock_guard lock(mutex_);
        if (sessions_ == 0) {
            helper_ = Helper::start(path_);
            if (!helper_)
                return ScanStatus::IoError;
            QByteArray answer;
            qint32 st = ScanStatus::IoError;
            if (helper_->call(request(Op::BeginSession), answer, kCallTimeoutMs))
            {
                PROTOCOL_STREAM(s, answer, ReadOnly);
                s >> st;
            }
            if (st != ScanStatus::Good) {
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
        QByteArray answer;
        helper_->call(request(Op::EndSession), answer, kQuitTimeoutMs);
        helper_.reset(); // ends the process; a device handle still held keeps it until it goes
    }

    int devices(QList<ScanDevice> &out) override
    {
        out.clear();
        const auto helper = current();
        QByteArray answer;
        if (!helper || !helper->call(request(Op::Devices), answer, kCallTimeoutMs))
            return ScanStatus::IoError;
        PROTOCOL_STREAM(s, answer, ReadOnly);
        qint32 st = ScanStatus::IoError;
        s >> st;
        if (st == ScanStatus::Good)
            s >> out;
        return st;
    }

    int open(const QString &deviceName, std::unique_ptr<ScanDeviceHandle> &out) override
    {
        const auto helper = current();
        QByteArray answer;
        // Opening may wait for a device on the network.
        if (!helper || !helper->call(request(Op::Open, deviceName), answer, kCallTimeoutMs))
            return ScanStatus::IoError;
        PROTOCOL_STREAM(s, answer, ReadOnly);
        qint32 st = ScanStatus::IoError, id = -1;
        s >> st >> id;
        if (st == ScanStatus::Good)
            out = std::make_unique<ProcessDeviceHandle>(helper, id, deviceName);
        return st;
    }

    QString statusText(int status) const override { return local_->statusText(status); }

private:
    std::shared_ptr<Helper> current()
    {
        std::lock_guard lock(mutex_);
        return helper_;
    }

    const QString path_;
    std::unique_ptr<Scanner> local_; // for the texts of status numbers only
    std::mutex mutex_;
    int sessions_ = 0;
    std::shared_ptr<Helper> helper_;
};

} // namespace

std::unique_ptr<Scanner> makeProcessScanner(const QString &helperPath)
{
    return std::make_unique<ProcessScanner>(helperPath);
}

QString scannerHelperPath()
{
    const QString set = qEnvironmentVariable("PELMORA_SCANNER_HELPER");
    if (!set.isEmpty())
        return QFileInfo(set).isExecutable() ? set : QString();
    if (!QCoreApplication::instance())
        return QString();
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/pelmora-scanner");
    return QFileInfo(beside).isExecutable() ? beside : QString();
}

int runScannerHelper(int inFd, int outFd)
{
    // A program that goes away mid-answer must not end the helper by a signal before it has
    // closed its devices.
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<Scanner> sane = makeSaneScanner();
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
            sent = reply(qint32(st), devices);
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
                in >> name >> value;
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
                const int st = h.read(buffer.data(), max, length);
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
