#pragma once
// The messages between the program and its picture reader (framed as HelperChannel frames
// them), and the descriptors the helper is given. The program reads every answer through the
// readers below: one that is short, too long or holds a value out of range is no answer.
#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

// PELMORA_SANITIZED: built with AddressSanitizer, whose allocator and memory limit the helper
// then uses in place of the system's address-space limit.
#if defined(__SANITIZE_ADDRESS__)
#define PELMORA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELMORA_SANITIZED 1
#endif
#endif

namespace platform::readerproto {

// The helper's descriptors beside the socket on standard input and output; its standard
// error is a pipe the program reads what it wants of.
constexpr int kPixelsFd = 3; // the memfd the pixels go into, rows of 4 x width bytes
constexpr int kNoticeFd = 4; // written to when an allocation failed: the helper ran out of memory

constexpr quint32 kMaxMessage = 64 * 1024;
// The longest message text an answer may carry.
constexpr int kMaxText = 2048;

// The helper says Ready once it is set up, then waits for the request, which comes with a
// descriptor to read the picture's bytes from (the file the program opened, or a memfd of a
// picture held in memory); it answers a preview's size with Size and gets the size to decode
// at, and ends with Result. A helper started ahead of a load is told, as "--pixels=N", the
// bytes of the picture it is to expect, to make their memory while it waits.
enum class Kind : quint8 { File = 1, Data = 2, Preview = 3 };
enum class Answer : quint8 { Size = 1, Result = 2, Ready = 3 };

struct Request {
    Kind kind = Kind::File;
    QString name; // of a file, its path; of a picture held in memory, the name or address it came by
};

struct Result {
    qint32 error = 0;   // a CodecError number: one a helper can give
    QString message;
    QSize refused;      // the size a TooLarge names
    QSize pixels;       // the picture in the memfd
    QSize original;     // of a preview: the picture's own size
};

QByteArray encode(const Request &r);
std::optional<Request> decodeRequest(const QByteArray &bytes);

QByteArray readyAnswer();
QByteArray sizeAnswer(QSize original);
QByteArray resultAnswer(const Result &r);
QByteArray targetReply(QSize target);
std::optional<QSize> decodeTarget(const QByteArray &bytes);

// An answer of the helper: its type, and the size or the result it carries.
struct Answered {
    Answer type = Answer::Result;
    QSize size;
    Result result;
};
std::optional<Answered> decodeAnswer(const QByteArray &bytes);

} // namespace platform::readerproto
