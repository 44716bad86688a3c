#include "dialogs/UpdateReply.h"

#include "platform/ini/TextCodec.h"

UpdateReply readUpdateReply(QByteArrayView bytes, const QString &ownVersion)
{
    UpdateReply reply;
    const QString text = platform::TextCodec::decodeAuto(bytes);
    const auto take = [&](QStringView line) {
        ++reply.lines;
        const bool own = line.trimmed() == ownVersion;
        reply.lastIsOwn = own;
        reply.anotherVersion = reply.anotherVersion || !own;
        reply.lastLine = line.toString();
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        take(QStringView(text).sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        take(QStringView(text).sliced(start));
    return reply;
}
