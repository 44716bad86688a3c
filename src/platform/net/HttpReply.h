#pragma once
// Reads an HTTP/1.x answer as its bytes arrive: the status line, the header fields, then
// the body, framed by its Content-Length, in chunks, or running to the end of the
// connection. The head is bounded (a server sending an endless header line is refused once
// it passes the limit), and a head that does not say clearly where the body ends
// (Content-Length: -5, two different lengths, an unknown transfer coding) is an error.
// Knows nothing of sockets, so that any bytes can be put through it.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace platform {

struct HttpHeadLimits {
    qint64 maxHeadBytes = 64 * 1024; // status line and all fields, line ends included
    int maxFields = 100;
};

class HttpReplyParser {
public:
    enum class State { Head, Body, Done, Failed };
    // Receives the body's bytes; returning false stops the parser (state Failed, no error
    // text of its own).
    using BodySink = std::function<bool(const char *data, qint64 size)>;

    explicit HttpReplyParser(HttpHeadLimits limits = {});

    // Takes the next bytes of the connection and hands body bytes to the sink. Bytes after
    // the end of the answer are ignored.
    State feed(const char *data, qint64 size, const BodySink &body);
    // The connection has closed: a body that runs to the end is complete now; any other
    // unfinished answer was cut short.
    State finish();

    State state() const { return state_; }
    bool headComplete() const { return state_ == State::Body || (state_ == State::Done && status_ != 0); }
    // Why the answer was refused; empty unless Failed.
    const QString &error() const { return error_; }

    int status() const { return status_; }
    const QByteArray &reason() const { return reason_; }
    // The first value of the named field (any letter case), trimmed; empty when absent.
    QByteArray header(const QByteArray &name) const;
    // The announced body length, -1 when the head announced none (chunks, or up to the end).
    qint64 contentLength() const { return contentLength_; }
    qint64 headBytes() const { return headBytes_; }
    qint64 bodyBytes() const { return bodyBytes_; }

private:
    enum class Body { None, Length, Chunked, ToEnd };
    enum class Chunk { Size, Data, DataEnd, Trailer };

    State fail(const QString &why);
    bool takeHeadLine(const QByteArray &line);
    bool endOfHead();
    bool chunkLine(const QByteArray &line);
    // Collects one line of the head or of the chunk framing; false when it is not complete
    // yet. Fails when the line would pass maxLine.
    bool collectLine(const char *&p, const char *end, qint64 maxLine, QByteArray &line);

    HttpHeadLimits limits_;
    State state_ = State::Head;
    QString error_;
    QByteArray line_;
    bool statusSeen_ = false;
    int status_ = 0;
    QByteArray reason_;
    QList<QPair<QByteArray, QByteArray>> fields_;
    qint64 headBytes_ = 0;
    Body body_ = Body::None;
    Chunk chunk_ = Chunk::Size;
    qint64 contentLength_ = -1;
    qint64 remaining_ = 0;
    qint64 bodyBytes_ = 0;
};

} // namespace platform
