#include "TrackListTestSupport.h"

#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "platform/audio/Mp3Length.h"
#include "tracklists/Playlists.h"
#include "tracklists/TextLineReader.h"
#include "tracklists/clsID3v1Tag.h"
#include "tracklists/mdlMp3.h"

#include <QFile>
#include <random>

namespace {

using tracktest::TrackListTest;

class TrackLines : public TrackListTest {
protected:
    QStringList readLines(const QByteArray &bytes, TextLineReader::Refusal *why = nullptr);
};

TEST_F(TrackLines, DurationsPrintAsMinutesAndSeconds)
{
    EXPECT_EQ(formatDuration(185000), "03:05");
    EXPECT_EQ(formatDuration(59999), "00:59");
    EXPECT_EQ(formatDuration(0), "00:00");
    EXPECT_EQ(formatDuration((100 * 60 + 5) * 1000), "100:05");
    EXPECT_EQ(formatDuration(32768000), "546:08"); // beyond a 16-bit count of seconds
}

TEST_F(TrackLines, TabColumnsLineUpAfterTheLongestFirstColumn)
{
    QStringList lines{"ab\tx", "abcd\ty", "z"};
    EXPECT_EQ(getMaxTabPosition(lines), 5);
    alignTabColumns(lines);
    EXPECT_EQ(lines, QStringList({"ab   x", "abcd y", "z"}));

    QStringList severalTabs{"a\tb\tc", "abc\td"};
    alignTabColumns(severalTabs);
    EXPECT_EQ(severalTabs, QStringList({"a   b   c", "abc d"}));

    QStringList firstWithout{"no tab", "a\tb"};
    alignTabColumns(firstWithout);
    EXPECT_EQ(firstWithout, QStringList({"no tab", "a\tb"}));
    QStringList single{"a\tb"};
    alignTabColumns(single);
    EXPECT_EQ(single, QStringList({"a\tb"}));
}

TEST_F(TrackLines, PlayLengthsOfEveryKindOfFile)
{
    // Each fixture holds 10 s; lame pads files without an Info frame by up to a frame or two.
    for (const char *name : {"cbr.mp3", "vbr.mp3", "vbr-noinfo.mp3", "mono22.mp3", "id3v2-only.mp3"}) {
        const std::int64_t ms = GetMP3Length(fixture(name));
        EXPECT_NEAR(double(ms), 10000.0, 100.0) << name;
    }
    // Cut inside a frame: the length of what is there.
    EXPECT_NEAR(double(GetMP3Length(fixture("cut.mp3"))), 10000.0 * 7001 / 10737, 300.0);

    // A path with spaces, quotes and letters beyond ASCII.
    EXPECT_NEAR(double(GetMP3Length(fixture("vbr.mp3", QString::fromUtf8("music/it's \"Grüße\" 1.mp3")))), 10000.0, 100.0);

    // Nothing to measure: 0, without a message.
    writeFile("text.mp3", QByteArray("This is no MP3 at all.\n").repeated(1000));
    std::mt19937 random(7);
    QByteArray noise(2 << 20, '\0');
    for (char &c : noise)
        c = char(random());
    writeFile("noise.mp3", noise);
    writeFile("empty.mp3", "");
    for (const char *name : {"text.mp3", "noise.mp3", "empty.mp3", "missing.mp3"})
        EXPECT_EQ(GetMP3Length(path(name)), 0) << name;
    EXPECT_TRUE(prompter->shown.empty());
}

class BrokenLibrary final : public platform::Mp3Length {
public:
    std::int64_t playLengthMs(const QString &) override { throw platform::Mp3LibraryError("Out of memory"); }
};

TEST_F(TrackLines, ALibraryFailureIsReportedAndCountsAsNoLength)
{
    platform::Seam<platform::Mp3Length>::install(std::make_unique<BrokenLibrary>());
    EXPECT_EQ(getMp3Caption(fixture("cbr.mp3"), gStrMp3Duration, "", "", "", "", ""), "00:00");
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains(errorText("ERR_GETMP3_LENGTH")));
    EXPECT_TRUE(prompter->shown[0].prompt.contains("mdlMp3.GetMP3Length"));
    EXPECT_TRUE(prompter->shown[0].prompt.contains("Out of memory"));
}

