#include "platform/net/Download.h"

#include "platform/files/AtomicFile.h"
#include "platform/net/HttpReply.h"
#include "platform/process/HelperChannel.h"

#include <QCoreApplication>
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

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

namespace {

// One download over HTTP or HTTPS, from the request to the stored answer: the connection,
// the answer's head and body as they arrive, the redirects it follows and why it stopped.
class HttpTransfer {
public:
    HttpTransfer(const QString &url, const QUrl &address, AtomicFile &out, const DownloadLimits &lim,
                 const std::function<void(qint64, qint64)> &progress)
        : url_(url), current_(address), out_(out), lim_(lim), progress_(progress)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &context_, [this] { stopWith(Stop::Timeout); });
    }

    // Sends the request and waits, the thread's events handled (clicks and keys too where
    // input), until the transfer has stopped.
    void run(bool input);
    // Stops the transfer in progress; it ends as aborted.
    void abort() { stopWith(Stop::Aborted); }
    // How it ended; a complete answer is put in place of the target.
    DownloadResult result(const QString &targetPath);

private:
    enum class Stop { None, Done, Timeout, TooLarge, WriteFailed, HttpError, Network, BadReply, Aborted };

    void stopWith(Stop why);
    void networkFailure(QNetworkReply::NetworkError e, const QString &text);
    // A new connection for the current address, the one before it (of a redirect) closed.
    void startRequest();
    void socketError(QTcpSocket *s, const QString &host, QAbstractSocket::SocketError e);
    void readAvailable();
    void closed();
    void afterParse(HttpReplyParser::State state);
    // The head of an answer is complete: follow a redirect, refuse an error or an oversized
    // body. False when no body is to be stored.
    bool checkHead();
    // A piece of the body: counted, bounded and stored. False when the transfer stops.
    bool takeBody(const char *data, qint64 size);

    const QString url_;
    QUrl current_;
    AtomicFile &out_;
    const DownloadLimits lim_;
    const std::function<void(qint64, qint64)> &progress_;

    Stop stop_ = Stop::None;
    DownloadResult r_;
    QString cause_;       // the text of a network failure or a refused answer
    long causeNumber_ = 0;
    int redirects_ = 0;

    QObject context_; // of the connections, which go with the transfer
    QTimer timer_;
    std::unique_ptr<QTcpSocket> socket_;
    std::vector<std::unique_ptr<QTcpSocket>> finished_; // sockets of earlier redirects
    std::unique_ptr<HttpReplyParser> parser_;
    bool headChecked_ = false;
    bool accepted_ = false; // the current answer's body is the resource
};

void HttpTransfer::stopWith(Stop why)
{
    if (stop_ != Stop::None)
        return;
    stop_ = why;
    if (socket_)
        socket_->abort();
}

void HttpTransfer::networkFailure(QNetworkReply::NetworkError e, const QString &text)
{
    causeNumber_ = networkError(e);
    cause_ = text;
    stopWith(Stop::Network);
}

bool HttpTransfer::checkHead()
{
    headChecked_ = true;
    r_.httpStatus = parser_->status();
    const QByteArray location = parser_->header("Location");
    if (isRedirect(r_.httpStatus) && !location.isEmpty()) {
        if (++redirects_ > lim_.maxRedirects) {
            networkFailure(QNetworkReply::TooManyRedirectsError,
                           QStringLiteral("More than %1 redirects from %2.").arg(lim_.maxRedirects).arg(url_));
            return false;
        }
        const Redirect next = redirectTarget(current_, location);
        if (!next) {
            networkFailure(next.error, next.why);
            return false;
        }
        current_ = next.target;
        QTimer::singleShot(0, &context_, [this] { startRequest(); });
        return false;
    }
    if (r_.httpStatus < 200 || r_.httpStatus >= 300) {
        cause_ = QStringLiteral("The server answered %1 %2 for %3.")
                     .arg(r_.httpStatus)
                     .arg(QString::fromLatin1(parser_->reason().left(200)), url_);
        stopWith(Stop::HttpError);
        return false;
    }
    if (lim_.maxBytes > 0 && parser_->contentLength() > lim_.maxBytes) {
        stopWith(Stop::TooLarge);
        return false;
    }
    accepted_ = true;
    if (progress_)
        progress_(0, parser_->contentLength());
    return true;
}

