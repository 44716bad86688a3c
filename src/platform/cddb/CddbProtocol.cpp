#include "platform/cddb/CddbProtocol.h"

#include "platform/cddb/CddbError.h"
#include "platform/ini/TextCodec.h"

#include <QHash>

namespace platform {

namespace {

// The text of a line for a description, short and printable.
QString shown(QByteArrayView line)
{
    QString s = TextCodec::decodeAuto(line.first(qMin<qsizetype>(line.size(), 120)));
    for (QChar &c : s) {
        if (!c.isPrint())
            c = u'?';
    }
    return s;
}

[[noreturn]] void bad(const QString &why)
{
    throw CddbError(CddbErr::BadReply, QStringLiteral("The CDDB server's answer is not valid: %1").arg(why));
}

// Splits an answer into lines without their line ends.
class Lines {
public:
    explicit Lines(const QByteArray &bytes) : bytes_(bytes) {}

    bool next(QByteArrayView &line)
    {
        if (pos_ >= bytes_.size())
            return false;
        qsizetype end = bytes_.indexOf('\n', pos_);
        const bool lastLine = end < 0;
        if (lastLine)
            end = bytes_.size();
        qsizetype stop = end;
        if (stop > pos_ && bytes_[stop - 1] == '\r')
            --stop;
        line = QByteArrayView(bytes_.constData() + pos_, stop - pos_);
        pos_ = lastLine ? end : end + 1;
        return true;
    }

private:
    const QByteArray &bytes_;
    qsizetype pos_ = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The status of the first line: three digits, then a blank or the line's end.
int statusOf(QByteArrayView line)
{
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2])
        || (line.size() > 3 && line[3] != ' '))
        bad(QStringLiteral("it does not begin with a CDDB status line (\"%1\").").arg(shown(line)));
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// Reports an error status the server gave.
[[noreturn]] void statusFailure(int status, QByteArrayView line)
{
    const long number = cddbStatusError(status);
    if (number == CddbErr::ServerBusy)
        throw CddbError(number, QStringLiteral("The CDDB server is busy: %1").arg(shown(line)));
    if (number == CddbErr::DiscNotFound)
        throw CddbError(number, QStringLiteral("The CDDB server knows no such disc: %1").arg(shown(line)));
    throw CddbError(number, QStringLiteral("The CDDB server refused the request: %1").arg(shown(line)));
}

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '-';
}

bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A title cut to kMaxCddbTitleChars, in a string of its own size (a decoded one may hold room
// for as many characters as it had bytes): a cut that would leave the first half of a
// surrogate pair leaves out the whole pair.
QString bounded(const QString &text)
{
    qsizetype n = qMin(text.size(), kMaxCddbTitleChars);
    if (n < text.size() && text[n - 1].isHighSurrogate())
        --n;
    return QString(text.constData(), n);
}

// Text as one line: every control character (NUL, tab, line breaks, ...) and line or paragraph
// separator counts as a blank, a run of blanks becomes one, and none is left at either end.
QString oneLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (const QChar c : text) {
        const QChar::Category cat = c.category();
        if (c == u' ' || cat == QChar::Other_Control || cat == QChar::Separator_Line
            || cat == QChar::Separator_Paragraph) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += c;
    }
    return out;
}

// A title of one line cut to kMaxCddbTitleChars; a blank the cut leaves at the end goes too.
QString titleOf(const QString &line)
{
    QString t = bounded(line);
    if (t.endsWith(u' '))
        t.chop(1);
    return t;
}

