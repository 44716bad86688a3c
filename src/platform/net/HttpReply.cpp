#include "platform/net/HttpReply.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// A chunk-size line is a hexadecimal number and perhaps an extension: short.
constexpr qint64 kMaxChunkLine = 1024;
// Up to 15 hexadecimal digits: no overflow of qint64.
constexpr int kMaxChunkDigits = 15;

bool isToken(const QByteArray &name)
{
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 32 || u >= 127 || std::strchr("\"(),/:;<=>?@[\\]{}", c))
            return false;
    }
    return true;
}

// A decimal number of at most 18 digits, nothing else.
bool parseLength(const QByteArray &text, qint64 &out)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    qint64 v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

HttpReplyParser::HttpReplyParser(HttpHeadLimits limits) : limits_(limits) {}

HttpReplyParser::State HttpReplyParser::fail(const QString &why)
{
    state_ = State::Failed;
    error_ = why;
    line_.clear();
    return state_;
}

QByteArray HttpReplyParser::header(const QByteArray &name) const
{
    for (const auto &f : fields_)
        if (f.first.compare(name, Qt::CaseInsensitive) == 0)
            return f.second;
    return QByteArray();
}

bool HttpReplyParser::collectLine(const char *&p, const char *end, qint64 maxLine, QByteArray &line)
{
    const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
    const qint64 take = (nl ? nl + 1 : end) - p;
    if (qint64(line_.size()) + take > maxLine) {
        fail(QStringLiteral("The server's answer has a header line longer than %1 bytes.").arg(maxLine));
        return false;
    }
    line_.append(p, qsizetype(take));
    p += take;
    if (!nl)
        return false;
    line = line_;
    line_.clear();
    line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

bool HttpReplyParser::takeHeadLine(const QByteArray &line)
{
    if (!statusSeen_) {
        // "HTTP/1.1 200 OK": the version, a blank, three digits, then a blank and the reason.
        if (line.size() < 12 || !line.startsWith("HTTP/1.") || line[7] < '0' || line[7] > '9' || line[8] != ' '
            || (line.size() > 12 && line[12] != ' ')) {
            fail(QStringLiteral("The server's answer does not begin with an HTTP status line."));
            return false;
        }
        int code = 0;
        for (int i = 9; i < 12; ++i) {
            if (line[i] < '0' || line[i] > '9') {
                fail(QStringLiteral("The server's answer does not begin with an HTTP status line."));
                return false;
            }
            code = code * 10 + (line[i] - '0');
        }
        if (code < 100) {
            fail(QStringLiteral("The server answered with the invalid status %1.").arg(code));
            return false;
        }
        status_ = code;
        reason_ = line.mid(13).trimmed();
        statusSeen_ = true;
        return true;
    }
    if (line.isEmpty())
        return endOfHead();
    if (line[0] == ' ' || line[0] == '\t') {
        fail(QStringLiteral("The server's answer has a malformed header line."));
        return false;
    }
    const qsizetype colon = line.indexOf(':');
    const QByteArray name = colon > 0 ? line.left(colon) : QByteArray();
    if (!isToken(name)) {
        fail(QStringLiteral("The server's answer has a malformed header line."));
        return false;
    }
    if (fields_.size() >= limits_.maxFields) {
        fail(QStringLiteral("The server's answer has more than %1 header fields.").arg(limits_.maxFields));
        return false;
    }
    fields_.emplaceBack(name, line.mid(colon + 1).trimmed());
    return true;
}

bool HttpReplyParser::endOfHead()
{
    if (status_ >= 100 && status_ < 200) {
        if (status_ == 101) {
            fail(QStringLiteral("The server wants to switch protocols, which was not asked for."));
            return false;
        }
        // An interim answer ("100 Continue"): the real one follows.
        statusSeen_ = false;
        status_ = 0;
        reason_.clear();
        fields_.clear();
        return true;
    }
    const QByteArray coding = header("Transfer-Encoding").toLower();
    if (!coding.isEmpty()) {
        if (coding != "chunked") {
            fail(QStringLiteral("The server sends the body in a coding this program does not read (%1).")
                     .arg(QString::fromLatin1(coding.left(64))));
            return false;
        }
        body_ = Body::Chunked;
        chunk_ = Chunk::Size;
    } else {
        // Every Content-Length field, and every value in each, must be the same number.
        qint64 length = -1;
        for (const auto &f : fields_) {
            if (f.first.compare("Content-Length", Qt::CaseInsensitive) != 0)
                continue;
            for (const QByteArray &part : f.second.split(',')) {
                qint64 v = 0;
                if (!parseLength(part.trimmed(), v) || (length >= 0 && v != length)) {
                    fail(QStringLiteral("The server's answer has an invalid Content-Length (%1).")
                             .arg(QString::fromLatin1(f.second.left(64))));
                    return false;
                }
                length = v;
            }
        }
        contentLength_ = length;
        body_ = length >= 0 ? Body::Length : Body::ToEnd;
        remaining_ = length;
    }
    if (status_ == 204 || status_ == 304 || (body_ == Body::Length && remaining_ == 0)) {
        body_ = Body::None;
        state_ = State::Done;
    } else {
        state_ = State::Body;
    }
    return true;
}

bool HttpReplyParser::chunkLine(const QByteArray &line)
{
    if (chunk_ == Chunk::DataEnd) {
        if (!line.isEmpty()) {
            fail(QStringLiteral("The server's chunked body is malformed."));
            return false;
        }
        chunk_ = Chunk::Size;
        return true;
    }
    if (chunk_ == Chunk::Trailer) {
        if (line.isEmpty())
            state_ = State::Done;
        return true;
    }
    // The size in hexadecimal, perhaps followed by ";extension".
    qint64 size = 0;
    int digits = 0;
    qsizetype i = 0;
    for (; i < line.size(); ++i) {
        const int d = hexDigit(line[i]);
        if (d < 0)
            break;
        if (++digits > kMaxChunkDigits) {
            fail(QStringLiteral("The server's chunked body is malformed."));
            return false;
        }
        size = size * 16 + d;
    }
    const QByteArray rest = line.mid(i).trimmed();
    if (digits == 0 || (!rest.isEmpty() && !rest.startsWith(';'))) {
        fail(QStringLiteral("The server's chunked body is malformed."));
        return false;
    }
    if (size == 0) {
        chunk_ = Chunk::Trailer;
    } else {
        chunk_ = Chunk::Data;
        remaining_ = size;
    }
    return true;
}

HttpReplyParser::State HttpReplyParser::feed(const char *data, qint64 size, const BodySink &body)
{
    const char *p = data;
    const char *const end = data + std::max<qint64>(size, 0);
    while (p < end && (state_ == State::Head || state_ == State::Body)) {
        if (state_ == State::Head) {
            const char *before = p;
            QByteArray line;
            const bool complete = collectLine(p, end, limits_.maxHeadBytes - headBytes_ + qint64(line_.size()), line);
            headBytes_ += p - before;
            if (state_ == State::Failed) {
                error_ = QStringLiteral("The server's answer has a header larger than %1 bytes.")
                             .arg(limits_.maxHeadBytes);
                return state_;
            }
            if (complete && !takeHeadLine(line))
                return state_;
            continue;
        }
        // The body.
        if (body_ == Body::Chunked && chunk_ != Chunk::Data) {
            QByteArray line;
            const char *before = p;
            const qint64 max = chunk_ == Chunk::Trailer ? limits_.maxHeadBytes - headBytes_ + qint64(line_.size())
                                                        : kMaxChunkLine;
            const bool complete = collectLine(p, end, max, line);
            if (chunk_ == Chunk::Trailer)
                headBytes_ += p - before;
            if (state_ == State::Failed) {
                error_ = QStringLiteral("The server's chunked body is malformed.");
                return state_;
            }
            if (complete && !chunkLine(line))
                return state_;
            continue;
        }
        qint64 n = end - p;
        if (body_ != Body::ToEnd)
            n = std::min(n, remaining_);
        if (body && !body(p, n)) {
            state_ = State::Failed;
            return state_;
        }
        p += n;
        bodyBytes_ += n;
        if (body_ != Body::ToEnd) {
            remaining_ -= n;
            if (remaining_ == 0) {
                if (body_ == Body::Length)
                    state_ = State::Done;
                else
                    chunk_ = Chunk::DataEnd;
            }
        }
    }
    return state_;
}

HttpReplyParser::State HttpReplyParser::finish()
{
    if (state_ == State::Body && body_ == Body::ToEnd)
        state_ = State::Done;
    else if (state_ == State::Head || state_ == State::Body)
        fail(state_ == State::Head && headBytes_ == 0
                 ? QStringLiteral("The server closed the connection without an answer.")
                 : QStringLiteral("The server closed the connection before the whole answer came."));
    return state_;
}

} // namespace platform
