#pragma once
// A small HTTP server on 127.0.0.1 for network tests. It answers from the thread's own
// event loop, which the code under test keeps running while it waits for the answer, so
// client and server share one thread. Every answer closes its connection.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace testsupport {

class LocalHttpServer {
public:
    LocalHttpServer(); // listens at a free port
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer &) = delete;
    LocalHttpServer &operator=(const LocalHttpServer &) = delete;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>" followed by path (which starts with "/").
    QString url(const QString &path) const;

    // Answers path with the status and body. Paths without a route answer 404.
    void serve(const QString &path, const QByteArray &body, int status = 200);
    // Answers path with the status and a Location header.
    void redirect(const QString &path, const QString &location, int status = 302);
    // Announces a body, sends a little of it and then nothing more, keeping the
    // connection open until the client gives up.
    void hang(const QString &path);
    // Sends totalBytes of generated data as fast as the client takes it, without holding
    // more than a few chunks in memory. Without announceLength the answer carries no
    // Content-Length and ends when the connection closes.
    void stream(const QString &path, qint64 totalBytes, bool announceLength = true);

    // Requests read for path so far.
    int requestCount(const QString &path) const;
    // Called for every request after it has been read and before it is answered.
    void onRequest(std::function<void(const QString &path)> handler);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace testsupport
