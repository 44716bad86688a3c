#include "platform/ini/TextCodec.h"

#include <QStringDecoder>

namespace platform {
namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252. The five bytes the code page leaves
// undefined map to the C1 control of the same number, so every byte round-trips.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int encode1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

bool TextCodec::isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = dec.decode(bytes);
    return !dec.hasError();
}

TextEncoding TextCodec::detect(QByteArrayView bytes)
{
    return isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString TextCodec::decode(QByteArrayView bytes, TextEncoding enc)
{
    if (enc == TextEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = QChar((b >= 0x80 && b < 0xA0) ? kHigh1252[b - 0x80] : char16_t(b));
    }
    return out;
}

QByteArray TextCodec::encode(QStringView text, TextEncoding enc, bool *ok)
{
    if (ok)
        *ok = true;
    if (enc == TextEncoding::Utf8)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const int b = encode1252(ch.unicode());
        if (b < 0) {
            if (ok)
                *ok = false;
            out.append('?');
        } else {
            out.append(char(b));
        }
    }
    return out;
}

QString TextCodec::decodeAuto(QByteArrayView bytes, TextEncoding *used)
{
    const TextEncoding enc = detect(bytes);
    if (used)
        *used = enc;
    return decode(bytes, enc);
}

} // namespace platform