bool HttpTransfer::takeBody(const char *data, qint64 size)
{
    if (!headChecked_ && !checkHead())
        return false;
    if (!accepted_)
        return false;
    r_.bytes += size;
    if (lim_.maxBytes > 0 && r_.bytes > lim_.maxBytes) {
        stopWith(Stop::TooLarge);
        return false;
    }
    if (!out_.write(data, size)) {
        stopWith(Stop::WriteFailed);
        return false;
    }
    if (progress_)
        progress_(r_.bytes, parser_->contentLength());
    return true;
}

void HttpTransfer::afterParse(HttpReplyParser::State state)
{
    if (stop_ != Stop::None)
        return;
    if (state == HttpReplyParser::State::Failed) {
        if (!parser_->error().isEmpty()) {
            causeNumber_ = DownloadErr::BadReply;
            cause_ = QStringLiteral("%1 (%2)").arg(parser_->error(), current_.toString());
            stopWith(Stop::BadReply);
        }
        // else the body sink has stopped it for a reason of its own, or a redirect follows
        return;
    }
    if (parser_->headComplete() && !headChecked_ && !checkHead())
        return;
    if (state == HttpReplyParser::State::Done)
        stopWith(Stop::Done);
}

void HttpTransfer::readAvailable()
{
    QTcpSocket *s = socket_.get();
    const auto body = [this](const char *data, qint64 size) { return takeBody(data, size); };
    while (stop_ == Stop::None && s == socket_.get() && s->bytesAvailable() > 0) {
        const QByteArray piece = s->read(kPiece);
        if (piece.isEmpty())
            break;
        r_.transferred += piece.size();
        const auto state = parser_->feed(piece.constData(), piece.size(), body);
        afterParse(state);
        if (state != HttpReplyParser::State::Head && state != HttpReplyParser::State::Body)
            break;
    }
}

void HttpTransfer::closed()
{
    if (stop_ != Stop::None)
        return;
    readAvailable();
    if (stop_ != Stop::None || !parser_ || parser_->state() == HttpReplyParser::State::Failed
        || (headChecked_ && !accepted_))
        return;
    const bool nothing = parser_->headBytes() == 0;
    const auto state = parser_->finish();
    if (state == HttpReplyParser::State::Failed && nothing)
        networkFailure(QNetworkReply::RemoteHostClosedError, parser_->error());
    else
        afterParse(state);
}

void HttpTransfer::socketError(QTcpSocket *s, const QString &host, QAbstractSocket::SocketError e)
{
    if (s != socket_.get() || stop_ != Stop::None)
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
}

