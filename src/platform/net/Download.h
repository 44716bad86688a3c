#pragma once
// Fetches the resource at an address (http, https, file) into a local file. The call
// returns when the transfer is over; the file appears only when the whole resource has
// arrived, so a failed transfer leaves no file and an existing file untouched.
#include "platform/Seam.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QUrl>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace platform {

// Error numbers of a failed download. Each number names its cause:
//   12000 + n  the network layer failed with QNetworkReply::NetworkError n
//              (12001 connection refused, 12003 host not found, 12203 content not found, ...)
//   13000 + s  the server answered with the HTTP status s >= 400 (13404, 13500, ...)
//   14001 ...  failures of our own, listed below
namespace DownloadErr {
enum : long {
    NetworkBase = 12000,
    HttpBase = 13000,
    InvalidUrl = 14001,    // empty, malformed, or not http, https or file
    Timeout = 14002,       // the total time limit ran out
    TooLarge = 14003,      // the resource is larger than the size limit
    WriteFailed = 14004,   // the local file could not be created, written or put in place
    Busy = 14005,          // called again while a download is running
    Aborted = 14006,       // stopped by abort()
    BadReply = 14007,      // the server's answer breaks HTTP (malformed or oversized head, cut short)
};
}

struct DownloadResult {
    bool ok = false;
    long errorNumber = 0;  // 0 on success, a DownloadErr number otherwise
    QString description;   // readable cause of a failure
    int httpStatus = 0;    // the last HTTP status seen, 0 for file addresses
    qint64 bytes = 0;      // body bytes received
    qint64 transferred = 0; // every byte read from the connections, heads included

    explicit operator bool() const { return ok; }
};

struct DownloadLimits {
    int timeoutMs = 60 * 1000;            // for the whole transfer, redirects included
    qint64 maxBytes = 256LL * 1024 * 1024;
    int maxRedirects = 10;
    qint64 maxHeadBytes = 64 * 1024;      // the status line and header fields of one answer
};

// The error number of a failure of the network layer.
long networkError(QNetworkReply::NetworkError e);

// Whether address is one the downloader fetches: file, or http or https with a host.
bool isDownloadable(const QUrl &address);

// The GET request the downloader sends for an http or https address.
QByteArray requestFor(const QUrl &url);
// Where a redirect leads: its Location header resolved against the address that answered, or,
// when it leads to no http or https address with a host or from https to http, the refusal.
struct Redirect {
    QUrl target;
    QNetworkReply::NetworkError error = QNetworkReply::NoError; // NoError when it may be followed
    QString why;                                                // the reason of a refusal

    explicit operator bool() const { return error == QNetworkReply::NoError; }
};
Redirect redirectTarget(const QUrl &current, const QByteArray &location);

class Downloader {
public:
    virtual ~Downloader() = default;
    // Downloads url into targetPath, replacing a file there only on success.
    virtual DownloadResult download(const QString &url, const QString &targetPath) = 0;
    // Stops the download in progress (from an event handled while it runs); it then
    // fails with DownloadErr::Aborted. Does nothing when none is running.
    virtual void abort() {}
    // Called while the body arrives with the bytes so far and the announced total (-1 when
    // none was announced). While a handler is set, the wait lets user input through: the
    // caller shows a modal window whose Cancel calls abort().
    void setProgressHandler(std::function<void(qint64 received, qint64 total)> handler)
    {
        progress_ = std::move(handler);
    }

    const DownloadLimits &limits() const { return limits_; }
    void setLimits(const DownloadLimits &limits) { limits_ = limits; }

    static Downloader &get() { return Seam<Downloader>::get(); }

protected:
    std::function<void(qint64, qint64)> progress_;

private:
    DownloadLimits limits_;
};

// The real downloader: HTTP/1.1 over a TCP or TLS socket of its own, reading at most 1 MiB
// ahead of what it has stored, counting every byte as it arrives, and refusing an answer
// whose head passes maxHeadBytes or does not say clearly where its body ends. While it
// waits it keeps the event loop running (painting, timers, sockets) but holds back user
// input unless a progress handler is set, so the window stays drawn and no click starts a
// second download meanwhile.
std::unique_ptr<Downloader> makeNetworkDownloader();

template <> Seam<Downloader>::Factory &Seam<Downloader>::defaultFactory();

} // namespace platform
