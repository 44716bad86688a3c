#pragma once
// The one exception of the program: a failure with the run-time error number and
// description that the error report shows. Procedures catch it at their own boundary.
#include <QString>
#include <exception>

namespace ErrNo {
enum : long {
    InvalidCall = 5,        // "Invalid procedure call or argument"
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    FileAlreadyExists = 58,
    DiskFull = 61,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
    ObjectNotSet = 91,
    NoSuchProperty = 438,
    KeyInUse = 457,
    DownloadNoFileName = 0x800C0002L,
    DownloadFileExists = 0x800C0001L,
};
}

class AppError : public std::exception {
public:
    AppError(long number, QString description);
    // The standard description of a run-time error number.
    explicit AppError(long number);

    long number() const { return number_; }
    const QString &description() const { return description_; }
    const char *what() const noexcept override { return what_.constData(); }

    static QString standardDescription(long number);

private:
    long number_;
    QString description_;
    QByteArray what_;
};

// The number and description of the exception being handled (inside a catch block).
struct FailureInfo {
    long number = 0;
    QString description;
};
FailureInfo currentFailure();
