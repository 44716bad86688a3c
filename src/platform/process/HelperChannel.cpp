#include "platform/process/HelperChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform::helper {

namespace {

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

// Waits until fd can be read, at most until the deadline, pump running between slices.
bool readable(int fd, const QDeadlineTimer &deadline, const Pump &pump)
{
    for (;;) {
        const qint64 left = deadline.remainingTime(); // -1: for ever
        if (left == 0)
            return false;
        int wait = left < 0 ? -1 : int(std::min<qint64>(left, INT_MAX));
        if (pump)
            wait = wait < 0 ? kSliceMs : std::min(wait, kSliceMs);
        if (waitFor(fd, POLLIN, wait))
            return true;
        if (pump && !pump())
            return false;
    }
}

bool readAll(int fd, char *data, size_t size, const QDeadlineTimer &deadline, const Pump &pump)
{
    while (size > 0) {
        if (!readable(fd, deadline, pump))
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

// The first bytes of a message with the descriptors that may come with them. Descriptors come
// with the first byte they were sent with, so they are taken with the first read.
bool readFirst(int fd, char *data, size_t size, const QDeadlineTimer &deadline, const Pump &pump,
               std::vector<int> &passedFds)
{
    passedFds.clear();
    for (;;) {
        if (!readable(fd, deadline, pump))
            return false;
        iovec io{data, size};
        alignas(cmsghdr) char control[CMSG_SPACE(kMaxPassedFds * sizeof(int))];
        msghdr msg{};
        msg.msg_iov = &io;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = recvmsg(fd, &msg, MSG_CMSG_CLOEXEC);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        for (cmsghdr *c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS)
                continue;
            const size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (size_t i = 0; i < count; ++i) {
                int passed = -1;
                std::memcpy(&passed, CMSG_DATA(c) + i * sizeof(int), sizeof(int));
                passedFds.push_back(passed);
            }
        }
        if (msg.msg_flags & MSG_CTRUNC) { // more descriptors than may come: none is taken
            for (const int passed : passedFds)
                close(passed);
            passedFds.clear();
            return false;
        }
        if (readAll(fd, data + n, size - size_t(n), deadline, pump))
            return true;
        for (const int passed : passedFds) // the message broke off: what came with it goes
            close(passed);
        passedFds.clear();
        return false;
    }
}

void nap(int milliseconds)
{
    const timespec t{0, long(milliseconds) * 1000 * 1000};
    nanosleep(&t, nullptr);
}

} // namespace

bool sendMessage(int fd, const QByteArray &message, const std::vector<int> &passFds)
{
    const quint32 size = quint32(message.size());
    if (passFds.empty())
        return writeAll(fd, reinterpret_cast<const char *>(&size), sizeof size) &&
               writeAll(fd, message.constData(), size_t(size));
    if (passFds.size() > size_t(kMaxPassedFds))
        return false;
    char head[sizeof size];
    std::memcpy(head, &size, sizeof size);
    iovec io{head, sizeof head};
    alignas(cmsghdr) char control[CMSG_SPACE(kMaxPassedFds * sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = CMSG_SPACE(passFds.size() * sizeof(int));
    cmsghdr *c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(passFds.size() * sizeof(int));
    std::memcpy(CMSG_DATA(c), passFds.data(), passFds.size() * sizeof(int));
    ssize_t n;
    do
        n = sendmsg(fd, &msg, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    return n > 0 && writeAll(fd, head + n, sizeof head - size_t(n)) && writeAll(fd, message.constData(), size_t(size));
}

bool receiveMessage(int fd, QByteArray &message, int timeoutMs, quint32 maxBytes, const Pump &pump,
                    std::vector<int> *passedFds)
{
    const QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs));
    quint32 size = 0;
    char *head = reinterpret_cast<char *>(&size);
    if (passedFds) {
        if (!readFirst(fd, head, sizeof size, deadline, pump, *passedFds))
            return false;
    } else if (!readAll(fd, head, sizeof size, deadline, pump)) {
        return false;
    }
    if (size > maxBytes)
        return false;
    message.resize(qsizetype(size));
    return readAll(fd, message.data(), size_t(size), deadline, pump);
}

Started start(const QString &path, const std::vector<std::pair<int, int>> &extraFds,
              const std::vector<QByteArray> &environment, const std::vector<QByteArray> &arguments)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return {-1, -1, errno};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    // dup2 onto the number a descriptor already has would keep its close-on-exec flag: every
    // descriptor is first moved above the numbers handed on.
    std::vector<int> moved;
    int failure = 0; // the error of the first descriptor that could not be moved
    int highest = STDERR_FILENO;
    for (const auto &[own, child] : extraFds) {
        const int high = fcntl(own, F_DUPFD_CLOEXEC, 64);
        if (high < 0 && failure == 0)
            failure = errno != 0 ? errno : EBADF;
        moved.push_back(high);
        highest = std::max(highest, child);
        if (high >= 0)
            posix_spawn_file_actions_adddup2(&actions, high, child);
    }
    // Nothing else the program holds reaches the helper, whether or not it is close-on-exec.
    posix_spawn_file_actions_addclosefrom_np(&actions, highest + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    const QByteArray program = QFile::encodeName(path);
    std::vector<char *> argv{const_cast<char *>(program.constData())};
    for (const QByteArray &a : arguments)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    std::vector<char *> env;
    for (const QByteArray &e : environment)
        env.push_back(const_cast<char *>(e.constData()));
    env.push_back(nullptr);
    pid_t pid = -1;
    const int rc = failure == 0 ? posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(),
                                              environment.empty() ? environ : env.data())
                                : failure;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    for (const int high : moved)
        if (high >= 0)
            close(high);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return {-1, -1, rc};
    }
    return {pid, fds[0], 0};
}

