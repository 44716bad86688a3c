#pragma once
// The ID3v1 / ID3v1.1 tag of an MP3 file: the 128-byte record at its end. Text is one byte per
// character in Windows-1252; the field widths count bytes. The three operations never throw:
// each returns whether it worked and leaves a status (number, description, source) behind.
// Writing and removing replace the file atomically, so a failure leaves it as it was.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class QIODevice;

// The fields of one 128-byte record, as stored.
struct Id3v1Record {
    QString id, title, artist, album, year, comment;
    std::uint8_t marker = 0; // byte 125: 0 means byte 126 is a track number (version 1.1)
    std::uint8_t track = 0;
    std::uint8_t genre = 255;
    bool version11 = false;
};

// Parses a record; nothing unless it is exactly 128 bytes. The marker is not checked.
std::optional<Id3v1Record> parseId3v1Record(QByteArrayView record);

// Whether the file ends in a tag: its 128th byte from the end starts "TAG", in any letter case.
// A file shorter than 128 bytes has none. The read position is left where it was.
bool HasTag(QIODevice &file);

class clsID3v1Tag {
public:
    static constexpr long kErrorBase = -2147221504; // 0x80040000
    enum Outcome : long { Success = 0, InvalidFile = 1, NoTag = 2, UnknownError = -1 };

    struct Status {
        long number = 0;
        QString description;
        QString source;
    };

    clsID3v1Tag();

    const QString &Filename() const { return mStrFilename; }
    void setFilename(const QString &path) { mStrFilename = path; }
    const QString &ID() const { return mStrID; }
    const QString &Title() const { return mStrTitle; }
    void setTitle(const QString &v) { mStrTitle = v; }
    const QString &Artist() const { return mStrArtist; }
    void setArtist(const QString &v) { mStrArtist = v; }
    const QString &Album() const { return mStrAlbum; }
    void setAlbum(const QString &v) { mStrAlbum = v; }
    const QString &Year() const { return mStrYear; }
    void setYear(const QString &v) { mStrYear = v; }
    const QString &Comment() const { return mStrComment; }
    void setComment(const QString &v) { mStrComment = v; }
    std::uint8_t Track() const { return mByteTrack; }
    void setTrack(std::uint8_t v) { mByteTrack = v; }
    std::uint8_t Genre() const { return mByteGenre; }
    void setGenre(std::uint8_t v) { mByteGenre = v; }
    // "" for 255, the table's name for 0..147, "Unknown" otherwise.
    QString GenreString() const;
    // The first exact (case-sensitive) match in the table, else 255.
    void setGenreString(const QString &name);

    // On success version becomes 1.0 or 1.1; a failure leaves it and clears the fields.
    bool ReadTag(float &version);
    // Writes the fields as a version 1.0 or 1.1 tag, appending one when the file has none.
    // Any other version writes nothing.
    bool WriteTag(float version);
    bool RemoveTag();

    const Status &status() const { return mStatus; }

    void ClearTag();

    // Text up to its first NUL.
    static QString CutAtNul(const QString &text);
    // Bytes padded with NULs or cut to width.
    static QByteArray FixLength(const QByteArray &bytes, int width);
    // Text in Windows-1252; a character the code page lacks becomes "?".
    static QByteArray toAnsi(const QString &text);
    static const QStringList &genreNames();

private:
    void setStatus(Outcome outcome, const char *operation);

    QString mStrFilename;
    QString mStrID, mStrTitle, mStrArtist, mStrAlbum, mStrYear, mStrComment;
    std::uint8_t mByteTrack = 0;
    std::uint8_t mByteMarker = 0;
    std::uint8_t mByteGenre = 255;
    Status mStatus;
};
