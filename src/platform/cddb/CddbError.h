#pragma once
// The failures of the CD component, numbered as the program that uses it expects: 1005 the
// server cannot be reached, 1006 the disc is not known, 1008 the server is busy, and numbers
// of our own for everything else, each with a description that says what went wrong.
#include <QByteArray>
#include <QString>

#include <exception>

namespace platform {

namespace CddbErr {
enum : long {
    ServerNotAvailable = 1005, // refused, host not found, time limit, an HTTP error status
    DiscNotFound = 1006,       // no match, or no match whose entry could be read
    ServerBusy = 1008,         // CDDB 417, 433, 434 or HTTP 503
    BadReply = 1010,           // an answer the protocol does not allow
    ServerRefused = 1011,      // a CDDB error status other than the busy ones
    DiscUnreadable = 1012,     // no disc, no drive, or the drive could not read the table of contents
    InvalidToc = 1013,         // a table of contents that no disc id can be made of
    Cancelled = 1014,          // the lookup was stopped by the user
};
}

// What a failure is about where the program tells it in its own words, beyond the number:
// an answer or a disc's entry larger than the limit (limit() bytes) that the lookup allows.
enum class CddbCause { Other, AnswerTooLarge, EntryTooLarge };

class CddbError : public std::exception {
public:
    CddbError(long number, QString description, CddbCause cause = CddbCause::Other, qint64 limit = 0)
        : number_(number), description_(std::move(description)), what_(description_.toUtf8()), cause_(cause),
          limit_(limit)
    {
    }
    long number() const { return number_; }
    const QString &description() const { return description_; }
    const char *what() const noexcept override { return what_.constData(); }
    CddbCause cause() const { return cause_; }
    qint64 limit() const { return limit_; }

private:
    long number_;
    QString description_;
    QByteArray what_;
    CddbCause cause_;
    qint64 limit_;
};

} // namespace platform
