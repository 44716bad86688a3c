#include "platform/files/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

} // namespace

AtomicFile::AtomicFile(QString targetPath) : m_target(std::move(targetPath)) {}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0 || !m_temp.isEmpty())
        cancel();
}

QString AtomicFile::temporaryPrefix() { return QStringLiteral(".pelmora-save-"); }

bool AtomicFile::fail(const QString &why)
{
    if (!m_failed) {
        m_failed = true;
        m_error = why;
    }
    return false;
}

bool AtomicFile::open()
{
    m_failed = false;
    m_error.clear();
    m_written = 0;
    const QFileInfo target(m_target);
    struct stat st {};
    const QByteArray nativeTarget = QFile::encodeName(m_target);
    mode_t mode = 0644;
    if (::stat(nativeTarget.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(QStringLiteral("\"%1\" is not a file.").arg(m_target));
        // Without any write bit the file is read-only, whoever runs the program.
        if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) || ::access(nativeTarget.constData(), W_OK) != 0)
            return fail(QStringLiteral("\"%1\" is read-only.").arg(m_target));
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const QString dir = target.absolutePath();
    QByteArray pattern = QFile::encodeName(dir + u'/' + temporaryPrefix() + target.fileName() + QStringLiteral(".XXXXXX"));
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0)
        return fail(QStringLiteral("Cannot create a file in \"%1\": %2").arg(dir, systemError(errno)));
    m_temp = QFile::decodeName(pattern);
    ::fchmod(m_fd, mode);
    return true;
}

bool AtomicFile::write(const char *data, qint64 size)
{
    if (m_failed)
        return false;
    if (m_fd < 0)
        return fail(QStringLiteral("The file is not open."));
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(qMin<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(errno)));
        }
        if (n == 0)
            return fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(ENOSPC)));
        data += n;
        size -= n;
        m_written += n;
    }
    return true;
}

bool AtomicFile::commit()
{
    if (m_fd < 0 && !m_failed)
        fail(QStringLiteral("The file is not open."));
    if (!m_failed && ::fsync(m_fd) != 0)
        fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(errno)));
    if (m_fd >= 0 && ::close(m_fd) != 0)
        fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(errno)));
    m_fd = -1;
    if (!m_failed && ::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QStringLiteral("Cannot replace \"%1\": %2").arg(m_target, systemError(errno)));
    if (m_failed) {
        cancel();
        return false;
    }
    m_temp.clear();
    return true;
}

void AtomicFile::cancel()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.isEmpty())
        ::unlink(QFile::encodeName(m_temp).constData());
    m_temp.clear();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicFile file(path);
    const bool ok = file.open() && file.write(bytes) && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace platform
