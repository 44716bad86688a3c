#include "platform/process/HelperChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
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

bool readAll(int fd, char *data, size_t size, const QDeadlineTimer &deadline, const Pump &pump)
{
    while (size > 0) {
        for (;;) {
            const qint64 left = deadline.remainingTime(); // -1: for ever
            if (left == 0)
                return false;
            int wait = left < 0 ? -1 : int(std::min<qint64>(left, INT_MAX));
            if (pump)
                wait = wait < 0 ? kSliceMs : std::min(wait, kSliceMs);
            if (waitFor(fd, POLLIN, wait))
                break;
            if (pump && !pump())
                return false;
        }
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

} // namespace

bool sendMessage(int fd, const QByteArray &message)
{
    const quint32 size = quint32(message.size());
    return writeAll(fd, reinterpret_cast<const char *>(&size), sizeof size) &&
           writeAll(fd, message.constData(), size_t(size));
}

bool receiveMessage(int fd, QByteArray &message, int timeoutMs, quint32 maxBytes, const Pump &pump)
{
    const QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs));
    quint32 size = 0;
    if (!readAll(fd, reinterpret_cast<char *>(&size), sizeof size, deadline, pump) || size > maxBytes)
        return false;
    message.resize(qsizetype(size));
    return readAll(fd, message.data(), size_t(size), deadline, pump);
}

Started start(const QString &path, const std::vector<std::pair<int, int>> &extraFds,
              const std::vector<QByteArray> &environment)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    // dup2 onto the number a descriptor already has would keep its close-on-exec flag: every
    // descriptor is first moved above the numbers handed on.
    std::vector<int> moved;
    bool ok = true;
    for (const auto &[own, child] : extraFds) {
        const int high = fcntl(own, F_DUPFD_CLOEXEC, 64);
        ok = ok && high >= 0;
        moved.push_back(high);
        if (high >= 0)
            posix_spawn_file_actions_adddup2(&actions, high, child);
    }
    const QByteArray program = QFile::encodeName(path);
    char *argv[] = {const_cast<char *>(program.constData()), nullptr};
    std::vector<char *> env;
    for (const QByteArray &e : environment)
        env.push_back(const_cast<char *>(e.constData()));
    env.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ok ? posix_spawn(&pid, program.constData(), &actions, nullptr, argv,
                                    environment.empty() ? environ : env.data())
                      : -1;
    posix_spawn_file_actions_destroy(&actions);
    for (const int high : moved)
        if (high >= 0)
            close(high);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return {};
    }
    return {pid, fds[0]};
}

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && app->inherits("QApplication") && QThread::currentThread() == app->thread();
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

} // namespace platform::helper
