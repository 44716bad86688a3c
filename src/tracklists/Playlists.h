#pragma once
// Reading playlists and dropped text files. A file's bytes are decoded as the program decodes
// text files (UTF-8 when valid, else Windows-1252), a byte order mark is dropped, and lines may
// end in CR LF, LF or CR.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The lines of a text file; a line end after the last line opens no further line.
QStringList splitTextLines(QByteArrayView bytes);

// The MP3 entries of an M3U playlist: every line that is no #EXTM3U / #EXTINF line and ends in
// ".mp3". PLS text (a first line "[playlist]") holds none.
QStringList m3uEntries(const QStringList &lines);
// The MP3 entries of a PLS playlist: the values of the keys that begin with "File".
QStringList plsEntries(const QStringList &lines);
// By the playlist's extension ("m3u", "pls"); none for any other.
QStringList playlistEntries(const QStringList &lines, const QString &extension);

// The local file a playlist entry names: "\" read as "/", a relative entry taken from the
// playlist's folder, a file:// address as its file. "" for any other address and for a
// drive-letter path, which name nothing here.
QString localPathOfEntry(const QString &entry, const QString &playlistFolder);
