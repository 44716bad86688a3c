#include "coverformats/CoverFormatChecks.h"

#include "coverformats/CoverFormatDrawing.h"
#include "mainwindow/LocaleNumbers.h"

#include <cfloat>
#include <cmath>

QString coverNameRejection(const QString &name)
{
    if (name.trimmed().isEmpty() || name.size() > kMaxCoverNameLength)
        return QStringLiteral("ERR_COVER_NAME");
    if (name.contains(u';') || name.contains(u'\n') || name.contains(u'\r'))
        return QStringLiteral("ERR_INVALID");
    return QString();
}

std::optional<double> readCoverLength(const QString &text)
{
    const std::optional<double> v = parseUserNumber(text);
    if (!v || std::fabs(*v) > double(FLT_MAX))
        return std::nullopt;
    return v;
}

QString coverLengthRejection(CoverLengthField field, const QString &text, const QString &widthText,
                             const QString &crease1Text, const QString &crease2Text)
{
    const QString noNumber = QStringLiteral("ERR_NO_NUMBER");
    const QString borderSize = QStringLiteral("ERR_BORDER_SIZE");
    const std::optional<double> v = readCoverLength(text);
    const auto creaseOrZero = [](const QString &crease) {
        return crease.isEmpty() ? 0.0 : readCoverLength(crease).value_or(0.0);
    };
    switch (field) {
    case CoverLengthField::Height:
        return !v || *v <= 0 ? noNumber : QString();
    case CoverLengthField::Width:
        if (!v || *v <= 0)
            return noNumber;
        if (*v < creaseOrZero(crease1Text) - kLengthTolerance || *v < creaseOrZero(crease2Text) - kLengthTolerance)
            return borderSize;
        return QString();
    case CoverLengthField::LeftOffset:
    case CoverLengthField::TopOffset:
        return !v || *v < 0 ? noNumber : QString();
    case CoverLengthField::Crease: {
        if (!v || *v < 0)
            return noNumber;
        const std::optional<double> width = readCoverLength(widthText);
        if (width && *v > *width + kLengthTolerance)
            return borderSize;
        return QString();
    }
    }
    return QString();
}
