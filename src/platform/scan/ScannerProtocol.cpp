#include "platform/scan/ScannerProtocol.h"

#include <QIODevice>
#include <QtEndian>

namespace platform::scanproto {

namespace {

enum : quint8 { NoValue = 0, BoolValue = 1, DoubleValue = 2, StringValue = 3 };

// Reads a string or byte array whose announced length fits in what is left of the answer;
// a longer claim is corrupt data, refused before anything is allocated for it.
template <class T>
void readSized(QDataStream &s, T &v)
{
    if (s.status() != QDataStream::Ok)
        return;
    const QByteArray head = s.device()->peek(4);
    if (head.size() == 4) {
        const quint32 n = qFromBigEndian<quint32>(head.constData());
        if (n != 0xffffffffu && qint64(n) > s.device()->bytesAvailable() - 4) {
            s.setStatus(QDataStream::ReadCorruptData);
            return;
        }
    }
    s >> v;
}

bool validStatus(qint32 st) { return st >= ScanStatus::Good && st <= ScanStatus::AccessDenied; }

// Runs read over the answer; true only when it read every byte and nothing failed.
template <class Read>
bool readAnswer(const QByteArray &answer, Read &&read)
{
    QDataStream s(answer);
    prepare(s);
    const bool ok = read(s);
    return ok && s.status() == QDataStream::Ok && s.atEnd();
}

// A list read element by element: its count cannot ask for more than the answer holds.
template <class T, class One>
bool readList(QDataStream &s, QList<T> &out, One &&one)
{
    quint32 n = 0;
    s >> n;
    if (s.status() != QDataStream::Ok || qint64(n) > s.device()->bytesAvailable())
        return false;
    out.clear();
    for (quint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        T v{};
        one(s, v);
        out.append(std::move(v));
    }
    return s.status() == QDataStream::Ok;
}

bool readOne(QDataStream &s, ScanDevice &d)
{
    readSized(s, d.name);
    readSized(s, d.vendor);
    readSized(s, d.model);
    readSized(s, d.type);
    return s.status() == QDataStream::Ok;
}

bool readOne(QDataStream &s, ScanOption &o)
{
    quint8 kind = 0;
    s >> kind;
    readSized(s, o.title);
    if (!readList(s, o.strings, [](QDataStream &st, QString &v) { readSized(st, v); })
        || !readList(s, o.values, [](QDataStream &st, double &v) { st >> v; }))
        return false;
    s >> o.hasRange >> o.min >> o.max >> o.step;
    readValue(s, o.value);
    s >> o.active >> o.settable;
    if (kind > quint8(ScanOption::Kind::Group))
        return false;
    o.kind = ScanOption::Kind(kind);
    return s.status() == QDataStream::Ok;
}

bool readOne(QDataStream &s, ScanParameters &p)
{
    quint8 frame = 0;
    qint32 bpl = 0, ppl = 0, lines = 0, depth = 0;
    s >> frame >> p.lastFrame >> bpl >> ppl >> lines >> depth;
    if (s.status() != QDataStream::Ok || frame > quint8(ScanParameters::Frame::Other) || bpl < 0 || ppl < 0
        || lines < -1 || depth < 0)
        return false;
    p.frame = ScanParameters::Frame(frame);
    p.bytesPerLine = bpl;
    p.pixelsPerLine = ppl;
    p.lines = lines;
    p.depth = depth;
    return true;
}

} // namespace

void prepare(QDataStream &s) { s.setVersion(QDataStream::Qt_6_0); }

void writeValue(QDataStream &s, const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool: s << quint8(BoolValue) << v.toBool(); break;
    case QMetaType::QString: s << quint8(StringValue) << v.toString(); break;
    default:
        if (v.canConvert<double>() && v.isValid())
            s << quint8(DoubleValue) << v.toDouble();
        else
            s << quint8(NoValue);
        break;
    }
}

void readValue(QDataStream &s, QVariant &v)
{
    quint8 tag = NoValue;
    s >> tag;
    switch (tag) {
    case NoValue: v = QVariant(); break;
    case BoolValue: { bool b = false; s >> b; v = b; break; }
    case DoubleValue: { double d = 0; s >> d; v = d; break; }
    case StringValue: { QString t; readSized(s, t); v = t; break; }
    default: s.setStatus(QDataStream::ReadCorruptData); break;
    }
}

QDataStream &operator<<(QDataStream &s, const ScanDevice &d) { return s << d.name << d.vendor << d.model << d.type; }

QDataStream &operator<<(QDataStream &s, const ScanOption &o)
{
    s << quint8(o.kind) << o.title << o.strings << o.values << o.hasRange << o.min << o.max << o.step;
    writeValue(s, o.value);
    return s << o.active << o.settable;
}

QDataStream &operator<<(QDataStream &s, const ScanParameters &p)
{
    return s << quint8(p.frame) << p.lastFrame << qint32(p.bytesPerLine) << qint32(p.pixelsPerLine) << qint32(p.lines)
             << qint32(p.depth);
}

void writeDevices(QDataStream &s, const QList<ScanDevice> &devices)
{
    s << quint32(devices.size());
    for (const ScanDevice &d : devices)
        s << d;
}

bool readStatus(const QByteArray &answer, int &status)
{
    return readAnswer(answer, [&](QDataStream &s) {
        qint32 st = -1;
        s >> st;
        status = st;
        return s.status() == QDataStream::Ok && validStatus(st);
    });
}

bool readDevices(const QByteArray &answer, int &status, QList<ScanDevice> &out)
{
    out.clear();
    const bool ok = readAnswer(answer, [&](QDataStream &s) {
        qint32 st = -1;
        s >> st;
        status = st;
        if (s.status() != QDataStream::Ok || !validStatus(st))
            return false;
        return readList(s, out, [](QDataStream &st2, ScanDevice &d) { readOne(st2, d); });
    });
    if (!ok)
        out.clear();
    return ok;
}

bool readOpen(const QByteArray &answer, int &status, qint32 &id)
{
    return readAnswer(answer, [&](QDataStream &s) {
        qint32 st = -1;
        s >> st >> id;
        status = st;
        return s.status() == QDataStream::Ok && validStatus(st);
    });
}

bool readOption(const QByteArray &answer, std::optional<ScanOption> &out)
{
    out.reset();
    ScanOption o;
    bool has = false;
    const bool ok = readAnswer(answer, [&](QDataStream &s) {
        s >> has;
        return s.status() == QDataStream::Ok && (!has || readOne(s, o));
    });
    if (ok && has)
        out = std::move(o);
    return ok;
}

bool readParameters(const QByteArray &answer, int &status, ScanParameters &out)
{
    return readAnswer(answer, [&](QDataStream &s) {
        qint32 st = -1;
        s >> st;
        status = st;
        if (s.status() != QDataStream::Ok || !validStatus(st))
            return false;
        ScanParameters p;
        if (!readOne(s, p))
            return false;
        if (st == ScanStatus::Good)
            out = p;
        return true;
    });
}

bool readData(const QByteArray &answer, int maxLength, int &status, QByteArray &data)
{
    data.clear();
    const bool ok = readAnswer(answer, [&](QDataStream &s) {
        qint32 st = -1;
        s >> st;
        readSized(s, data);
        status = st;
        return s.status() == QDataStream::Ok && validStatus(st) && data.size() <= maxLength
               && (st != ScanStatus::Good || !data.isEmpty());
    });
    if (!ok)
        data.clear();
    return ok;
}

} // namespace platform::scanproto
