#pragma once
// The CD drives of the machine: which there are, whether one holds a disc, and the table of
// contents of that disc. Tests install a scripted drive layer.
#include "platform/Seam.h"
#include "platform/cddb/DiscToc.h"

#include <QString>
#include <QStringList>

namespace platform {

class CdDrives {
public:
    virtual ~CdDrives() = default;
    // The drives by their device nodes ("/dev/sr0"), in the kernel's order.
    virtual QStringList drives() = 0;
    // Whether the drive is there and holds a disc; never throws.
    virtual bool holdsDisc(const QString &drive) = 0;
    // Reads the table of contents of the disc in the drive; may take seconds while the drive
    // spins up. Called on a worker thread. Throws CddbError DiscUnreadable.
    virtual TableOfContents readTableOfContents(const QString &drive) = 0;

    static CdDrives &get() { return Seam<CdDrives>::get(); }
};

// The kernel's drives: those named in /proc/sys/dev/cdrom/info, a disc told by the drive's
// status, the table of contents read by libdiscid.
std::unique_ptr<CdDrives> makeSystemCdDrives();

// The drives named by the "drive name:" line of the kernel's cdrom info text.
QStringList drivesFromCdromInfo(const QByteArray &info);

template <> Seam<CdDrives>::Factory &Seam<CdDrives>::defaultFactory();

} // namespace platform
