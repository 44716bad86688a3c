#include "platform/net/Download.h"

#include "platform/files/AtomicFile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace platform {
namespace {

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

class NetworkDownloader final : public Downloader {
public:
    DownloadResult download(const QString &url, const QString &targetPath) override;
    void abort() override
    {
        if (abortCurrent_)
            abortCurrent_();
    }

private:
    enum class Stop { None, Timeout, TooLarge, WriteFailed, HttpError, Aborted };

    bool busy_ = false;
    std::function<void()> abortCurrent_;
};

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

    // Written beside the target under a temporary name and renamed over it by commit();
    // without commit the temporary file is removed and the target stays as it was.
    AtomicFile out(targetPath);
    if (!out.open())
        return failure(DownloadErr::WriteFailed, out.errorString());

    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(qMax(0, lim.maxRedirects));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    if (!QCoreApplication::applicationName().isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, QCoreApplication::applicationName());

    QNetworkReply *reply = manager.get(request); // owned by the manager
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);

    Stop stop = Stop::None;
    qint64 received = 0;
    const auto stopWith = [&](Stop why) {
        if (stop != Stop::None)
            return;
        stop = why;
        reply->abort();
    };
    const auto status = [reply] {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    };
    const auto take = [&] {
        const QByteArray chunk = reply->readAll();
        if (stop != Stop::None || chunk.isEmpty())
            return;
        received += chunk.size();
        if (lim.maxBytes > 0 && received > lim.maxBytes)
            stopWith(Stop::TooLarge);
        else if (!out.write(chunk))
            stopWith(Stop::WriteFailed);
    };

    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        // Redirects are followed inside the reply; a status of 400 or more is final.
        if (status() >= 400) {
            stopWith(Stop::HttpError);
            return;
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (lim.maxBytes > 0 && length.isValid() && length.toLongLong() > lim.maxBytes)
            stopWith(Stop::TooLarge);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { stopWith(Stop::Timeout); });

    abortCurrent_ = [&] { stopWith(Stop::Aborted); };
    const auto clearAbort = qScopeGuard([this] { abortCurrent_ = nullptr; });

    if (lim.timeoutMs > 0)
        timer.start(lim.timeoutMs);
    // abort() inside a handler finishes the reply at once; a quit before exec() would be lost.
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    if (stop == Stop::None)
        take(); // whatever arrived together with the end

    DownloadResult r;
    const int httpStatus = status();
    switch (stop) {
    case Stop::Timeout:
        r = failure(DownloadErr::Timeout,
                    QStringLiteral("No complete answer from %1 within %2 seconds.")
                        .arg(url).arg(lim.timeoutMs / 1000.0));
        break;
    case Stop::TooLarge:
        r = failure(DownloadErr::TooLarge,
                    QStringLiteral("%1 is larger than %2 bytes.").arg(url).arg(lim.maxBytes));
        break;
    case Stop::WriteFailed:
        r = failure(DownloadErr::WriteFailed, out.errorString());
        break;
    case Stop::Aborted:
        r = failure(DownloadErr::Aborted, QStringLiteral("The download of %1 was stopped.").arg(url));
        break;
    case Stop::HttpError:
    case Stop::None:
        // A status of 400 or more names the cause best; a redirect that was not followed
        // (too many, or to a less safe address) is a network error with the 3xx as status;
        // any other final status but 2xx did not deliver the resource either.
        if (httpStatus >= 400 || (reply->error() == QNetworkReply::NoError && httpStatus != 0
                                  && (httpStatus < 200 || httpStatus >= 300))) {
            const QString reason =
                reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            r = failure(DownloadErr::HttpBase + httpStatus,
                        QStringLiteral("The server answered %1 %2 for %3.")
                            .arg(httpStatus).arg(reason, url));
        } else if (reply->error() != QNetworkReply::NoError) {
            r = failure(DownloadErr::NetworkBase + static_cast<long>(reply->error()),
                        reply->errorString());
        } else if (!out.commit()) {
            r = failure(DownloadErr::WriteFailed, out.errorString());
        } else {
            r.ok = true;
        }
        break;
    }
    r.httpStatus = httpStatus;
    r.bytes = received;
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
