#pragma once
// The MP3 entries of playlists, taken line by line as the playlist is read (TextLineReader).
#include <QString>
#include <QStringList>
#include <optional>

// Picks the entries of a playlist from its lines, one line at a time, by the playlist's
// extension ("m3u", "pls"); any other extension has none.
class PlaylistEntryFilter {
public:
    explicit PlaylistEntryFilter(const QString &extension);
    // The entry the line holds, if any.
    std::optional<QString> entry(const QString &line);
    // Whether any line can still hold an entry.
    bool mayHoldEntries() const { return kind_ != Kind::None; }

private:
    enum class Kind { None, M3u, Pls };
    Kind kind_;
    bool sawText_ = false;
};

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
