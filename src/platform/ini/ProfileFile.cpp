#include "platform/ini/ProfileFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/ini/TextLines.h"

#include <QFile>
#include <QFileInfo>

namespace platform {
namespace {

QString fold(const QString &s) { return s.toCaseFolded(); }

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (isBlank(s[b]) || s[b] == u'\r' || s[b] == u'\n'))
        ++b;
    while (e > b && (isBlank(s[e - 1]) || s[e - 1] == u'\r' || s[e - 1] == u'\n'))
        --e;
    return s.mid(b, e - b).toString();
}

bool hasLineBreak(const QString &s) { return s.contains(u'\r') || s.contains(u'\n') || s.contains(QChar(0)); }

} // namespace

ProfileFile ProfileFile::load(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return ProfileFile();
    ProfileFile pf = fromBytes(f.readAll());
    pf.existed_ = true;
    return pf;
}

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile pf;
    pf.existed_ = true;
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF")) {
        pf.bom_ = true;
        body = body.sliced(3);
    }
    pf.encoding_ = TextCodec::detect(body);
    forEachLine(body, [&](QByteArrayView raw, QByteArrayView eol) {
        pf.lines_.push_back({raw.toByteArray(), eol.toByteArray(), QString()});
    });
    for (Line &l : pf.lines_) {
        const qsizetype nul = l.raw.indexOf('\0');
        pf.hasNul_ = pf.hasNul_ || nul >= 0;
        l.text = TextCodec::decode(nul < 0 ? QByteArrayView(l.raw) : QByteArrayView(l.raw).first(nul),
                                   pf.encoding_);
    }
    pf.parse();
    return pf;
}

void ProfileFile::parse()
{
    sections_.clear();
    firstSection_.clear();
    Section *cur = nullptr;
    for (int i = 0; i < int(lines_.size()); ++i) {
        const QString t = trimmed(lines_[i].text);
        if (t.isEmpty())
            continue;
        if (t.startsWith(u'[')) {
            const qsizetype close = t.lastIndexOf(u']');
            if (close > 0) {
                Section s;
                s.name = trimmed(QStringView(t).mid(1, close - 1));
                s.headerLine = s.lastLine = i;
                sections_.push_back(std::move(s));
                cur = &sections_.back();
                continue;
            }
        }
        if (!cur)
            continue;
        cur->lastLine = i;
        if (t.startsWith(u';'))
            continue;
        const qsizetype eq = t.indexOf(u'=');
        const QString name = trimmed(eq < 0 ? QStringView(t) : QStringView(t).first(eq));
        if (name.isEmpty())
            continue;
        cur->keys.push_back({name, i});
        const QString f = fold(name);
        if (!cur->firstKey.contains(f))
            cur->firstKey.insert(f, int(cur->keys.size()) - 1);
    }
    // The first of two equal sections wins.
    firstSection_.clear();
    for (int i = 0; i < int(sections_.size()); ++i) {
        const QString f = fold(sections_[i].name);
        if (!firstSection_.contains(f))
            firstSection_.insert(f, i);
    }
}

const ProfileFile::Section *ProfileFile::findSection(const QString &name) const
{
    const auto it = firstSection_.constFind(fold(trimmed(name)));
    return it == firstSection_.cend() ? nullptr : &sections_[*it];
}

QString ProfileFile::keyNameBuffer(const QString &section, int bufferSize) const
{
    const Section *s = findSection(section);
    if (!s || bufferSize < 2)
        return QString();
    QString buf;
    for (const Key &k : s->keys) {
        // A line without "=" is no key: it is not listed and takes no room in the list.
        if (!lines_[k.line].text.contains(u'='))
            continue;
        buf += k.name;
        buf += QChar(0);
        if (buf.size() > bufferSize)
            break;
    }
    if (buf.size() + 1 <= bufferSize)
        return buf; // the closing NUL fits
    // Too small: the last name is cut and the list closed with a NUL.
    buf.truncate(bufferSize - 2);
    buf += QChar(0);
    return buf;
}

