#include "mainwindow/CoverTableFile.h"

#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/CoverTable.h"
#include "core/libCoverData.h"
#include "core/mdlUtil.h"
#include "platform/files/AtomicFile.h"
#include "platform/ini/TextCodec.h"

#include <QFile>

namespace {

// The first line break of the text, CR LF when it has none.
QString lineBreakOf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            return QStringLiteral("\n");
        if (bytes[i] == '\r')
            return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? QStringLiteral("\r\n") : QStringLiteral("\r");
    }
    return QStringLiteral("\r\n");
}

} // namespace

void writeCoverTable(int medium, const CoverTable &table)
{
    const QString fileName = coverFileName(medium);
    if (table.isUnread())
        throw AppError(ErrNo::PermissionDenied,
                       QStringLiteral("The cover formats of %1 could not be read; the file is left as it is.").arg(fileName));
    const QString path = addBackslash(appPath()) + QStringLiteral("data/") + fileName;

    QByteArray old;
    {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            old = f.readAll();
    }
    const platform::TextEncoding encoding =
        old.isEmpty() ? platform::TextEncoding::Utf8 : platform::TextCodec::detect(old);
    const QString lineBreak = lineBreakOf(old);

    QString text;
    for (const CoverRecord &r : table.records())
        text += r.toLine() + lineBreak;
    bool encoded = true;
    QByteArray bytes = platform::TextCodec::encode(text, encoding, &encoded);
    if (!encoded) // a name that Windows-1252 cannot hold: the file becomes UTF-8
        bytes = platform::TextCodec::encode(text, platform::TextEncoding::Utf8);
    if (old.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xEF\xBB\xBF"))
        bytes.prepend("\xEF\xBB\xBF");

    QString why;
    if (!platform::writeFileAtomically(path, bytes, &why))
        throw AppError(ErrNo::PathFileAccess, why);
}
