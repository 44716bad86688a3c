#include "core/AppError.h"

#include "platform/imaging/ImageCodecs.h"

#include <new>
#include <stdexcept>

AppError::AppError(long number, QString description)
    : number_(number), description_(std::move(description)), what_(description_.toUtf8())
{
}

AppError::AppError(long number) : AppError(number, standardDescription(number)) {}

QString AppError::standardDescription(long number)
{
    switch (number) {
    case ErrNo::InvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case ErrNo::Overflow: return QStringLiteral("Overflow");
    case ErrNo::OutOfMemory: return QStringLiteral("Out of memory");
    case ErrNo::SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case ErrNo::DivisionByZero: return QStringLiteral("Division by zero");
    case ErrNo::TypeMismatch: return QStringLiteral("Type mismatch");
    case ErrNo::BadFileName: return QStringLiteral("Bad file name or number");
    case ErrNo::FileNotFound: return QStringLiteral("File not found");
    case ErrNo::FileAlreadyExists: return QStringLiteral("File already exists");
    case ErrNo::DiskFull: return QStringLiteral("Disk full");
    case ErrNo::PermissionDenied: return QStringLiteral("Permission denied");
    case ErrNo::PathFileAccess: return QStringLiteral("Path/File access error");
    case ErrNo::PathNotFound: return QStringLiteral("Path not found");
    case ErrNo::ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case ErrNo::NoSuchProperty: return QStringLiteral("Object doesn't support this property or method");
    case ErrNo::KeyInUse: return QStringLiteral("This key is already associated with an element of this collection");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

FailureInfo currentFailure()
{
    if (!std::current_exception())
        return {};
    try {
        throw;
    } catch (const AppError &e) {
        return {e.number(), e.description()};
    } catch (const platform::PictureTooLarge &e) {
        return {ErrNo::OutOfMemory, QString::fromUtf8(e.what())};
    } catch (const std::bad_alloc &) {
        return {ErrNo::OutOfMemory, AppError::standardDescription(ErrNo::OutOfMemory)};
    } catch (const std::out_of_range &e) {
        return {ErrNo::SubscriptOutOfRange, QString::fromUtf8(e.what())};
    } catch (const std::exception &e) {
        return {ErrNo::InvalidCall, QString::fromUtf8(e.what())};
    } catch (...) {
        return {ErrNo::InvalidCall, AppError::standardDescription(ErrNo::InvalidCall)};
    }
}
