#pragma once
// Reading a dropped text file or a playlist line by line, in bounded time and memory: only what
// the caller asks for is read, a piece at a time. The encoding is decided from the first 64 KiB:
// a UTF-16 byte order mark reads as UTF-16, else UTF-8 when those bytes are valid UTF-8, else
// Windows-1252; a UTF-8 byte order mark is dropped. Lines may end in CR LF, LF or CR; a line end
// after the last line opens no further line.
//
// What no track list can be is refused before it is read on: a file with NUL bytes in its first
// 64 KiB (a binary file, unless it is UTF-16), a line longer than 64 KiB, more than 16 MiB.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

class TextLineReader {
public:
    static constexpr qint64 kHeadBytes = 64 * 1024;
    static constexpr qint64 kMaxLineBytes = 64 * 1024;
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

    enum class Refusal { None, CannotOpen, NotText, LineTooLong, TooLarge };

    // Opens a regular file (never a FIFO or a device) and reads its head; false with refusal()
    // when it cannot be opened or is no text.
    bool open(const QString &path);
    // Reads from a device that is open for reading (not owned), as from a file.
    bool open(QIODevice *device);

    // The next line; nothing at the end of the file or once the file is refused.
    std::optional<QString> next();
    // Whether the whole file may be read: false, and refused as too large, when it holds more
    // than kMaxFileBytes.
    bool mayReadAll();
    Refusal refusal() const { return refusal_; }

private:
    enum class Encoding { Utf8, Windows1252, Utf16LE, Utf16BE };

    bool start();
    bool refill();
    QString decode(const QByteArray &line) const;
    bool isBreak(qsizetype at, char16_t what) const;
    std::optional<QString> refuse(Refusal why);

    QFile file_;
    QIODevice *device_ = nullptr;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qint64 consumed_ = 0; // bytes read from the device so far
    bool atEnd_ = false;
    bool skipLineFeed_ = false; // a CR ended the last line: a LF right after belongs to it
    int unit_ = 1;              // bytes per code unit
    Encoding encoding_ = Encoding::Utf8;
    Refusal refusal_ = Refusal::None;
};
