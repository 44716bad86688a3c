#include "platform/cddb/DiscToc.h"

#include "platform/cddb/CddbError.h"

#include <discid/discid.h>

#include <memory>

namespace platform {

namespace {

constexpr int kMaxTracks = 99;
constexpr int kDataTrackGap = 11400;

struct DiscIdDeleter {
    void operator()(::DiscId *d) const { discid_free(d); }
};

} // namespace

QString DiscId::queryCommand() const
{
    QString s = QStringLiteral("cddb query ") + freedbId + u' ' + QString::number(trackCount());
    for (int o : offsets)
        s += u' ' + QString::number(o);
    s += u' ' + QString::number(seconds());
    return s;
}

DiscId DiscId::fromToc(const TableOfContents &toc)
{
    QList<int> offsets = toc.offsets;
    int leadout = toc.leadout;
    if (toc.lastTrackIsData && offsets.size() > 1) {
        leadout = offsets.takeLast() - kDataTrackGap;
    }
    const int count = int(offsets.size());
    const int first = toc.firstTrack;
    const int last = first + count - 1;
    if (count < 1 || first < 1 || last > kMaxTracks)
        throw CddbError(CddbErr::InvalidToc,
                        QStringLiteral("The table of contents lists %1 tracks from track %2; a CD holds 1 to 99.")
                            .arg(count)
                            .arg(first));
    int raw[100] = {};
    raw[0] = leadout;
    for (int i = 0; i < count; ++i)
        raw[first + i] = offsets[i];
    std::unique_ptr<::DiscId, DiscIdDeleter> d(discid_new());
    if (!d)
        throw CddbError(CddbErr::InvalidToc, QStringLiteral("No disc id object could be made."));
    if (!discid_put(d.get(), first, last, raw))
        throw CddbError(CddbErr::InvalidToc,
                        QStringLiteral("The table of contents is not valid: %1")
                            .arg(QString::fromUtf8(discid_get_error_msg(d.get()))));
    DiscId id;
    id.freedbId = QString::fromLatin1(discid_get_freedb_id(d.get()));
    id.firstTrack = discid_get_first_track_num(d.get());
    for (int t = id.firstTrack; t <= discid_get_last_track_num(d.get()); ++t) {
        id.offsets << discid_get_track_offset(d.get(), t);
        id.lengths << discid_get_track_length(d.get(), t);
    }
    id.sectors = discid_get_sectors(d.get());
    return id;
}

QString formatSectors(int sectors) { return formatTrackTime(qint64(sectors) * 1000 / 75); }

} // namespace platform
