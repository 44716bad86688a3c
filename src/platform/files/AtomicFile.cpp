#include "platform/files/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// A file name stays within 255 bytes; the temporary one carries a prefix and a suffix, so
// a long target name is shortened in it (at a character boundary).
QByteArray shortenedName(const QString &fileName)
{
    constexpr qsizetype kMaxBytes = 160;
    QString name = fileName;
    QByteArray bytes = QFile::encodeName(name);
    while (bytes.size() > kMaxBytes && !name.isEmpty()) {
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = QFile::encodeName(name);
    }
    return bytes;
}

// Makes the folder's entry for the renamed file durable; a failure here changes nothing
// the caller could act on.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

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
    cancel(); // a second open() starts afresh
    m_failed = false;
    m_error.clear();
    m_written = 0;
    // Through a symbolic link the file it points to is replaced, and the link stays.
    QString target = m_target;
    if (const QFileInfo link(m_target); link.isSymLink()) {
        const QString resolved = link.canonicalFilePath();
        target = resolved.isEmpty() ? link.symLinkTarget() : resolved;
    }
    const QByteArray nativeTarget = QFile::encodeName(target);
    struct stat st {};
    const bool exists = ::stat(nativeTarget.constData(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return fail(QStringLiteral("\"%1\" is not a file.").arg(m_target));
        // Without any write bit the file is read-only, whoever runs the program.
        if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) || ::access(nativeTarget.constData(), W_OK) != 0)
            return fail(QStringLiteral("\"%1\" is read-only.").arg(m_target));
    }
    const QFileInfo info(target);
    const QString dir = info.absolutePath();
    const QByteArray stem = QFile::encodeName(dir + u'/' + temporaryPrefix()) + shortenedName(info.fileName()) + '.';
    // A new file gets the usual rights less the umask (applied by open()); a replaced one
    // keeps its rights and, where we may, its owner.
    int err = EEXIST;
    for (int attempt = 0; attempt < 64 && m_fd < 0 && err == EEXIST; ++attempt) {
        const QByteArray candidate =
            stem + QByteArray::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull, 36);
        m_fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        err = errno;
        if (m_fd >= 0)
            m_temp = QFile::decodeName(candidate);
    }
    if (m_fd < 0)
        return fail(QStringLiteral("Cannot create a file in \"%1\": %2").arg(dir, systemError(err)));
    if (exists) {
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
            // not ours to give away: the new file belongs to us
        }
        if (::fchmod(m_fd, st.st_mode & 07777) != 0) {
            const int e = errno;
            cancel();
            return fail(QStringLiteral("Cannot create a file in \"%1\": %2").arg(dir, systemError(e)));
        }
    }
    m_final = target;
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
            const int e = errno;
            if (e == EINTR)
                continue;
            return fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(e)));
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
    if (m_fd < 0)
        fail(QStringLiteral("The file is not open."));
    if (!m_failed && ::fsync(m_fd) != 0) {
        const int e = errno;
        fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(e)));
    }
    if (m_fd >= 0) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            const int e = errno;
            fail(QStringLiteral("Cannot write \"%1\": %2").arg(m_target, systemError(e)));
        }
    }
    if (!m_failed) {
        const QByteArray finalName = QFile::encodeName(m_final);
        if (::rename(QFile::encodeName(m_temp).constData(), finalName.constData()) != 0) {
            const int e = errno;
            fail(QStringLiteral("Cannot replace \"%1\": %2").arg(m_target, systemError(e)));
        } else {
            m_temp.clear();
            syncFolder(QFile::encodeName(QFileInfo(m_final).absolutePath()));
        }
    }
    if (m_failed) {
        cancel();
        return false;
    }
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
