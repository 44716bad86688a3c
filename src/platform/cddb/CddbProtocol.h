#pragma once
// The CDDB protocol (level 6) as a web server speaks it: the commands the client sends and
// the answers it reads. An answer is a status line ("200 ...") and for some statuses lines up
// to a line holding only "."; line ends may be CR LF or LF. Knows nothing of sockets, so that
// any bytes can be put through it.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

// One match of a query: the category and disc id to read it by, and the server's title line.
struct CddbMatch {
    QString category;
    QString discId;
    QString title;
};

// What an answer keeps, whatever a server sends: a match's title, a disc's artist and title
// and a track's name are one line of text (a control character such as NUL or a tab, a line
// break or a line separator becomes a blank, a run of blanks one blank, and none is left at
// either end), cut to kMaxCddbTitleChars characters (never between the two halves of a UTF-16
// surrogate pair), and of a query answer's matches the first kMaxCddbMatches are kept.
// A lookup of 100 entries of 99 tracks so keeps about 5.5 MB at most.
constexpr qsizetype kMaxCddbTitleChars = 256;
constexpr qsizetype kMaxCddbMatches = 100;

// A disc entry as far as the track list needs it.
struct CddbEntry {
    QString artist;
    QString title;
    QStringList trackTitles; // one per track, "" where the entry names none
};

// The matches of a query answer, in the server's order: one for 200, the list for 210 and
// 211 (every line of it is checked, the first kMaxCddbMatches are kept). Throws CddbError: 202
// and an empty list DiscNotFound, 417/433/434 ServerBusy, another error status ServerRefused,
// anything the protocol does not allow BadReply.
QList<CddbMatch> parseQueryReply(const QByteArray &reply);

// The entry of a read answer (210) for a disc of trackCount tracks. In the entry, DTITLE is
// "artist / title" (without " / " both are the whole), TTITLEn names track n, a key on
// several lines is joined, \n \t \\ are unescaped and "#" lines are comments; text is UTF-8,
// a line that is not valid UTF-8 is read as Windows-1252. The artist and title are split
// before each is made one line and cut. Throws CddbError as
// parseQueryReply does (401 and other error statuses ServerRefused).
CddbEntry parseReadReply(const QByteArray &reply, int trackCount);

// The number and description of an error status line; ServerBusy for 417, 433 and 434.
long cddbStatusError(int status);

} // namespace platform
