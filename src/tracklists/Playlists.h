#pragma once
// The MP3 entries of playlists, taken line by line as the playlist is read (TextLineReader).
#include <QString>
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

// The local file a playlist entry names: "\" read as "/", a relative entry taken from the
// playlist's folder, a file:// address as its file. "" for any other address and for a
// drive-letter path, which name nothing here.
QString localPathOfEntry(const QString &entry, const QString &playlistFolder);
