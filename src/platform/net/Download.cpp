#include "platform/net/Download.h"

#include "platform/files/AtomicFile.h"
#include "platform/net/HttpReply.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <vector>

namespace platform {
namespace {

// How far the socket reads ahead of what has been stored, and the piece taken at a time.
constexpr qint64 kReadAhead = 1024 * 1024;
constexpr qint64 kPiece = 64 * 1024;

DownloadResult failure(long number, const QString &description)
{
    DownloadResult r;
    r.errorNumber = number;
    r.description = description;
    return r;
}

bool isDownloadable(const QUrl &address)
{
    if (!address.isValid())
        return false;
    const QString scheme = address.scheme();
    if (scheme == QLatin1String("file"))
        return !address.toLocalFile().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
           && !address.host().isEmpty();
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

QByteArray requestFor(const QUrl &url)
{
    QByteArray path = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (path.isEmpty())
        path = "/";
    QByteArray host = url.host(QUrl::FullyEncoded).toUtf8();
    if (host.contains(':'))
        host = '[' + host + ']';
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    if (url.port(defaultPort) != defaultPort)
        host += ':' + QByteArray::number(url.port());
    QByteArray r = "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n";
    if (!QCoreApplication::applicationName().isEmpty())
        r += "User-Agent: " + QCoreApplication::applicationName().toUtf8() + "\r\n";
    r += "Accept: */*\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
    return r;
}

long networkError(QNetworkReply::NetworkError e) { return DownloadErr::NetworkBase + long(e); }

Redirect redirectTarget(const QUrl &current, const QByteArray &location)
{
    Redirect r;
    r.target = current.resolved(QUrl::fromEncoded(location));
    if (!isDownloadable(r.target) || r.target.scheme() == QLatin1String("file")) {
        r.error = QNetworkReply::ProtocolUnknownError;
        r.why = QStringLiteral("%1 redirects to \"%2\", which is no http or https address.")
                    .arg(current.toString(), QString::fromLatin1(location.left(200)));
    } else if (current.scheme() == QLatin1String("https") && r.target.scheme() == QLatin1String("http")) {
        r.error = QNetworkReply::InsecureRedirectError;
        r.why = QStringLiteral("%1 redirects to the unencrypted address %2.").arg(current.toString(), r.target.toString());
    }
    return r;
}

namespace {

class NetworkDownloader final : public Downloader {
public:
    DownloadResult download(const QString &url, const QString &targetPath) override;
    void abort() override
    {
        if (abortCurrent_)
            abortCurrent_();
    }

private:
    DownloadResult copyFile(const QUrl &address, const QString &targetPath, const DownloadLimits &lim);

    bool busy_ = false;
    std::function<void()> abortCurrent_;
};

DownloadResult NetworkDownloader::copyFile(const QUrl &address, const QString &targetPath,
                                           const DownloadLimits &lim)
{
    const QString source = address.toLocalFile();
    QFile in(source);
    const QFileInfo info(source);
    if (!info.exists())
        return failure(networkError(QNetworkReply::ContentNotFoundError),
                       QStringLiteral("The file %1 does not exist.").arg(source));
    if (info.isDir() || !in.open(QIODevice::ReadOnly))
        return failure(networkError(QNetworkReply::ContentAccessDenied),
                       QStringLiteral("The file %1 cannot be read.").arg(source));
    AtomicFile out(targetPath);
    if (!out.open())
        return failure(DownloadErr::WriteFailed,
                       QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out.errorString()));
    DownloadResult r;
    QByteArray piece(int(kPiece), Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(piece.data(), piece.size());
        if (n < 0)
            return failure(networkError(QNetworkReply::ContentAccessDenied),
                           QStringLiteral("The file %1 cannot be read: %2").arg(source, in.errorString()));
        if (n == 0)
            break;
        r.bytes += n;
        r.transferred += n;
        if (lim.maxBytes > 0 && r.bytes > lim.maxBytes) {
            r = failure(DownloadErr::TooLarge,
                        QStringLiteral("%1 is larger than %2 bytes.").arg(address.toString()).arg(lim.maxBytes));
            return r;
        }
        if (!out.write(piece.constData(), n))
            break;
    }
    if (!out.commit())
        return failure(DownloadErr::WriteFailed,
                       QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out.errorString()));
    r.ok = true;
    return r;
}

DownloadResult NetworkDownloader::download(const QString &url, const QString &targetPath)
{
    // The wait below runs the event loop, so a timer or a queued call could come back here.
    if (busy_)
        return failure(DownloadErr::Busy, QStringLiteral("Another download is still running."));
    const QScopedValueRollback<bool> busyGuard(busy_, true);

    const QUrl address(url.trimmed());
    if (!isDownloadable(address))
        return failure(DownloadErr::InvalidUrl,
                       QStringLiteral("\"%1\" is not an http, https or file address.").arg(url));

    const DownloadLimits lim = limits();
    if (address.scheme() == QLatin1String("file"))
        return copyFile(address, targetPath, lim);

    // Written beside the target under a temporary name and renamed over it by commit();
    // without commit the temporary file is removed and the target stays as it was.
    AtomicFile out(targetPath);
    if (!out.open())
        return failure(DownloadErr::WriteFailed,
                       QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out.errorString()));

