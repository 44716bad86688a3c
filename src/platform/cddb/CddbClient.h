#pragma once
// The dialogue with a CDDB server over HTTP: one "cddb query" for the disc, then one
// "cddb read" for each match, as GET requests to /~cddb/cddb.cgi, through the program's
// downloader (its size limit, time limit and local event loop). The time limit holds for the
// whole lookup. Whatever a server sends, a lookup stays small: the answer to the query may hold
// at most 1 MiB, only its first 100 matches are read, an entry of more than 64 KiB (no disc
// has one) is left out like an entry that cannot be read, and every title kept is cut to 256
// characters (CddbProtocol.h), so that all a lookup keeps stays well under 16 MB.
#include "platform/cddb/CddbProtocol.h"
#include "platform/cddb/DiscToc.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

namespace platform {

struct CddbServer {
    QString host;
    int port = 80;
    int timeLimitSeconds = 60;
};

// A match whose entry has been read, with the disc's track times.
struct CddbDiscData {
    QString category;
    QString discId;
    CddbEntry entry;
};

class CddbClient {
public:
    static constexpr qint64 kMaxReplyBytes = 1024 * 1024;
    static constexpr qint64 kMaxEntryBytes = 64 * 1024;
    static constexpr int kMaxMatches = int(kMaxCddbMatches);

    explicit CddbClient(CddbServer server) : server_(std::move(server)) {}

    // Looks the disc up: every match whose entry could be read, in the server's order.
    // Throws CddbError (1005, 1006, 1008, our own numbers; Cancelled after abort()). When no
    // entry could be read, DiscNotFound says why: with the cause EntryTooLarge when an entry
    // was larger than kMaxEntryBytes, else with the last entry's failure.
    QList<CddbDiscData> lookup(const DiscId &disc);
    // Stops the lookup in progress from an event handled while it waits.
    void abort();

    // The address of a command: http://host:port/~cddb/cddb.cgi?cmd=...&hello=...&proto=6
    QString requestUrl(const QString &command) const;

private:
    QByteArray fetch(const QString &command, qint64 maxBytes);

    CddbServer server_;
    bool aborted_ = false;
    QElapsedTimer clock_; // since the start of the lookup
};

} // namespace platform
