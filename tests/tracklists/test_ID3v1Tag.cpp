#include "TrackListTestSupport.h"

#include "tracklists/clsID3v1Tag.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using tracktest::TrackListTest;
using ID3v1Tag = TrackListTest;

constexpr long kBase = clsID3v1Tag::kErrorBase;

// A 128-byte record: fields at their offsets, the rest NUL.
QByteArray record(const char *marker, QByteArray title, QByteArray artist, char byte125, char byte126, char genre)
{
    QByteArray r(128, '\0');
    r.replace(0, 3, marker);
    r.replace(3, title.size(), title);
    r.replace(33, artist.size(), artist);
    r.replace(63, 5, "Album");
    r.replace(93, 4, "1984");
    r.replace(97, 7, "Comment");
    r[125] = byte125;
    r[126] = byte126;
    r[127] = genre;
    return r;
}

TEST_F(ID3v1Tag, ReadsTheFieldsOfTaggedFiles)
{
    clsID3v1Tag tag;
    tag.setFilename(fixture("cbr.mp3"));
    float version = 0;
    ASSERT_TRUE(tag.ReadTag(version));
    EXPECT_EQ(version, 1.1f);
    EXPECT_EQ(tag.ID(), "TAG");
    EXPECT_EQ(tag.Title(), QString::fromUtf8("Grüße € Song"));
    EXPECT_EQ(tag.Artist(), QString::fromUtf8("  Die Ärzte  "));
    EXPECT_EQ(tag.Album(), "Album");
    EXPECT_EQ(tag.Year(), "1999");
    EXPECT_EQ(tag.Comment(), "Comment");
    EXPECT_EQ(tag.Track(), 7);
    EXPECT_EQ(tag.Genre(), 17);
    EXPECT_EQ(tag.GenreString(), "Rock");
    EXPECT_EQ(tag.status().number, kBase);
    EXPECT_EQ(tag.status().description, "ReadError: Success");
    EXPECT_EQ(tag.status().source, "clsID3v1Tag->ReadTag()");

    // The same instance reads another file: every field is replaced.
    tag.setFilename(fixture("mono22.mp3"));
    ASSERT_TRUE(tag.ReadTag(version));
    EXPECT_EQ(tag.Title(), "Low Rate");
    EXPECT_EQ(tag.Album(), "");
    EXPECT_EQ(tag.Track(), 4);
}

TEST_F(ID3v1Tag, HandMadeRecordsKeepTheirBytes)
{
    struct Case {
        QByteArray bytes;
        QString title, artist;
        float version;
        int track;
    };
    const QByteArray thirty = "Title with trailing spaces    ";
    ASSERT_EQ(thirty.size(), 30);
    const Case cases[] = {
        // "tag" in lower case counts; a NUL inside a field cuts it there.
        {record("tag", QByteArray("Be\0fore", 7), "Band", 0, 7, 3), "Be", "Band", 1.1f, 7},
        // 30 bytes without NUL are read whole, trailing spaces kept; byte 125 non-zero: version 1.0.
        {record("TAG", thirty, "\x80\xE9\xFF", 'x', 9, char(255)), thirty, QString::fromUtf8("€éÿ"), 1.0f, 0},
    };
    for (const Case &c : cases) {
        writeFile("t.mp3", QByteArray(500, 'a') + c.bytes);
        clsID3v1Tag tag;
        tag.setFilename(path("t.mp3"));
        float version = 0;
        ASSERT_TRUE(tag.ReadTag(version));
        EXPECT_EQ(tag.Title(), c.title);
        EXPECT_EQ(tag.Artist(), c.artist);
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(tag.Track(), c.track);
    }
    // Version 1.0 keeps all 30 comment bytes, 1.1 only 28.
    QByteArray r = record("TAG", "T", "A", 0, 0, 0);
    r.replace(97, 30, QByteArray(28, 'c') + "dd");
    const auto v10 = parseId3v1Record(r);
    const auto v11 = parseId3v1Record(QByteArray(r).replace(125, 2, QByteArray("\0\5", 2)));
    ASSERT_TRUE(v10 && v11);
    EXPECT_EQ(v10->comment, QString(28, 'c') + "dd");
    EXPECT_EQ(v10->track, 0);
    EXPECT_EQ(v11->comment, QString(28, 'c'));
    EXPECT_EQ(v11->track, 5);
    EXPECT_FALSE(parseId3v1Record(r.left(127)));

    // Title, artist and album that fill their 30 bytes keep the last one, read from a file and
    // written to another.
    const QByteArray title = "Thirty characters of the title", artist = "Thirty characters of an artist",
                     album = "Thirty characters of the album";
    writeFile("full.mp3", QByteArray(500, 'a') + record("TAG", title, artist, 0, 3, 17).replace(63, 30, album));
    clsID3v1Tag tag;
    tag.setFilename(path("full.mp3"));
    float version = 0;
    ASSERT_TRUE(tag.ReadTag(version));
    EXPECT_EQ(tag.Title(), title);
    EXPECT_EQ(tag.Artist(), artist);
    EXPECT_EQ(tag.Album(), album);
    EXPECT_EQ(tag.Year(), "1984");
    writeFile("copy.mp3", QByteArray(40, 'm'));
    tag.setFilename(path("copy.mp3"));
    ASSERT_TRUE(tag.WriteTag(version));
    EXPECT_EQ(readFile("copy.mp3").mid(40), readFile("full.mp3").right(128));
}

