#include "support/LocalHttpServer.h"

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace testsupport {

namespace {

constexpr qint64 kChunk = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QByteArray head(int status, const QList<QByteArray> &headers)
{
    QByteArray h = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const QByteArray &line : headers)
        h += line + "\r\n";
    h += "Connection: close\r\n\r\n";
    return h;
}

} // namespace

struct LocalHttpServer::Impl {
    struct Route {
        enum Kind { Body, Redirect, Hang, Stream } kind = Body;
        int status = 200;
        QByteArray body;
        QString location;
        qint64 total = 0;
        bool announceLength = true;
    };

    QHash<QString, Route> routes;
    QHash<QString, int> counts;
    std::function<void(const QString &)> onRequest;
    QTcpServer server; // last, so that its connections go before the routes they use

    void accept()
    {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                if (!buffer->contains("\r\n\r\n"))
                    return;
                const QList<QByteArray> requestLine = buffer->left(buffer->indexOf("\r\n")).split(' ');
                // Further bytes on this connection (a request body) are read and ignored.
                QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
                answer(socket, requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString());
            });
        }
    }

    void answer(QTcpSocket *socket, const QString &path)
    {
        ++counts[path];
        if (onRequest)
            onRequest(path);
        const auto it = routes.constFind(path);
        const Route route = it == routes.constEnd()
                                ? Route{Route::Body, 404, QByteArray("no such page"), {}, 0, true}
                                : *it;
        switch (route.kind) {
        case Route::Body:
            socket->write(head(route.status, {"Content-Type: application/octet-stream",
                                              "Content-Length: " + QByteArray::number(route.body.size())}));
            socket->write(route.body);
            socket->disconnectFromHost();
            break;
        case Route::Redirect: {
            const QByteArray body = "moved";
            socket->write(head(route.status, {"Location: " + route.location.toUtf8(),
                                              "Content-Length: " + QByteArray::number(body.size())}));
            socket->write(body);
            socket->disconnectFromHost();
            break;
        }
        case Route::Hang:
            socket->write(head(200, {"Content-Length: 1000000"}));
            socket->write("the beginning of a body that never ends");
            break;
        case Route::Stream: {
            QList<QByteArray> headers{"Content-Type: application/octet-stream"};
            if (route.announceLength)
                headers << "Content-Length: " + QByteArray::number(route.total);
            socket->write(head(200, headers));
            auto remaining = std::make_shared<qint64>(route.total);
            const auto feed = [socket, remaining] {
                static const QByteArray chunk(kChunk, 'x');
                while (*remaining > 0 && socket->bytesToWrite() < 4 * kChunk) {
                    const qint64 n = qMin(*remaining, kChunk);
                    socket->write(chunk.constData(), n);
                    *remaining -= n;
                }
                if (*remaining == 0) {
                    *remaining = -1;
                    socket->disconnectFromHost();
                }
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, feed);
            feed();
            break;
        }
        }
    }
};

LocalHttpServer::LocalHttpServer() : d(std::make_unique<Impl>())
{
    QObject::connect(&d->server, &QTcpServer::newConnection, &d->server, [this] { d->accept(); });
    d->server.listen(QHostAddress::LocalHost, 0);
}

LocalHttpServer::~LocalHttpServer() { d->server.close(); }

bool LocalHttpServer::isListening() const { return d->server.isListening(); }

quint16 LocalHttpServer::port() const { return d->server.serverPort(); }

QString LocalHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LocalHttpServer::serve(const QString &path, const QByteArray &body, int status)
{
    Impl::Route r;
    r.kind = Impl::Route::Body;
    r.status = status;
    r.body = body;
    d->routes.insert(path, r);
}

void LocalHttpServer::redirect(const QString &path, const QString &location, int status)
{
    Impl::Route r;
    r.kind = Impl::Route::Redirect;
    r.status = status;
    r.location = location;
    d->routes.insert(path, r);
}

void LocalHttpServer::hang(const QString &path)
{
    Impl::Route r;
    r.kind = Impl::Route::Hang;
    d->routes.insert(path, r);
}

void LocalHttpServer::stream(const QString &path, qint64 totalBytes, bool announceLength)
{
    Impl::Route r;
    r.kind = Impl::Route::Stream;
    r.total = totalBytes;
    r.announceLength = announceLength;
    d->routes.insert(path, r);
}

int LocalHttpServer::requestCount(const QString &path) const { return d->counts.value(path); }

void LocalHttpServer::onRequest(std::function<void(const QString &)> handler)
{
    d->onRequest = std::move(handler);
}

} // namespace testsupport
