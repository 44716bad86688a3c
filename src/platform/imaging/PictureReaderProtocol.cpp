#include "platform/imaging/PictureReaderProtocol.h"

#include "platform/imaging/ImageCodecs.h"

#include <QDataStream>
#include <QIODevice>

#include <limits>

namespace platform::readerproto {

namespace {

void prepare(QDataStream &s) { s.setVersion(QDataStream::Qt_6_0); }

// A size whose sides are numbers a picture can have, or the invalid size (-1 x -1).
bool plausible(QSize s)
{
    return (s.width() >= 0 && s.height() >= 0) || (s.width() == -1 && s.height() == -1);
}

bool complete(const QDataStream &s) { return s.status() == QDataStream::Ok && s.atEnd(); }

// What a helper can say of a picture; the program's own answers (Busy, a reader that is
// missing or broken, too slow) it cannot give.
bool helperMayGive(qint32 error)
{
    return error == CodecError::None || error == CodecError::NotSupported || error == CodecError::CannotDecode ||
           error == CodecError::TooLarge || error == CodecError::Unsafe;
}

} // namespace

QByteArray encode(const Request &r)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << quint8(r.kind) << r.name;
    return bytes;
}

std::optional<Request> decodeRequest(const QByteArray &bytes)
{
    QDataStream s(bytes);
    prepare(s);
    quint8 kind = 0;
    Request r;
    s >> kind >> r.name;
    if (!complete(s) || kind < quint8(Kind::File) || kind > quint8(Kind::Preview))
        return std::nullopt;
    r.kind = Kind(kind);
    return r;
}

QByteArray readyAnswer()
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << quint8(Answer::Ready);
    return bytes;
}

QByteArray sizeAnswer(QSize original)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << quint8(Answer::Size) << original;
    return bytes;
}

QByteArray resultAnswer(const Result &r)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << quint8(Answer::Result) << r.error << r.message.left(kMaxText) << r.refused << r.pixels << r.original;
    return bytes;
}

QByteArray targetReply(QSize target)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    prepare(s);
    s << target;
    return bytes;
}

std::optional<QSize> decodeTarget(const QByteArray &bytes)
{
    QDataStream s(bytes);
    prepare(s);
    QSize target;
    s >> target;
    if (!complete(s) || !plausible(target))
        return std::nullopt;
    return target;
}

std::optional<Answered> decodeAnswer(const QByteArray &bytes)
{
    QDataStream s(bytes);
    prepare(s);
    quint8 type = 0;
    s >> type;
    Answered a;
    if (type == quint8(Answer::Ready)) {
        a.type = Answer::Ready;
        if (!complete(s))
            return std::nullopt;
        return a;
    }
    if (type == quint8(Answer::Size)) {
        a.type = Answer::Size;
        s >> a.size;
        if (!complete(s) || !a.size.isValid())
            return std::nullopt;
        return a;
    }
    if (type != quint8(Answer::Result))
        return std::nullopt;
    Result &r = a.result;
    s >> r.error >> r.message >> r.refused >> r.pixels >> r.original;
    if (!complete(s) || !helperMayGive(r.error) || r.message.size() > kMaxText ||
        !plausible(r.refused) || !plausible(r.pixels) || !plausible(r.original))
        return std::nullopt;
    return a;
}

} // namespace platform::readerproto