void kill(pid_t pid)
{
    if (pid <= 0)
        return;
    // The helper leads a process group of its own; what it started is in it.
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
}

Ending end(pid_t pid, int graceMs, const Pump &pump)
{
    Ending e;
    QElapsedTimer waited, sincePump;
    waited.start();
    sincePump.start();
    for (;;) {
        // Looked at without reaping, so that its process id still names its group below.
        siginfo_t info{};
        const int r = waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT);
        if (r < 0 && errno != EINTR)
            return e;
        if (r == 0 && info.si_pid == pid)
            break;
        if (graceMs >= 0 && waited.elapsed() >= graceMs) {
            e.killed = true;
            break;
        }
        if (pump && sincePump.elapsed() >= kSliceMs) {
            pump();
            sincePump.restart();
        }
        nap(1);
    }
    kill(pid); // the helper, where it lingers, and whatever it left behind in its group
    while (wait4(pid, &e.status, 0, &e.usage) < 0 && errno == EINTR) {
    }
    return e;
}

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && app->inherits("QApplication") && QThread::currentThread() == app->thread();
}

Pump guiPump(const std::function<bool()> &input)
{
    if (!onGuiThread())
        return {};
    return [input] {
        QCoreApplication::processEvents(input && input() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents,
                                        kSliceMs);
        return true;
    };
}

void waitForEvents(const std::function<bool()> &done, bool input)
{
    const QEventLoop::ProcessEventsFlags flags =
        QEventLoop::WaitForMoreEvents | (input ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    while (!done())
        QCoreApplication::processEvents(flags);
}

QString besideProgram(const char *environmentVariable, const QString &name)
{
    const QString set = qEnvironmentVariable(environmentVariable);
    if (!set.isEmpty())
        return QFileInfo(set).isExecutable() ? set : QString();
    if (!QCoreApplication::instance())
        return QString();
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + name;
    return QFileInfo(beside).isExecutable() ? beside : QString();
}

bool followProgram()
{
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        return false;
    // The program that made the socket: where it ended before the line above, this helper
    // has another parent by now.
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(STDIN_FILENO, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.pid == getppid();
}

} // namespace platform::helper