    enum class Stop { None, Done, Timeout, TooLarge, WriteFailed, HttpError, Network, BadReply, Aborted };
    Stop stop = Stop::None;
    DownloadResult r;
    QString cause;           // the text of a network failure or a refused answer
    long causeNumber = 0;
    int redirects = 0;
    QUrl current = address;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    std::unique_ptr<QTcpSocket> socket;
    std::vector<std::unique_ptr<QTcpSocket>> finished; // sockets of earlier redirects
    std::unique_ptr<HttpReplyParser> parser;
    bool headChecked = false;
    bool accepted = false; // the current answer's body is the resource
    std::function<void()> startRequest;

    const auto stopWith = [&](Stop why) {
        if (stop != Stop::None)
            return;
        stop = why;
        if (socket)
            socket->abort();
        loop.quit();
    };
    const auto networkFailure = [&](QNetworkReply::NetworkError e, const QString &text) {
        causeNumber = networkError(e);
        cause = text;
        stopWith(Stop::Network);
    };
    // The head of an answer is complete: follow a redirect, refuse an error or an oversized
    // body. False when no body is to be stored.
    const auto checkHead = [&]() -> bool {
        headChecked = true;
        r.httpStatus = parser->status();
        const QByteArray location = parser->header("Location");
        if (isRedirect(r.httpStatus) && !location.isEmpty()) {
            if (++redirects > lim.maxRedirects) {
                networkFailure(QNetworkReply::TooManyRedirectsError,
                               QStringLiteral("More than %1 redirects from %2.").arg(lim.maxRedirects).arg(url));
                return false;
            }
            const Redirect next = redirectTarget(current, location);
            if (!next) {
                networkFailure(next.error, next.why);
                return false;
            }
            current = next.target;
            QTimer::singleShot(0, &loop, [&] { startRequest(); });
            return false;
        }
        if (r.httpStatus < 200 || r.httpStatus >= 300) {
            cause = QStringLiteral("The server answered %1 %2 for %3.")
                        .arg(r.httpStatus)
                        .arg(QString::fromLatin1(parser->reason().left(200)), url);
            stopWith(Stop::HttpError);
            return false;
        }
        if (lim.maxBytes > 0 && parser->contentLength() > lim.maxBytes) {
            stopWith(Stop::TooLarge);
            return false;
        }
        accepted = true;
        if (progress_)
            progress_(0, parser->contentLength());
        return true;
    };
    const auto body = [&](const char *data, qint64 size) {
        if (!headChecked && !checkHead())
            return false;
        if (!accepted)
            return false;
        r.bytes += size;
        if (lim.maxBytes > 0 && r.bytes > lim.maxBytes) {
            stopWith(Stop::TooLarge);
            return false;
        }
        if (!out.write(data, size)) {
            stopWith(Stop::WriteFailed);
            return false;
        }
        if (progress_)
            progress_(r.bytes, parser->contentLength());
        return true;
    };
    const auto afterParse = [&](HttpReplyParser::State state) {
        if (stop != Stop::None)
            return;
        if (state == HttpReplyParser::State::Failed) {
            if (!parser->error().isEmpty()) {
                causeNumber = DownloadErr::BadReply;
                cause = QStringLiteral("%1 (%2)").arg(parser->error(), current.toString());
                stopWith(Stop::BadReply);
            }
            // else the body sink has stopped it for a reason of its own, or a redirect follows
            return;
        }
        if (parser->headComplete() && !headChecked && !checkHead())
            return;
        if (state == HttpReplyParser::State::Done)
            stopWith(Stop::Done);
    };
    const auto readAvailable = [&] {
        QTcpSocket *s = socket.get();
        while (stop == Stop::None && s == socket.get() && s->bytesAvailable() > 0) {
            const QByteArray piece = s->read(kPiece);
            if (piece.isEmpty())
                break;
            r.transferred += piece.size();
            const auto state = parser->feed(piece.constData(), piece.size(), body);
            afterParse(state);
            if (state != HttpReplyParser::State::Head && state != HttpReplyParser::State::Body)
                break;
        }
    };
    const auto closed = [&] {
        if (stop != Stop::None)
            return;
        readAvailable();
        if (stop != Stop::None || !parser || parser->state() == HttpReplyParser::State::Failed
            || (headChecked && !accepted))
            return;
        const bool nothing = parser->headBytes() == 0;
        const auto state = parser->finish();
        if (state == HttpReplyParser::State::Failed && nothing)
            networkFailure(QNetworkReply::RemoteHostClosedError, parser->error());
        else
            afterParse(state);
    };

