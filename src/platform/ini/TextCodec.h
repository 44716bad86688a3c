#pragma once
// Decoding of the program's text files: UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252 (the code page the data and language files were first written in).
#include <QByteArray>
#include <QString>

namespace platform {

enum class TextEncoding { Utf8, Windows1252 };

class TextCodec {
public:
    static bool isValidUtf8(QByteArrayView bytes);
    static TextEncoding detect(QByteArrayView bytes);
    static QString decode(QByteArrayView bytes, TextEncoding enc);
    // Encodes text; returns false in *ok when a character has no Windows-1252 code.
    static QByteArray encode(QStringView text, TextEncoding enc, bool *ok = nullptr);
    // Detects and decodes in one step.
    static QString decodeAuto(QByteArrayView bytes, TextEncoding *used = nullptr);
};

} // namespace platform
