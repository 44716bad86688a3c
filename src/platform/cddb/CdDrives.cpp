#include "platform/cddb/CdDrives.h"

#include "platform/cddb/CddbError.h"

#include <QFile>

#include <discid/discid.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <memory>

namespace platform {

namespace {

constexpr const char *kCdromInfo = "/proc/sys/dev/cdrom/info";

class SystemCdDrives final : public CdDrives {
public:
    QStringList drives() override
    {
        QFile f(QString::fromLatin1(kCdromInfo));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return drivesFromCdromInfo(f.read(64 * 1024));
    }

    bool holdsDisc(const QString &drive) override
    {
        const QByteArray node = QFile::encodeName(drive);
        const int fd = ::open(node.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
        ::close(fd);
        return status == CDS_DISC_OK;
    }

    TableOfContents readTableOfContents(const QString &drive) override
    {
        struct Free {
            void operator()(::DiscId *d) const { discid_free(d); }
        };
        std::unique_ptr<::DiscId, Free> d(discid_new());
        const QByteArray node = QFile::encodeName(drive);
        if (!d || !discid_read_sparse(d.get(), node.constData(), 0))
            throw CddbError(CddbErr::DiscUnreadable,
                            QStringLiteral("The disc in %1 could not be read: %2")
                                .arg(drive, d ? QString::fromUtf8(discid_get_error_msg(d.get())) : QString()));
        // libdiscid has already left out a data track at the end.
        TableOfContents toc;
        toc.firstTrack = discid_get_first_track_num(d.get());
        for (int t = toc.firstTrack; t <= discid_get_last_track_num(d.get()); ++t)
            toc.offsets << discid_get_track_offset(d.get(), t);
        toc.leadout = discid_get_sectors(d.get());
        return toc;
    }
};

std::unique_ptr<CdDrives> makeDefault() { return makeSystemCdDrives(); }

} // namespace

QStringList drivesFromCdromInfo(const QByteArray &info)
{
    QStringList out;
    for (const QByteArray &line : info.split('\n')) {
        if (!line.startsWith("drive name:"))
            continue;
        const QList<QByteArray> names = line.mid(int(qstrlen("drive name:"))).simplified().split(' ');
        // The kernel lists the newest drive first.
        for (auto it = names.crbegin(); it != names.crend(); ++it) {
            if (!it->isEmpty() && !it->contains('/'))
                out << QStringLiteral("/dev/") + QString::fromLatin1(*it);
        }
        break;
    }
    return out;
}

std::unique_ptr<CdDrives> makeSystemCdDrives() { return std::make_unique<SystemCdDrives>(); }

template <> Seam<CdDrives>::Factory &Seam<CdDrives>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