// "category discid title"
CddbMatch matchOf(QByteArrayView text)
{
    const qsizetype a = text.indexOf(' ');
    const QByteArrayView category = a < 0 ? text : text.first(a);
    const QByteArrayView rest = a < 0 ? QByteArrayView() : text.sliced(a + 1);
    const qsizetype b = rest.indexOf(' ');
    const QByteArrayView id = b < 0 ? rest : rest.first(b);
    const QByteArrayView title = b < 0 ? QByteArrayView() : rest.sliced(b + 1);
    bool ok = !category.isEmpty() && category.size() <= 64 && id.size() == 8;
    for (char c : category)
        ok = ok && isWordChar(c);
    for (char c : id)
        ok = ok && isHex(c);
    if (!ok)
        bad(QStringLiteral("\"%1\" is no match line (category, disc id, title).").arg(shown(text)));
    return {QString::fromLatin1(category), QString::fromLatin1(id).toLower(), titleOf(oneLine(TextCodec::decodeAuto(title)))};
}

QByteArray unescape(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char n = value[i + 1];
            if (n == 'n' || n == 't' || n == '\\') {
                out += n == 'n' ? '\n' : n == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString textOf(const QByteArray &raw) { return TextCodec::decodeAuto(unescape(raw)); }

} // namespace

long cddbStatusError(int status)
{
    switch (status) {
    case 202: return CddbErr::DiscNotFound;
    case 417:
    case 433:
    case 434: return CddbErr::ServerBusy;
    default: return CddbErr::ServerRefused;
    }
}

QList<CddbMatch> parseQueryReply(const QByteArray &reply)
{
    Lines lines(reply);
    QByteArrayView line;
    if (!lines.next(line))
        bad(QStringLiteral("it is empty."));
    const int status = statusOf(line);
    const QByteArrayView text = line.size() > 4 ? line.sliced(4) : QByteArrayView();
    if (status == 200)
        return {matchOf(text)};
    if (status == 210 || status == 211) {
        QList<CddbMatch> matches;
        while (lines.next(line)) {
            if (line == ".") {
                if (matches.isEmpty())
                    throw CddbError(CddbErr::DiscNotFound, QStringLiteral("The CDDB server listed no match."));
                return matches;
            }
            const CddbMatch m = matchOf(line);
            if (matches.size() < kMaxCddbMatches)
                matches << m;
        }
        bad(QStringLiteral("the list of matches ends before its closing \".\"."));
    }
    if (status == 202 || (status >= 400 && status < 600))
        statusFailure(status, line);
    bad(QStringLiteral("the status %1 does not answer a query (\"%2\").").arg(status).arg(shown(line)));
}

CddbEntry parseReadReply(const QByteArray &reply, int trackCount)
{
    Lines lines(reply);
    QByteArrayView line;
    if (!lines.next(line))
        bad(QStringLiteral("it is empty."));
    const int status = statusOf(line);
    if (status >= 400 && status < 600)
        statusFailure(status, line);
    if (status != 210)
        bad(QStringLiteral("the status %1 does not answer a read (\"%2\").").arg(status).arg(shown(line)));

    QByteArray dtitle;
    QList<QByteArray> ttitles(qMax(0, trackCount));
    bool closed = false;
    while (lines.next(line)) {
        if (line == ".") {
            closed = true;
            break;
        }
        if (line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArrayView key = line.first(eq);
        const QByteArrayView value = line.sliced(eq + 1);
        if (key == "DTITLE") {
            dtitle += value;
        } else if (key.startsWith("TTITLE")) {
            const QByteArrayView number = key.sliced(6);
            bool digits = !number.isEmpty() && number.size() <= 3;
            for (char c : number)
                digits = digits && isDigit(c);
            if (!digits)
                continue;
            const int n = number.toInt();
            if (n < trackCount)
                ttitles[n] += value;
        }
    }
    if (!closed)
        bad(QStringLiteral("the disc entry ends before its closing \".\"."));

    CddbEntry entry;
    const QString both = textOf(dtitle);
    const qsizetype sep = both.indexOf(QLatin1String(" / "));
    if (sep < 0) {
        entry.artist = entry.title = titleOf(oneLine(both));
    } else {
        entry.artist = titleOf(oneLine(both.first(sep)));
        entry.title = titleOf(oneLine(both.sliced(sep + 3)));
    }
    for (const QByteArray &t : ttitles)
        entry.trackTitles << titleOf(oneLine(textOf(t)));
    return entry;
}

} // namespace platform
