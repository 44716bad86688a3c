#include "tracklists/clsID3v1Tag.h"

#include "platform/files/AtomicFile.h"
#include "platform/files/RegularFile.h"
#include "platform/ini/TextCodec.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kTagSize = 128;
constexpr qint64 kCopyChunk = 1 << 20;

const char *const kGenres =
    "Blues|Classic Rock|Country|Dance|Disco|Funk|Grunge|Hip-Hop|Jazz|Metal|"
    "New Age|Oldies|Other|Pop|R&B|Rap|Reggae|Rock|Techno|Industrial|"
    "Alternative|Ska|Death Metal|Pranks|Soundtrack|Euro-Techno|Ambient|Trip-Hop|Vocal|Jazz+Funk|"
    "Fusion|Trance|Classical|Instrumental|Acid|House|Game|Sound Clip|Gospel|Noise|"
    "AlternRock|Bass|Soul|Punk|Space|Meditative|Instrumental Pop|Instrumental Rock|Ethnic|Gothic|"
    "Darkwave|Techno-Industrial|Electronic|Pop-Folk|Eurodance|Dream|Southern Rock|Comedy|Cult|Gangsta|"
    "Top 40|Christian Rap|Pop/Funk|Jungle|Native American|Cabaret|New Wave|Psychadelic|Rave|Showtunes|"
    "Trailer|Lo-Fi|Tribal|Acid Punk|Acid Jazz|Polka|Retro|Musical|Rock & Roll|Hard Rock|"
    "Folk|Folk-Rock|National Folk|Swing|Fusion|Bebob|Latin|Revival|Celtic|Bluegrass|"
    "Avantgarde|Gothic Rock|Progressive Rock|Psychadelic Rock|Symphonic Rock|Slow Rock|Big Band|Chorus|Easy Listening|Acoustic|"
    "Humour|Speech|Chanson|Opera|Chamber Music|Sonata|Symphony|Booty Bass|Primus|Porn Groove|"
    "Satire|Slow Jam|Club|Tango|Samba|Folklore|Ballad|Power Ballad|Rhythmic Soul|Freestyle|"
    "Duet|Punk Rock|Drum Solo|A Capella|Euro-House|Dance Hall|Goa|Drum & Bass|Club-House|Hardcore|"
    "Terror|Indie|BritPop|Negerpunk|Polsk Punk|Beat|Christian Gangsta Rap|Heavy Metal|Black Metal|Crossover|"
    "Contemporary Christian|Christian Rock|Merengue|Salsa|Thrash Metal|Anime|JPop|Synthpop";

QString fromAnsi(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return platform::TextCodec::decode(nul < 0 ? bytes : bytes.first(nul), platform::TextEncoding::Windows1252);
}

// The tag's position: the file's size less 128 when it ends in a tag, else nothing.
std::optional<qint64> tagStart(QFile &file)
{
    if (!HasTag(file))
        return std::nullopt;
    return file.size() - kTagSize;
}

// Replaces the file at path, open as source, by its first `keep` bytes followed by `tail`.
bool rewriteFile(QFile &source, const QString &path, qint64 keep, const QByteArray &tail, bool &openFailed)
{
    openFailed = false;
    platform::AtomicFile out(path);
    if (!out.open()) {
        openFailed = true;
        return false;
    }
    if (!source.seek(0))
        return false;
    QByteArray buffer;
    for (qint64 left = keep; left > 0;) {
        buffer = source.read(std::min(left, kCopyChunk));
        if (buffer.isEmpty() || !out.write(buffer))
            return false;
        left -= buffer.size();
    }
    if (!tail.isEmpty() && !out.write(tail))
        return false;
    source.close();
    return out.commit();
}

} // namespace

std::optional<Id3v1Record> parseId3v1Record(QByteArrayView record)
{
    if (record.size() != kTagSize)
        return std::nullopt;
    Id3v1Record r;
    r.id = fromAnsi(record.sliced(0, 3));
    r.title = fromAnsi(record.sliced(3, 30));
    r.artist = fromAnsi(record.sliced(33, 30));
    r.album = fromAnsi(record.sliced(63, 30));
    r.year = fromAnsi(record.sliced(93, 4));
    r.marker = std::uint8_t(record[125]);
    if (r.marker != 0) {
        r.comment = fromAnsi(record.sliced(97, 30));
        r.track = 0;
        r.version11 = false;
    } else {
        r.comment = fromAnsi(record.sliced(97, 28));
        r.track = std::uint8_t(record[126]);
        r.version11 = true;
    }
    r.genre = std::uint8_t(record[127]);
    return r;
}

bool HasTag(QIODevice &file)
{
    const qint64 remembered = file.pos();
    QByteArray marker;
    const qint64 size = file.size();
    if (size >= kTagSize && file.seek(size - kTagSize))
        marker = file.read(3);
    file.seek(remembered);
    return marker.toUpper() == "TAG";
}

clsID3v1Tag::clsID3v1Tag() { ClearTag(); }

const QStringList &clsID3v1Tag::genreNames()
{
    static const QStringList names = QString::fromLatin1(kGenres).split(u'|');
    return names;
}