TEST_F(ID3v1Tag, FilesItCannotReadGiveTheirStatus)
{
    writeFile("empty.mp3", "");
    writeFile("short.mp3", QByteArray(40, 'T'));
    QDir().mkpath(path("folder.mp3"));
    const QString v2only = fixture("id3v2-only.mp3");
    const QString cut = fixture("cut.mp3");
    const std::pair<QString, long> cases[] = {
        {path("empty.mp3"), kBase + 2}, {path("short.mp3"), kBase + 2}, {v2only, kBase + 2},
        {cut, kBase + 2},               {path("folder.mp3"), kBase + 1}, {path("missing.mp3"), kBase + 1},
    };
    for (const auto &[file, number] : cases) {
        clsID3v1Tag tag;
        tag.setTitle("left over");
        tag.setFilename(file);
        float version = 5;
        EXPECT_FALSE(tag.ReadTag(version)) << file.toStdString();
        EXPECT_EQ(tag.status().number, number) << file.toStdString();
        EXPECT_EQ(version, 5.0f);
        EXPECT_EQ(tag.Title(), "");
        EXPECT_EQ(tag.Genre(), 255);
    }
    clsID3v1Tag tag;
    tag.setFilename(path("short.mp3"));
    float version = 0;
    tag.ReadTag(version);
    EXPECT_EQ(tag.status().description, "ReadError: File has no Tag");
    tag.setFilename(path("folder.mp3"));
    tag.ReadTag(version);
    EXPECT_EQ(tag.status().description, "ReadError: Invalid File");

    // A FIFO or a device named like an MP3 file is no file. Should the tag open the FIFO all the
    // same, it must not wait there: until the checks are done, the other end is opened again and
    // again, a reader for a writer that waits and a writer for a reader that waits.
    const QByteArray fifo = QFile::encodeName(path("pipe.mp3"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::jthread otherEnd([fifo](std::stop_token stop) {
        while (!stop.stop_requested()) {
            const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
            const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            for (const int fd : {writer, reader})
                if (fd >= 0)
                    ::close(fd);
            std::this_thread::yield();
        }
    });
    for (const QString &device : {path("pipe.mp3"), QStringLiteral("/dev/null")}) {
        tag.setFilename(device);
        EXPECT_FALSE(tag.ReadTag(version)) << device.toStdString();
        EXPECT_EQ(tag.status().description, "ReadError: Invalid File");
        EXPECT_FALSE(tag.WriteTag(1.1f));
        EXPECT_EQ(tag.status().description, "WriteError: Invalid File");
    }
    // Nothing was written in its place.
    struct stat st {};
    ASSERT_EQ(::stat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(ID3v1Tag, HasTagLooksAtTheLast128BytesAndKeepsThePosition)
{
    QByteArray bytes = QByteArray(200, 'x') + record("TaG", "a", "b", 0, 0, 0);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(17);
    EXPECT_TRUE(HasTag(buffer));
    EXPECT_EQ(buffer.pos(), 17);
    QByteArray shortBytes("TAG");
    QBuffer shortBuffer(&shortBytes);
    shortBuffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(HasTag(shortBuffer));
}

TEST_F(ID3v1Tag, WritesBothVersionsAndRemovesTheTag)
{
    // A file shorter than a tag gets a whole one appended.
    writeFile("short.mp3", QByteArray(40, 'm'));
    clsID3v1Tag tag;
    tag.setFilename(path("short.mp3"));
    tag.setTitle(QStringLiteral("A title that is longer than thirty bytes"));
    tag.setArtist(QString::fromUtf8("Ärzte € ✓ 😀"));
    tag.setComment("c");
    tag.setGenre(147);
    ASSERT_TRUE(tag.WriteTag(1.0f));
    EXPECT_EQ(tag.status().description, "WriteError: Success");
    EXPECT_EQ(tag.ID(), "TAG");
    QByteArray bytes = readFile("short.mp3");
    ASSERT_EQ(bytes.size(), 40 + 128);
    const QByteArray rec = bytes.right(128);
    EXPECT_EQ(rec.mid(3, 30), "A title that is longer than th");
    // Windows-1252 bytes; one "?" for each character the code page lacks.
    EXPECT_EQ(rec.mid(33, 30), QByteArray("\xC4rzte \x80 ? ?") + QByteArray(19, '\0'));
    EXPECT_EQ(rec.mid(93, 4), QByteArray(4, '\0')); // an empty year
    EXPECT_EQ(rec.mid(97, 30), QByteArray("c") + QByteArray(29, '\0'));
    EXPECT_EQ(quint8(rec[127]), 147);

    // Version 1.1 over the existing tag: the file keeps its size.
    tag.setTrack(12);
    ASSERT_TRUE(tag.WriteTag(1.1f));
    bytes = readFile("short.mp3");
    ASSERT_EQ(bytes.size(), 40 + 128);
    EXPECT_EQ(bytes[40 + 125], '\0');
    EXPECT_EQ(bytes[40 + 126], char(12));
    clsID3v1Tag reread;
    reread.setFilename(path("short.mp3"));
    float version = 0;
    ASSERT_TRUE(reread.ReadTag(version));
    EXPECT_EQ(version, 1.1f);
    EXPECT_EQ(reread.Artist(), QString::fromUtf8("Ärzte € ? ?"));
    EXPECT_EQ(reread.GenreString(), "Synthpop");

    // Another version writes nothing.
    EXPECT_FALSE(tag.WriteTag(1.05f));
    EXPECT_EQ(tag.status().number, kBase - 1);
    EXPECT_EQ(tag.status().description, "WriteError: Unknown Error");
    EXPECT_EQ(readFile("short.mp3"), bytes);

    // Removing cuts the 128 bytes off and clears the fields; a second removal finds no tag.
    ASSERT_TRUE(tag.RemoveTag());
    EXPECT_EQ(readFile("short.mp3"), QByteArray(40, 'm'));
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.status().description, "RemoveError: Success");
    EXPECT_FALSE(tag.RemoveTag());
    EXPECT_EQ(tag.status().number, kBase + 2);
    EXPECT_EQ(tag.status().source, "clsID3v1Tag->RemoveTag()");

    // A file that cannot be opened: nothing happens, the fields stay for WriteTag.
    tag.setFilename(path("missing.mp3"));
    tag.setTitle("kept");
    EXPECT_FALSE(tag.WriteTag(1.0f));
    EXPECT_EQ(tag.status().number, kBase + 1);
    EXPECT_EQ(tag.Title(), "kept");
    EXPECT_FALSE(QFile::exists(path("missing.mp3")));

    // A read-only file is not changed, not even by root.
    writeFile("readonly.mp3", QByteArray(300, 'r'));
    QFile::setPermissions(path("readonly.mp3"), QFile::ReadOwner | QFile::ReadGroup);
    tag.setFilename(path("readonly.mp3"));
    EXPECT_FALSE(tag.WriteTag(1.1f));
    EXPECT_EQ(tag.status().number, kBase + 1);
    EXPECT_EQ(tag.status().description, "WriteError: Invalid File");
    EXPECT_EQ(readFile("readonly.mp3"), QByteArray(300, 'r'));
}

TEST_F(ID3v1Tag, GenreNamesAndTheirSearch)
{
    clsID3v1Tag tag;
    EXPECT_EQ(clsID3v1Tag::genreNames().size(), 148);
    tag.setGenre(255);
    EXPECT_EQ(tag.GenreString(), "");
    tag.setGenre(148);
    EXPECT_EQ(tag.GenreString(), "Unknown");
    tag.setGenre(84);
    EXPECT_EQ(tag.GenreString(), "Fusion");
    tag.setGenreString("Fusion");
    EXPECT_EQ(tag.Genre(), 30);
    tag.setGenreString("fusion");
    EXPECT_EQ(tag.Genre(), 255);
    tag.setGenreString("Psychadelic Rock");
    EXPECT_EQ(tag.Genre(), 93);
}

} // namespace