TEST_F(TrackLines, LinesOfTaggedAndUntaggedFiles)
{
    // A title with two spaces on either side, artist first, " - " between.
    const QString file = fixture("vbr.mp3");
    clsID3v1Tag tag;
    tag.setFilename(file);
    tag.setTitle("  Song  ");
    tag.setArtist("Band");
    ASSERT_TRUE(tag.WriteTag(1.1f));
    EXPECT_EQ(getMp3Caption(file, gStrMp3Artist, " - ", gStrMp3Title, "", "", ""), "Band - Song");
    EXPECT_EQ(getMp3Caption(file, gStrMp3Title, "", "", "", "", ""), "Song");
    EXPECT_EQ(getMp3Caption(file, gStrMp3Title, "\t", gStrMp3Duration, " : ", gStrMp3Artist, ""), "Song\t00:10 : Band");
    EXPECT_EQ(getMp3Caption(file, "title", "|", "Something", "", "", ""), "|");
    // No ID3v1 tag: the error text alone, whatever the fields.
    EXPECT_EQ(getMp3Caption(fixture("id3v2-only.mp3"), gStrMp3Duration, "", "", "", "", ""), errorText("ERR_NOID3"));
    EXPECT_EQ(errorText("ERR_NOID3"), "No ID3v1 tag found");
}

TEST_F(TrackLines, FieldLabelsComeFromTheLanguageFile)
{
    EXPECT_EQ(gStrMp3Title, "Title");
    writeFile("language/Other.dll", "[OTHERCONSTANTS]\r\nMP3TITLE=Titel\r\nMP3DURATION=Dauer\r\n");
    setLanguage(path("language/Other.dll"));
    loadMp3FieldNames();
    EXPECT_EQ(gStrMp3Title, "Titel");
    EXPECT_EQ(gStrMp3Artist, "Artist");
    EXPECT_EQ(gStrMp3Duration, "Dauer");
    writeFile("language/None.dll", "[GENERAL]\r\n");
    setLanguage(path("language/None.dll"));
    loadMp3FieldNames();
    EXPECT_EQ(gStrMp3Title, "Title");
    EXPECT_EQ(gStrMp3Duration, "Duration");
}

// A file's lines as the imports read them, one at a time; why the reader refused it.
QStringList TrackLines::readLines(const QByteArray &bytes, TextLineReader::Refusal *why)
{
    writeFile("read.txt", bytes);
    TextLineReader reader;
    QStringList lines;
    if (reader.open(path("read.txt")))
        while (const auto line = reader.next())
            lines << *line;
    if (why)
        *why = reader.refusal();
    return lines;
}

