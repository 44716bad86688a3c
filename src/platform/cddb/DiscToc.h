#pragma once
// A disc's table of contents and the identity a CDDB server knows it by. libdiscid checks the
// table and computes the freedb disc id; a table it refuses never reaches a server.
#include "platform/TrackTime.h"
#include <QList>
#include <QString>

namespace platform {

// Sector numbers count 75 a second from the start of the disc, the 150 sectors of the lead-in
// included (the first track of a pressed CD starts at 150).
struct TableOfContents {
    int firstTrack = 1;
    QList<int> offsets;         // the start of each track, first track first
    int leadout = 0;            // the sector after the last track
    bool lastTrackIsData = false; // the last listed track holds data (an enhanced CD)
};

struct DiscId {
    QString freedbId;       // eight lower-case hex digits
    int firstTrack = 1;
    QList<int> offsets;     // of the audio tracks
    QList<int> lengths;     // sectors of each audio track
    int sectors = 0;        // the disc's audio length in sectors

    int trackCount() const { return int(offsets.size()); }
    // The disc's length in whole seconds, as the query command carries it.
    int seconds() const { return sectors / 75; }
    // "cddb query <id> <tracks> <offsets...> <seconds>"
    QString queryCommand() const;

    // Checks the table and computes the id. A data track at the end is left out as libdiscid
    // leaves it out when it reads a disc: the audio ends 11400 sectors before the data track.
    // Throws CddbError InvalidToc for a table libdiscid refuses.
    static DiscId fromToc(const TableOfContents &toc);
};

// The play length of a track of that many sectors, as formatTrackTime writes it.
QString formatSectors(int sectors);

} // namespace platform
