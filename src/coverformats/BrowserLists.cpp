#include "coverformats/BrowserLists.h"

#include "core/AppPath.h"
#include "platform/Rounding.h"
#include "platform/files/AtomicFile.h"
#include "platform/ini/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <climits>

namespace {

const QString kFavorites = QStringLiteral("FAVORITES");
const QString kDescriptions = QStringLiteral("DESCRIPTIONS");
const QString kLinks = QStringLiteral("LINKS");
const QString kFavoriteKey = QStringLiteral("favorite_");
const QString kDescriptionKey = QStringLiteral("desc_");
const QString kLinkKey = QStringLiteral("link_");

// Every key of a section with a value, by lower-case name; the first of equal keys wins.
QHash<QString, QString> sectionValues(const platform::ProfileFile &file, const QString &section)
{
    QHash<QString, QString> out;
    const QString names = file.keyNameBuffer(section, INT_MAX);
    for (const QString &name : names.split(QChar(0), Qt::SkipEmptyParts)) {
        const QString key = name.toLower();
        if (out.contains(key))
            continue;
        const QString value = file.value(section, name, INT_MAX);
        if (!value.isEmpty())
            out.insert(key, value);
    }
    return out;
}

// A file that is there but cannot be opened, or holds NUL bytes (UTF-16, damage), cannot be
// read as the program writes it.
bool readableAsWritten(const QString &path, const platform::ProfileFile &file)
{
    return file.existed() ? !file.hasNul() : !QFileInfo::exists(path);
}

// A file that exists but cannot be read is never replaced.
bool loadForWriting(const QString &path, platform::ProfileFile &file, QString *error)
{
    file = platform::ProfileFile::load(path);
    if (!readableAsWritten(path, file)) {
        if (error)
            *error = QStringLiteral("%1 cannot be read").arg(path);
        return false;
    }
    return true;
}

bool setValues(platform::ProfileFile &file, const QString &section,
               const QList<std::pair<QString, QString>> &values, QString *error)
{
    for (const auto &[key, value] : values) {
        if (!file.setValue(section, key, storedProfileValue(value))) {
            if (error)
                *error = QStringLiteral("%1 cannot be stored").arg(key);
            return false;
        }
    }
    return true;
}

} // namespace

QString storedProfileValue(const QString &value)
{
    QString v = value;
    for (QChar &c : v)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const bool quoted = v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front();
    if (!v.isEmpty() && (blank(v.front()) || blank(v.back()) || quoted))
        return u'"' + v + u'"';
    return v;
}

// ---- favourites -------------------------------------------------------------------------

QString FavoritesFile::defaultPath() { return appPath() + QStringLiteral("/data/favorites.dat"); }

FavoritesFile FavoritesFile::load(const QString &path)
{
    FavoritesFile f;
    const platform::ProfileFile file = platform::ProfileFile::load(path);
    f.m_readable = readableAsWritten(path, file);
    f.m_addresses = sectionValues(file, kFavorites);
    f.m_descriptions = sectionValues(file, kDescriptions);
    return f;
}

int FavoritesFile::count() const
{
    return roundToInt((m_addresses.size() + m_descriptions.size()) / 2.0);
}

QString FavoritesFile::description(int i, const QString &defaultValue) const
{
    return m_descriptions.value(kDescriptionKey + QString::number(i), defaultValue);
}

QString FavoritesFile::address(int i, const QString &defaultValue) const
{
    return m_addresses.value(kFavoriteKey + QString::number(i), defaultValue);
}

int FavoritesFile::append(const QString &path, const QString &address, const QString &description,
                          QString *error)
{
    platform::ProfileFile file;
    if (!loadForWriting(path, file, error))
        return -1;
    const FavoritesFile current = [&] {
        FavoritesFile f;
        f.m_addresses = sectionValues(file, kFavorites);
        f.m_descriptions = sectionValues(file, kDescriptions);
        return f;
    }();
    int n = current.count();
    while (!current.address(n, QString()).isEmpty() || !current.description(n, QString()).isEmpty())
        ++n;
    const QString number = QString::number(n);
    if (!setValues(file, kFavorites, {{kFavoriteKey + number, address}}, error)
        || !setValues(file, kDescriptions, {{kDescriptionKey + number, description}}, error))
        return -1;
    if (!platform::writeFileAtomically(path, file.toBytes(), error))
        return -1;
    return n;
}

bool FavoritesFile::store(const QString &path, int i, const QString &address, const QString &description,
                          QString *error)
{
    platform::ProfileFile file;
    if (!loadForWriting(path, file, error))
        return false;
    const QString number = QString::number(i);
    return setValues(file, kFavorites, {{kFavoriteKey + number, address}}, error)
           && setValues(file, kDescriptions, {{kDescriptionKey + number, description}}, error)
           && platform::writeFileAtomically(path, file.toBytes(), error);
}

bool FavoritesFile::rewrite(const QString &path, const QList<Favorite> &favorites, QString *error)
{
    platform::ProfileFile file;
    if (!loadForWriting(path, file, error))
        return false;
    if (favorites.isEmpty()) {
        if (QFileInfo::exists(path) && !QFile::remove(path)) {
            if (error)
                *error = QStringLiteral("%1 cannot be removed").arg(path);
            return false;
        }
        return true;
    }
    QString text;
    text.reserve(favorites.size() * 80);
    text += u'[' + kDescriptions + QStringLiteral("]\r\n");
    for (qsizetype i = 0; i < favorites.size(); ++i)
        text += kDescriptionKey + QString::number(i) + u'=' + storedProfileValue(favorites[i].description) + QStringLiteral("\r\n");
    text += u'[' + kFavorites + QStringLiteral("]\r\n");
    for (qsizetype i = 0; i < favorites.size(); ++i)
        text += kFavoriteKey + QString::number(i) + u'=' + storedProfileValue(favorites[i].address) + QStringLiteral("\r\n");
    return platform::writeFileAtomically(path, text.toUtf8(), error);
}

// ---- address history --------------------------------------------------------------------

QString AddressHistory::defaultPath() { return appPath() + QStringLiteral("/data/links.dat"); }

QStringList AddressHistory::load(const QString &path)
{
    const platform::ProfileFile file = platform::ProfileFile::load(path);
    QStringList out;
    for (int i = kMaxEntries - 1; i >= 0; --i) {
        const QString s = file.value(kLinks, kLinkKey + QString::number(i), INT_MAX);
        if (!s.trimmed().isEmpty())
            out << s;
    }
    return out;
}

bool AddressHistory::contains(const QStringList &newestFirst, const QString &address)
{
    const QString wanted = address.trimmed();
    for (const QString &entry : newestFirst)
        if (entry.trimmed() == wanted)
            return true;
    return false;
}

bool AddressHistory::save(const QString &path, const QStringList &newestFirst, QString *error)
{
    platform::ProfileFile file;
    if (!loadForWriting(path, file, error))
        return false;
    const int n = int(qMin<qsizetype>(newestFirst.size(), kMaxEntries));
    QList<std::pair<QString, QString>> values;
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString key = kLinkKey + QString::number(i);
        if (i < n)
            values.append({key, newestFirst[n - 1 - i]});
        else if (!file.value(kLinks, key, INT_MAX).isEmpty())
            values.append({key, QString()});
    }
    if (!setValues(file, kLinks, values, error))
        return false;
    return platform::writeFileAtomically(path, file.toBytes(), error);
}