TEST_F(TrackLines, TextFilesSplitOnEveryKindOfLineEndAndWhatIsNoTrackListIsRefused)
{
    using R = TextLineReader::Refusal;
    const auto lines = [this](const QByteArray &bytes) { return readLines(bytes); };
    EXPECT_EQ(lines("a\r\nb\nc\rd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(lines("\xEF\xBB\xBF" "eins\r\n\r\nzwei\r\n"), QStringList({"eins", "", "zwei"}));
    EXPECT_EQ(lines("Gr\xFC\xDF" "e\n"), QStringList({QString::fromUtf8("Grüße")}));
    EXPECT_EQ(lines("Gr\xC3\xBC\xC3\x9F" "e"), QStringList({QString::fromUtf8("Grüße")}));
    EXPECT_TRUE(lines("").isEmpty());
    EXPECT_EQ(lines("\n"), QStringList({""}));
    // Only the file's own byte order mark is dropped; one inside the text is a character.
    EXPECT_EQ(lines("a\n\xEF\xBB\xBF" "b"), QStringList({"a", QChar(0xFEFF) + QStringLiteral("b")}));
    // UTF-16 with its byte order mark, either way round.
    const QString song = QString::fromUtf8("Grüße\r\nSong");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (const QChar c : song) {
        le += char(c.unicode() & 0xFF);
        le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
    }
    EXPECT_EQ(lines(le), QStringList({QString::fromUtf8("Grüße"), "Song"}));
    EXPECT_EQ(lines(be), QStringList({QString::fromUtf8("Grüße"), "Song"}));
    // The encoding is decided from the first 64 KiB, a character cut at their end included; a
    // CR LF split between two pieces is one line end.
    const QByteArray x(65536 - 3, 'x');
    const QStringList cut = lines("a\n" + x + "\xC3\xBC\n\xC3\xBC");
    EXPECT_EQ(cut, QStringList({"a", QString(x) + u'\u00FC', QString(u'\u00FC')}));
    EXPECT_EQ(lines("a\n" + x + "\r\nb"), QStringList({"a", QString(x), "b"}));

    // No text, a line longer than 64 KiB, more than 16 MiB: refused. A line of 64 KiB and a
    // file of 16 MiB are still read.
    R why = R::None;
    readLines(QByteArray("MZ\x90\0\x03", 5), &why);
    EXPECT_EQ(why, R::NotText);
    EXPECT_EQ(readLines("a\n" + QByteArray(65536, 'y'), &why).size(), 2);
    EXPECT_EQ(why, R::None);
    readLines("a\n" + QByteArray(65537, 'y'), &why);
    EXPECT_EQ(why, R::LineTooLong);
    const QByteArray sixteenMiB = QByteArray(63, 'x').append('\n').repeated(16 * 1024 * 1024 / 64);
    EXPECT_EQ(readLines(sixteenMiB, &why).size(), 16 * 1024 * 1024 / 64);
    EXPECT_EQ(why, R::None);
    TextLineReader whole;
    ASSERT_TRUE(whole.open(path("read.txt")));
    EXPECT_TRUE(whole.mayReadAll());
    // One byte more: refused when it is read that far, and before that when all is asked for.
    readLines(sixteenMiB + "y", &why);
    EXPECT_EQ(why, R::TooLarge);
    TextLineReader tooLarge;
    ASSERT_TRUE(tooLarge.open(path("read.txt")));
    EXPECT_FALSE(tooLarge.mayReadAll());
    EXPECT_EQ(tooLarge.refusal(), R::TooLarge);
    EXPECT_FALSE(tooLarge.next());
}

TEST_F(TrackLines, PlaylistEntries)
{
    // The entries of a playlist file, by its extension.
    const auto entries = [this](const QByteArray &bytes, const QString &extension) {
        PlaylistEntryFilter filter(extension);
        QStringList out;
        for (const QString &line : readLines(bytes))
            if (const std::optional<QString> entry = filter.entry(line))
                out << *entry;
        return out;
    };
    const QByteArray m3u = "#EXTM3U\r\n#EXTINF:123,Band - Song\r\n/music/a.mp3\r\n#extinf:1,x.mp3\r\nb.MP3\r\n"
                           "c.wma\r\nhttp://host/d.mp3\r\n\r\n";
    EXPECT_EQ(entries(m3u, "m3u"), QStringList({"/music/a.mp3", "b.MP3", "http://host/d.mp3"}));
    const QByteArray pls = "[playlist]\nFile1=C:\\Music\\a.mp3\nTitle1=Files of mine.mp3\nFile2=b.wma\n"
                           "file3=rel/c.mp3\nNumberOfEntries=3\nVersion=2\n";
    EXPECT_EQ(entries(pls, "pls"), QStringList({"C:\\Music\\a.mp3", "rel/c.mp3"}));
    // Each reader finds nothing in the other's text.
    EXPECT_TRUE(entries(pls, "m3u").isEmpty());
    EXPECT_TRUE(entries(m3u, "pls").isEmpty());
    EXPECT_TRUE(entries(m3u, "txt").isEmpty());
    EXPECT_FALSE(PlaylistEntryFilter("txt").mayHoldEntries());

    EXPECT_EQ(localPathOfEntry("sub\\a.mp3", "/lists"), "/lists/sub/a.mp3");
    EXPECT_EQ(localPathOfEntry("../a.mp3", "/lists/"), "/lists/../a.mp3");
    EXPECT_EQ(localPathOfEntry("/abs/a.mp3", "/lists"), "/abs/a.mp3");
    EXPECT_EQ(localPathOfEntry("file:///abs/it%27s%20a.mp3", "/lists"), "/abs/it's a.mp3");
    EXPECT_EQ(localPathOfEntry("http://host/a.mp3", "/lists"), "");
    EXPECT_EQ(localPathOfEntry("C:\\Music\\a.mp3", "/lists"), "");
}

} // namespace
