#include "dialogs/UpdateReply.h"

#include "platform/ini/TextCodec.h"
#include "platform/ini/TextLines.h"

UpdateReply readUpdateReply(QByteArrayView bytes, const QString &ownVersion)
{
    UpdateReply reply;
    const QString text = platform::TextCodec::decodeAuto(bytes);
    platform::forEachLine(QStringView(text), [&](QStringView line, QStringView) {
        ++reply.lines;
        const bool own = line.trimmed() == ownVersion;
        reply.lastIsOwn = own;
        reply.anotherVersion = reply.anotherVersion || !own;
        reply.lastLine = line.toString();
    });
    return reply;
}