QString ProfileFile::value(const QString &section, const QString &key, int bufferSize) const
{
    const Section *s = findSection(section);
    if (!s || bufferSize < 1)
        return QString();
    const auto it = s->firstKey.constFind(fold(trimmed(key)));
    if (it == s->firstKey.cend())
        return QString();
    const QString &t = lines_[s->keys[*it].line].text;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return QString();
    QString v = trimmed(QStringView(t).mid(eq + 1));
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.size() > bufferSize - 1)
        v.truncate(bufferSize - 1);
    return v;
}

QByteArray ProfileFile::newLineEnd() const
{
    int crlf = 0, lf = 0, cr = 0;
    for (const Line &l : lines_) {
        if (l.eol == "\r\n") ++crlf;
        else if (l.eol == "\n") ++lf;
        else if (l.eol == "\r") ++cr;
    }
    if (crlf == 0 && lf == 0 && cr == 0)
        return "\n";
    if (crlf >= lf && crlf >= cr)
        return "\r\n";
    return lf >= cr ? "\n" : "\r";
}

void ProfileFile::reencodeAsUtf8()
{
    for (Line &l : lines_)
        l.raw = TextCodec::decode(l.raw, encoding_).toUtf8();
    encoding_ = TextEncoding::Utf8;
}

bool ProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sec = trimmed(section);
    const QString k = trimmed(key);
    if (sec.isEmpty() || k.isEmpty() || hasLineBreak(sec) || hasLineBreak(k) || hasLineBreak(value)
        || sec.contains(u']') || k.contains(u'=') || k.startsWith(u'[') || k.startsWith(u';'))
        return false;

    auto encodeLine = [this](const QString &text) {
        bool ok = true;
        QByteArray b = TextCodec::encode(text, encoding_, &ok);
        if (!ok) {
            // Text the file's code page cannot hold: keep it by moving the file to UTF-8.
            reencodeAsUtf8();
            b = text.toUtf8();
        }
        return b;
    };

    const QByteArray eol = newLineEnd();
    const Section *s = findSection(sec);
    if (s) {
        const auto it = s->firstKey.constFind(fold(k));
        if (it != s->firstKey.cend()) {
            const Key &found = s->keys[*it];
            const QString text = found.name + u'=' + value;
            const QByteArray raw = encodeLine(text);
            Line &l = lines_[found.line];
            l.raw = raw;
            l.text = text;
        } else {
            const int after = s->lastLine;
            const QString text = k + u'=' + value;
            Line nl{encodeLine(text), QByteArray(), text};
            if (lines_[after].eol.isEmpty())
                lines_[after].eol = eol;
            nl.eol = eol;
            lines_.insert(lines_.begin() + after + 1, std::move(nl));
        }
    } else {
        if (!lines_.empty() && lines_.back().eol.isEmpty())
            lines_.back().eol = eol;
        const QString header = u'[' + sec + u']';
        const QString text = k + u'=' + value;
        Line hl{encodeLine(header), eol, header};
        Line kl{encodeLine(text), eol, text};
        lines_.push_back(std::move(hl));
        lines_.push_back(std::move(kl));
    }
    parse();
    return true;
}

QByteArray ProfileFile::toBytes() const
{
    QByteArray out;
    if (bom_)
        out += "\xEF\xBB\xBF";
    for (const Line &l : lines_) {
        out += l.raw;
        out += l.eol;
    }
    return out;
}

bool ProfileFile::save(const QString &path, QString *error) const
{
    // A file without write permission stays as it is, even where the rights of the running
    // user would let it be replaced.
    return writeFileAtomically(path, toBytes(), error);
}

bool ProfileFile::writeString(const QString &path, const QString &section, const QString &key,
                              const QString &value)
{
    ProfileFile pf = load(path);
    if (QFileInfo::exists(path) && !pf.existed())
        return false; // exists but unreadable: never replace what we could not read
    if (!pf.setValue(section, key, value))
        return false;
    return pf.save(path);
}

} // namespace platform
