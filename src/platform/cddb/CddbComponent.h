#pragma once
// The CD component of the track-list wizard: lists the CD drives, reads the disc in one,
// computes its disc id and looks it up on a CDDB server. The operations and their error
// numbers are those the wizard was written against; the failures are thrown as CddbError.
#include "platform/cddb/CddbClient.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

class CddbTrack {
public:
    CddbTrack(QString title, QString time) : title_(std::move(title)), time_(std::move(time)) {}
    const QString &TrackTitle() const { return title_; }
    // The track's length from the table of contents, "mm:ss".
    const QString &TrackTime() const { return time_; }

private:
    QString title_;
    QString time_;
};

class CddbDisc {
public:
    CddbDisc(QString artist, QString title, QList<CddbTrack> tracks)
        : artist_(std::move(artist)), title_(std::move(title)), tracks_(std::move(tracks))
    {
    }
    const QString &DiscArtist() const { return artist_; }
    const QString &DiscTitle() const { return title_; }
    // In play order.
    const QList<CddbTrack> &DiscTracks() const { return tracks_; }

private:
    QString artist_;
    QString title_;
    QList<CddbTrack> tracks_;
};

class CddbComponent {
public:
    CddbComponent();
    ~CddbComponent();

    // The CD drives, each entry its device node.
    QStringList Drives();
    // The server of the following lookups and the time limit of one lookup in seconds.
    // Throws CddbError ServerNotAvailable for an empty host or a port outside 1..65535.
    void SetServer(const QString &host, long port, long timeLimitSeconds);
    // Reads the disc in the drive (on a worker thread, while the event loop runs) and looks it
    // up. Throws CddbError: 1005 server not reachable, 1006 no match, 1008 server busy, our
    // own numbers for the rest; Cancelled after Abort().
    void QueryDisc(const QString &drive);
    // The matches of the last successful lookup, in the server's order.
    const QList<CddbDisc> &Discs() const { return discs_; }
    // Stops a QueryDisc in progress; called from an event handled while it waits.
    void Abort();
    bool isQuerying() const { return querying_; }

private:
    TableOfContents readToc(const QString &drive);

    CddbServer server_;
    QList<CddbDisc> discs_;
    std::unique_ptr<CddbClient> client_;
    bool querying_ = false;
    bool aborted_ = false;
};

} // namespace platform
