#include "platform/cddb/CddbClient.h"

#include "platform/cddb/CddbError.h"
#include "platform/files/TemporaryFiles.h"
#include "platform/net/Download.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>

namespace platform {

namespace {

// A word of a CDDB command line for the query string: blanks become "+", everything else
// outside the unreserved characters is percent-encoded.
QByteArray formWord(const QString &text)
{
    return QUrl::toPercentEncoding(text, QByteArrayLiteral(" ")).replace(' ', '+');
}

QString helloWord(QString text, const char *fallback)
{
    text.replace(u' ', u'_');
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

// What a lookup keeps at most: each match's category (64 characters), disc id, artist, title
// and 99 track names, each string with up to 32 bytes of header and allocation.
constexpr qint64 kMaxKeptBytes = CddbClient::kMaxMatches * (64 + 8 + (2 + 99) * kMaxCddbTitleChars) * 2
                                 + CddbClient::kMaxMatches * (4 + 99) * 32;
static_assert(kMaxKeptBytes < 16'000'000, "a lookup must keep less than 16 MB");

} // namespace

QString CddbClient::requestUrl(const QString &command) const
{
    const QString hello = QStringLiteral("anonymous localhost ")
                          + helloWord(QCoreApplication::applicationName(), "cddb-client") + u' '
                          + helloWord(QCoreApplication::applicationVersion(), "1.0");
    QString host = server_.host.trimmed();
    if (host.contains(u':'))
        host = u'[' + host + u']';
    return QStringLiteral("http://%1:%2/~cddb/cddb.cgi?cmd=%3&hello=%4&proto=6")
        .arg(host)
        .arg(server_.port)
        .arg(QString::fromLatin1(formWord(command)), QString::fromLatin1(formWord(hello)));
}

QByteArray CddbClient::fetch(const QString &command, qint64 maxBytes)
{
    if (aborted_)
        throw CddbError(CddbErr::Cancelled, QStringLiteral("The lookup was stopped."));
    const qint64 remaining = qint64(qMax(1, server_.timeLimitSeconds)) * 1000 - clock_.elapsed();
    if (remaining <= 0)
        throw CddbError(CddbErr::ServerNotAvailable,
                        QStringLiteral("The CDDB server %1 gave no complete answer within %2 seconds.")
                            .arg(server_.host)
                            .arg(server_.timeLimitSeconds));

    QTemporaryDir scratch(scratchFolderTemplate(ScratchKind::Download));
    if (!scratch.isValid())
        throw CddbError(DownloadErr::WriteFailed,
                        QStringLiteral("No temporary folder for the CDDB answer: %1").arg(scratch.errorString()));
    const QString target = scratch.filePath(QStringLiteral("cddb.txt"));

    Downloader &downloader = Downloader::get();
    const DownloadLimits before = downloader.limits();
    DownloadLimits lim = before;
    lim.timeoutMs = int(qMin<qint64>(remaining, 24LL * 60 * 60 * 1000));
    lim.maxBytes = maxBytes;
    downloader.setLimits(lim);
    // With a progress handler the wait lets user input through, so that Cancel reaches abort().
    downloader.setProgressHandler([](qint64, qint64) {});
    const auto restore = qScopeGuard([&] {
        downloader.setProgressHandler({});
        downloader.setLimits(before);
    });

    const DownloadResult r = downloader.download(requestUrl(command), target);
    if (!r.ok) {
        const long n = r.errorNumber;
        if (n == DownloadErr::Aborted || aborted_)
            throw CddbError(CddbErr::Cancelled, QStringLiteral("The lookup was stopped."));
        if (n == DownloadErr::HttpBase + 503)
            throw CddbError(CddbErr::ServerBusy, QStringLiteral("The CDDB server is busy: %1").arg(r.description));
        if (n == DownloadErr::TooLarge)
            throw CddbError(CddbErr::BadReply, QStringLiteral("The CDDB server's answer is larger than %1 bytes.").arg(maxBytes),
                            CddbCause::AnswerTooLarge, maxBytes);
        if (n == DownloadErr::BadReply)
            throw CddbError(CddbErr::BadReply, QStringLiteral("The CDDB server's answer is not valid HTTP: %1").arg(r.description));
        if (n == DownloadErr::WriteFailed)
            throw CddbError(n, r.description);
        if (n == DownloadErr::Timeout)
            throw CddbError(CddbErr::ServerNotAvailable,
                            QStringLiteral("The CDDB server %1 gave no complete answer within %2 seconds.")
                                .arg(server_.host)
                                .arg(server_.timeLimitSeconds));
        throw CddbError(CddbErr::ServerNotAvailable, r.description);
    }
    QFile f(target);
    if (!f.open(QIODevice::ReadOnly))
        throw CddbError(DownloadErr::WriteFailed,
                        QStringLiteral("The CDDB answer could not be read back: %1").arg(f.errorString()));
    return f.read(maxBytes + 1);
}

QList<CddbDiscData> CddbClient::lookup(const DiscId &disc)
{
    aborted_ = false;
    clock_.start();
    const QList<CddbMatch> matches = parseQueryReply(fetch(disc.queryCommand(), kMaxReplyBytes));
    QList<CddbDiscData> discs;
    // Why entries were left out: an entry too large, else the last failure.
    std::optional<CddbError> leftOut;
    for (const CddbMatch &m : matches) {
        try {
            const QByteArray reply = fetch(QStringLiteral("cddb read %1 %2").arg(m.category, m.discId), kMaxEntryBytes);
            discs << CddbDiscData{m.category, m.discId, parseReadReply(reply, disc.trackCount())};
        } catch (const CddbError &e) {
            // The server cannot be reached, is busy, the time is up or the user stopped: the
            // lookup ends. An entry that cannot be read is left out.
            if (e.number() == CddbErr::ServerNotAvailable || e.number() == CddbErr::ServerBusy
                || e.number() == CddbErr::Cancelled || e.number() == DownloadErr::WriteFailed)
                throw;
            if (e.cause() == CddbCause::AnswerTooLarge)
                leftOut.emplace(e.number(), QStringLiteral("The disc's entry is larger than %1 bytes.").arg(e.limit()),
                                CddbCause::EntryTooLarge, e.limit());
            else if (!leftOut || leftOut->cause() != CddbCause::EntryTooLarge)
                leftOut = e;
        }
    }
    if (discs.isEmpty()) {
        const QString none = QStringLiteral("None of the %1 matches of the CDDB server could be read.").arg(matches.size());
        if (!leftOut)
            throw CddbError(CddbErr::DiscNotFound, none);
        throw CddbError(CddbErr::DiscNotFound, none + u' ' + leftOut->description(), leftOut->cause(), leftOut->limit());
    }
    return discs;
}

void CddbClient::abort()
{
    aborted_ = true;
    Downloader::get().abort();
}

} // namespace platform