void HttpTransfer::startRequest()
{
    if (stop_ != Stop::None)
        return;
    if (socket_) {
        socket_->disconnect();
        socket_->abort();
        finished_.push_back(std::move(socket_));
    }
    parser_ = std::make_unique<HttpReplyParser>(HttpHeadLimits{lim_.maxHeadBytes, 100});
    headChecked_ = false;
    accepted_ = false;
    const bool tls = current_.scheme() == QLatin1String("https");
    QSslSocket *ssl = nullptr;
    if (tls) {
        if (!QSslSocket::supportsSsl()) {
            networkFailure(QNetworkReply::SslHandshakeFailedError,
                           QStringLiteral("This system offers no TLS for %1.").arg(current_.toString()));
            return;
        }
        socket_.reset(ssl = new QSslSocket);
    } else {
        socket_.reset(new QTcpSocket);
    }
    QTcpSocket *s = socket_.get();
    s->setReadBufferSize(kReadAhead);
    const QByteArray request = requestFor(current_);
    const QString host = current_.host();
    if (ssl)
        QObject::connect(ssl, &QSslSocket::encrypted, &context_, [s, request] { s->write(request); });
    else
        QObject::connect(s, &QTcpSocket::connected, &context_, [s, request] { s->write(request); });
    QObject::connect(s, &QTcpSocket::readyRead, &context_, [this] { readAvailable(); });
    QObject::connect(s, &QTcpSocket::disconnected, &context_, [this] { closed(); });
    QObject::connect(s, &QTcpSocket::errorOccurred, &context_,
                     [this, s, host](QAbstractSocket::SocketError e) { socketError(s, host, e); });
    const int defaultPort = tls ? 443 : 80;
    if (ssl)
        ssl->connectToHostEncrypted(host, quint16(current_.port(defaultPort)));
    else
        s->connectToHost(host, quint16(current_.port(defaultPort)));
}

void HttpTransfer::run(bool input)
{
    if (lim_.timeoutMs > 0)
        timer_.start(lim_.timeoutMs);
    startRequest();
    helper::waitForEvents([this] { return stop_ != Stop::None; }, input);
    timer_.stop();
    if (socket_) {
        socket_->disconnect();
        socket_->abort();
    }
}

DownloadResult HttpTransfer::result(const QString &targetPath)
{
    DownloadResult r;
    switch (stop_) {
    case Stop::Timeout:
        r = failure(DownloadErr::Timeout,
                    QStringLiteral("The download of %1 timed out: no complete answer within %2 seconds.")
                        .arg(url_).arg(lim_.timeoutMs / 1000.0));
        break;
    case Stop::TooLarge:
        r = failure(DownloadErr::TooLarge, QStringLiteral("%1 is larger than %2 bytes.").arg(url_).arg(lim_.maxBytes));
        break;
    case Stop::WriteFailed:
        r = failure(DownloadErr::WriteFailed,
                    QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out_.errorString()));
        break;
    case Stop::Aborted:
        r = failure(DownloadErr::Aborted, QStringLiteral("The download of %1 was stopped.").arg(url_));
        break;
    case Stop::HttpError: r = failure(DownloadErr::HttpBase + r_.httpStatus, cause_); break;
    case Stop::Network:
    case Stop::BadReply: r = failure(causeNumber_, cause_); break;
    case Stop::None: // the loop cannot end without a reason; counted as a cut answer
        r = failure(DownloadErr::BadReply, QStringLiteral("The answer from %1 ended early.").arg(url_));
        break;
    case Stop::Done:
        if (!out_.commit())
            r = failure(DownloadErr::WriteFailed,
                        QStringLiteral("Cannot write \"%1\": %2").arg(targetPath, out_.errorString()));
        else
            r.ok = true;
        break;
    }
    r.httpStatus = r_.httpStatus;
    r.bytes = r_.bytes;
    r.transferred = r_.transferred;
    return r;
}

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
    // The wait runs the event loop, so a timer or a queued call could come back here.
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

    HttpTransfer transfer(url, address, out, lim, progress_);
    abortCurrent_ = [&transfer] { transfer.abort(); };
    const auto clearAbort = qScopeGuard([this] { abortCurrent_ = nullptr; });
    // With a progress window (whose Cancel stops the transfer) clicks and keys go to it.
    transfer.run(bool(progress_));
    return transfer.result(targetPath);
}

} // namespace

std::unique_ptr<Downloader> makeNetworkDownloader() { return std::make_unique<NetworkDownloader>(); }

} // namespace platform

// The entry of the network module (pelmora-net.so), which the program loads for its first
// download.
extern "C" Q_DECL_EXPORT platform::Downloader *pelmoraMakeNetworkDownloader()
{
    return platform::makeNetworkDownloader().release();
}
