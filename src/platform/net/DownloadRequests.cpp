// What the downloader and its callers share without the network layer: the request, the
// error numbers, where a redirect leads and which addresses can be fetched.
#include "platform/net/Download.h"

#include <QCoreApplication>

namespace platform {

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

} // namespace platform
