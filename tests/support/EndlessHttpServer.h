#pragma once
// A hostile HTTP server on 127.0.0.1 that answers from a thread of its own (so it keeps
// sending while the code under test waits): to every connection it sends a fixed beginning
// and then repeats a filler without end (an endless header line or body) until the client
// goes. With an empty filler it sends the beginning and closes.
#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

namespace testsupport {

class EndlessHttpServer {
public:
    EndlessHttpServer(QByteArray beginning, QByteArray filler);
    ~EndlessHttpServer();
    EndlessHttpServer(const EndlessHttpServer &) = delete;
    EndlessHttpServer &operator=(const EndlessHttpServer &) = delete;

    bool isListening() const { return listener_ >= 0; }
    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString &path) const;
    qint64 bytesSent() const { return sent_; }

private:
    void run();

    const QByteArray beginning_;
    const QByteArray filler_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<qint64> sent_{0};
    std::thread thread_;
};

} // namespace testsupport