    startRequest = [&] {
        if (stop != Stop::None)
            return;
        if (socket) {
            socket->disconnect();
            socket->abort();
            finished.push_back(std::move(socket));
        }
        parser = std::make_unique<HttpReplyParser>(HttpHeadLimits{lim.maxHeadBytes, 100});
        headChecked = false;
        accepted = false;
        const bool tls = current.scheme() == QLatin1String("https");
        QSslSocket *ssl = nullptr;
        if (tls) {
            if (!QSslSocket::supportsSsl()) {
                networkFailure(QNetworkReply::SslHandshakeFailedError,
                               QStringLiteral("This system offers no TLS for %1.").arg(current.toString()));
                return;
            }
            socket.reset(ssl = new QSslSocket);
        } else {
            socket.reset(new QTcpSocket);
        }
        QTcpSocket *s = socket.get();
        s->setReadBufferSize(kReadAhead);
        const QByteArray request = requestFor(current);
        const QString host = current.host();
        if (ssl)
            QObject::connect(ssl, &QSslSocket::encrypted, &loop, [s, request] { s->write(request); });
        else
            QObject::connect(s, &QTcpSocket::connected, &loop, [s, request] { s->write(request); });
        QObject::connect(s, &QTcpSocket::readyRead, &loop, readAvailable);
        QObject::connect(s, &QTcpSocket::disconnected, &loop, closed);
        QObject::connect(s, &QTcpSocket::errorOccurred, &loop, [&, s, host](QAbstractSocket::SocketError e) {
            if (s != socket.get() || stop != Stop::None)
                return;
            switch (e) {
            case QAbstractSocket::RemoteHostClosedError: closed(); break;
            case QAbstractSocket::ConnectionRefusedError:
                networkFailure(QNetworkReply::ConnectionRefusedError,
                               QStringLiteral("The server %1 refused the connection.").arg(host));
                break;
            case QAbstractSocket::HostNotFoundError:
                networkFailure(QNetworkReply::HostNotFoundError, QStringLiteral("The host %1 was not found.").arg(host));
                break;
            case QAbstractSocket::SocketTimeoutError:
                networkFailure(QNetworkReply::TimeoutError, QStringLiteral("The connection to %1 timed out.").arg(host));
                break;
            case QAbstractSocket::SslHandshakeFailedError:
                networkFailure(QNetworkReply::SslHandshakeFailedError,
                               QStringLiteral("No secure connection to %1: %2").arg(host, s->errorString()));
                break;
            default:
                networkFailure(QNetworkReply::UnknownNetworkError,
                               QStringLiteral("The connection to %1 failed: %2").arg(host, s->errorString()));
                break;
            }
        });
        const int defaultPort = tls ? 443 : 80;
        if (ssl)
            ssl->connectToHostEncrypted(host, quint16(current.port(defaultPort)));
        else
            s->connectToHost(host, quint16(current.port(defaultPort)));
    };

    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { stopWith(Stop::Timeout); });
    abortCurrent_ = [&] { stopWith(Stop::Aborted); };
    const auto clearAbort = qScopeGuard([this] { abortCurrent_ = nullptr; });

    if (lim.timeoutMs > 0)
        timer.start(lim.timeoutMs);
    startRequest();
    if (stop == Stop::None)
        loop.exec(progress_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    if (socket) {
        socket->disconnect();
        socket->abort();
    }

    const qint64 bytes = r.bytes, transferred = r.transferred;
    const int httpStatus = r.httpStatus;
    switch (stop) {
    case Stop::Timeout:
        r = failure(DownloadErr::Timeout,
                    QStringLiteral("The download of %1 timed out: no complete answer within %2 seconds.")
                        .arg(url).arg(lim.timeoutMs / 1000.0));
        break;
    case Stop::TooLarge:
        r = failure(DownloadErr::TooLarge,
                    QStringLiteral("%1 is larger than %2 bytes.").arg(url).arg(lim.maxBytes));
        break;
    case Stop::WriteFailed:
        r = failure(DownloadErr::WriteFailed,
                    QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out.errorString()));
        break;
    case Stop::Aborted:
        r = failure(DownloadErr::Aborted, QStringLiteral("The download of %1 was stopped.").arg(url));
        break;
    case Stop::HttpError: r = failure(DownloadErr::HttpBase + httpStatus, cause); break;
    case Stop::Network:
    case Stop::BadReply: r = failure(causeNumber, cause); break;
    case Stop::None: // the loop cannot end without a reason; counted as a cut answer
        r = failure(DownloadErr::BadReply, QStringLiteral("The answer from %1 ended early.").arg(url));
        break;
    case Stop::Done:
        if (!out.commit()) {
            r = failure(DownloadErr::WriteFailed,
                        QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out.errorString()));
        } else {
            r = DownloadResult{};
            r.ok = true;
        }
        break;
    }
    r.httpStatus = httpStatus;
    r.bytes = bytes;
    r.transferred = transferred;
    return r;
}

std::unique_ptr<Downloader> makeDefault() { return makeNetworkDownloader(); }

} // namespace

std::unique_ptr<Downloader> makeNetworkDownloader() { return std::make_unique<NetworkDownloader>(); }

template <> Seam<Downloader>::Factory &Seam<Downloader>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
