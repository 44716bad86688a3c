#pragma once
// Every write of user data goes through here: the bytes go to a temporary file beside the
// target, which is flushed and synced, each step checked, and then renamed over the target.
// A crash or a full disk leaves the old file whole, and the failure is reported with the
// system's reason ("No space left on device"). A target without write bits stays untouched,
// also for root. On failure no temporary file is left behind. A replaced file keeps its
// rights; a symbolic link stays a link to the file that is replaced.
//
// Qt's QSaveFile is not used: with Qt 6.4 its commit() can report success after its buffered
// flush failed, which leaves an empty or cut file in place of the old one.
#include <QByteArray>
#include <QString>

namespace platform {

class AtomicFile {
public:
    explicit AtomicFile(QString targetPath);
    ~AtomicFile(); // cancels when neither committed nor cancelled
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Creates the temporary file. False with errorString() when the target is read-only, is
    // no regular file, or its folder cannot take a new file.
    bool open();
    // Appends bytes; false on the first failed write (and every write after it).
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Syncs the temporary file and renames it over the target; false when anything failed
    // since open(), in which case the temporary file is removed and the target unchanged.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void cancel();

    QString errorString() const { return m_error; }
    const QString &targetPath() const { return m_target; }
    qint64 written() const { return m_written; }

    // The prefix of every temporary file of ours, so that stale ones can be found.
    static QString temporaryPrefix();

private:
    bool fail(const QString &why);

    QString m_target;
    QString m_final; // the file renamed over: the target, or where its link points
    QString m_temp;
    QString m_error;
    int m_fd = -1;
    qint64 m_written = 0;
    bool m_failed = false;
};

// Writes bytes to path atomically; false with the reason in *error when anything failed.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace platform