QString clsID3v1Tag::GenreString() const
{
    if (mByteGenre == 255)
        return QString();
    if (mByteGenre < genreNames().size())
        return genreNames()[mByteGenre];
    return QStringLiteral("Unknown");
}

void clsID3v1Tag::setGenreString(const QString &name)
{
    const qsizetype i = genreNames().indexOf(name);
    mByteGenre = i < 0 ? 255 : std::uint8_t(i);
}

void clsID3v1Tag::ClearTag()
{
    mStrID.clear();
    mStrTitle.clear();
    mStrArtist.clear();
    mStrAlbum.clear();
    mStrYear.clear();
    mStrComment.clear();
    mByteTrack = 0;
    mByteMarker = 0;
    mByteGenre = 255;
}

QString clsID3v1Tag::CutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QByteArray clsID3v1Tag::FixLength(const QByteArray &bytes, int width)
{
    QByteArray out = bytes.left(width);
    if (out.size() < width)
        out.append(width - out.size(), '\0');
    return out;
}

QByteArray clsID3v1Tag::toAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append('?'); // one character outside the code page, one "?"
            ++i;
            continue;
        }
        out.append(platform::TextCodec::encode(QStringView(&text.constData()[i], 1), platform::TextEncoding::Windows1252));
    }
    return out;
}

void clsID3v1Tag::setStatus(Outcome outcome, const char *operation)
{
    static const char *const kWhat[] = {"Unknown Error", "Success", "Invalid File", "File has no Tag"};
    mStatus.number = kErrorBase + outcome;
    mStatus.description = QStringLiteral("%1Error: %2").arg(QLatin1String(operation), QLatin1String(kWhat[outcome + 1]));
    mStatus.source = QStringLiteral("clsID3v1Tag->%1Tag()").arg(QLatin1String(operation));
}

bool clsID3v1Tag::ReadTag(float &version)
{
    mStatus = {};
    // Only a regular file: a FIFO or a device named like an MP3 file is an invalid file.
    QFile file;
    if (!platform::openRegularFile(file, mStrFilename)) {
        ClearTag();
        setStatus(InvalidFile, "Read");
        return false;
    }
    const auto start = tagStart(file);
    if (!start) {
        ClearTag();
        setStatus(NoTag, "Read");
        return false;
    }
    const QByteArray bytes = file.seek(*start) ? file.read(kTagSize) : QByteArray();
    file.close();
    const auto record = parseId3v1Record(bytes);
    if (!record) {
        ClearTag();
        setStatus(UnknownError, "Read");
        return false;
    }
    mStrID = record->id;
    mStrTitle = record->title;
    mStrArtist = record->artist;
    mStrAlbum = record->album;
    mStrYear = record->year;
    mStrComment = record->comment;
    mByteMarker = record->marker;
    mByteTrack = record->track;
    mByteGenre = record->genre;
    version = record->version11 ? 1.1f : 1.0f;
    setStatus(Success, "Read");
    return true;
}

bool clsID3v1Tag::WriteTag(float version)
{
    mStatus = {};
    // Only a regular file: a FIFO or a device named like an MP3 file is an invalid file.
    QFile file;
    if (!platform::openRegularFile(file, mStrFilename)) {
        setStatus(InvalidFile, "Write");
        return false;
    }
    const bool v10 = version == 1.0f, v11 = version == 1.1f;
    if (!v10 && !v11) {
        setStatus(UnknownError, "Write");
        return false;
    }
    const qint64 keep = tagStart(file).value_or(file.size());
    QByteArray record = QByteArrayLiteral("TAG");
    record += FixLength(toAnsi(mStrTitle), 30);
    record += FixLength(toAnsi(mStrArtist), 30);
    record += FixLength(toAnsi(mStrAlbum), 30);
    record += FixLength(toAnsi(mStrYear), 4);
    if (v10) {
        record += FixLength(toAnsi(mStrComment), 30);
    } else {
        record += FixLength(toAnsi(mStrComment), 28);
        record += '\0';
        record += char(mByteTrack);
    }
    record += char(mByteGenre);
    bool openFailed = false;
    if (!rewriteFile(file, mStrFilename, keep, record, openFailed)) {
        setStatus(openFailed ? InvalidFile : UnknownError, "Write");
        return false;
    }
    mStrID = QStringLiteral("TAG");
    if (v11)
        mByteMarker = 0;
    setStatus(Success, "Write");
    return true;
}

bool clsID3v1Tag::RemoveTag()
{
    mStatus = {};
    // Only a regular file: a FIFO or a device named like an MP3 file is an invalid file.
    QFile file;
    if (!platform::openRegularFile(file, mStrFilename)) {
        ClearTag();
        setStatus(InvalidFile, "Remove");
        return false;
    }
    const auto start = tagStart(file);
    if (!start) {
        ClearTag();
        setStatus(NoTag, "Remove");
        return false;
    }
    bool openFailed = false;
    const bool ok = rewriteFile(file, mStrFilename, *start, QByteArray(), openFailed);
    ClearTag();
    if (!ok) {
        setStatus(openFailed ? InvalidFile : UnknownError, "Remove");
        return false;
    }
    setStatus(Success, "Remove");
    return true;
}
