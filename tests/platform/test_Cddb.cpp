#include "platform/cddb/CdDrives.h"
#include "platform/cddb/CddbClient.h"
#include "platform/cddb/CddbComponent.h"
#include "platform/cddb/CddbError.h"
#include "platform/cddb/CddbProtocol.h"
#include "platform/cddb/DiscToc.h"
#include "platform/net/Download.h"

#include "support/LocalHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QUrl>

#include <functional>
#include <tuple>
#include <gtest/gtest.h>
#include "support/QtPrinters.h"

using namespace platform;

namespace {

// The freedb id as the protocol defines it, worked out here without libdiscid.
QString freedbIdByHand(const QList<int> &offsets, int leadout)
{
    const auto digitSum = [](int n) {
        int s = 0;
        for (; n > 0; n /= 10)
            s += n % 10;
        return s;
    };
    int n = 0;
    for (int o : offsets)
        n += digitSum(o / 75);
    const int t = leadout / 75 - offsets.first() / 75;
    const quint32 id = (quint32(n % 0xff) << 24) | (quint32(t) << 8) | quint32(offsets.size());
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
}

TableOfContents toc(QList<int> offsets, int leadout, bool dataLast = false)
{
    TableOfContents t;
    t.offsets = std::move(offsets);
    t.leadout = leadout;
    t.lastTrackIsData = dataLast;
    return t;
}

long errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const CddbError &e) {
        EXPECT_FALSE(e.description().isEmpty()) << e.number();
        return e.number();
    }
    return 0;
}

// Three tracks of 03:05, 03:33 and 03:20.
const TableOfContents kThree = toc({150, 14025, 30000}, 45000);

} // namespace

TEST(CddbDiscId, HandWrittenTablesGiveTheFreedbIdAndQueryLine)
{
    const DiscId three = DiscId::fromToc(kThree);
    EXPECT_EQ(three.freedbId, freedbIdByHand(kThree.offsets, kThree.leadout));
    EXPECT_EQ(three.queryCommand(), QStringLiteral("cddb query %1 3 150 14025 30000 600").arg(three.freedbId));
    // The length counts whole seconds: 74 frames past 600 s are still 600.
    EXPECT_TRUE(DiscId::fromToc(toc(kThree.offsets, 45074)).queryCommand().endsWith(" 600"));
    EXPECT_EQ(formatSectors(three.lengths[0]), "03:05");
    EXPECT_EQ(formatSectors(three.lengths[1]), "03:33");
    EXPECT_EQ(formatSectors(three.lengths[2]), "03:20");

    const DiscId one = DiscId::fromToc(toc({150}, 75 * 60 * 42 + 150));
    EXPECT_EQ(one.queryCommand(), QStringLiteral("cddb query %1 1 150 2522").arg(one.freedbId));
    EXPECT_EQ(one.freedbId, freedbIdByHand({150}, 75 * 60 * 42 + 150));
    EXPECT_EQ(formatSectors(one.lengths[0]), "42:00");

    QList<int> twelve;
    for (int i = 0; i < 12; ++i)
        twelve << 150 + i * 17321;
    EXPECT_EQ(DiscId::fromToc(toc(twelve, 150 + 12 * 17321)).freedbId, freedbIdByHand(twelve, 150 + 12 * 17321));

    QList<int> ninetyNine;
    for (int i = 0; i < 99; ++i)
        ninetyNine << 150 + i * 3000;
    const DiscId full = DiscId::fromToc(toc(ninetyNine, 150 + 99 * 3000));
    EXPECT_EQ(full.freedbId, freedbIdByHand(ninetyNine, 150 + 99 * 3000));
    EXPECT_EQ(full.trackCount(), 99);
    EXPECT_TRUE(full.queryCommand().startsWith(QStringLiteral("cddb query %1 99 150 3150 ").arg(full.freedbId)));

    // An enhanced CD: the data track is left out and the audio ends 11400 sectors before it.
    const DiscId enhanced = DiscId::fromToc(toc({150, 14025, 30000, 60000}, 90000, true));
    EXPECT_EQ(enhanced.trackCount(), 3);
    EXPECT_EQ(enhanced.freedbId, freedbIdByHand({150, 14025, 30000}, 60000 - 11400));
    EXPECT_EQ(formatSectors(enhanced.lengths[2]), formatSectors(60000 - 11400 - 30000));
}

TEST(CddbDiscId, TablesLibdiscidRefusesAreErrors)
{
    EXPECT_EQ(errorOf([] { DiscId::fromToc(toc({}, 1000)); }), CddbErr::InvalidToc);
    EXPECT_EQ(errorOf([] { DiscId::fromToc(toc({150, 100}, 45000)); }), CddbErr::InvalidToc);
    EXPECT_EQ(errorOf([] { DiscId::fromToc(toc({150, 14025}, 10000)); }), CddbErr::InvalidToc);
    QList<int> hundred;
    for (int i = 0; i < 100; ++i)
        hundred << 150 + i * 1000;
    EXPECT_EQ(errorOf([&] { DiscId::fromToc(toc(hundred, 200000)); }), CddbErr::InvalidToc);
    EXPECT_EQ(formatTrackTime(185000), "03:05");
    EXPECT_EQ(formatTrackTime(59999), "00:59");
    EXPECT_EQ(formatTrackTime(6005000), "100:05");
}

TEST(CddbDrives, TheKernelsDriveListGivesDeviceNodesOldestFirst)
{
    EXPECT_EQ(drivesFromCdromInfo("CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
                                  "drive name:\t\tsr1\tsr0\ndrive speed:\t\t24\t48\n"),
              QStringList({"/dev/sr0", "/dev/sr1"}));
    EXPECT_TRUE(drivesFromCdromInfo("").isEmpty());
    EXPECT_TRUE(drivesFromCdromInfo("drive name:\n").isEmpty());
}

TEST(CddbProtocol, QueryAnswersGiveTheMatchesOrTheirErrorNumber)
{
    const QList<CddbMatch> one = parseQueryReply("200 rock 2a09c803 Band / Album\r\n");
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(one[0].category, "rock");
    EXPECT_EQ(one[0].discId, "2a09c803");
    EXPECT_EQ(one[0].title, "Band / Album");

    QByteArray list = "211 Found inexact matches, list follows (until terminating `.')\n";
    for (int i = 0; i < 50; ++i)
        list += "misc " + QByteArray::number(0x10000000 + i, 16) + " Artist " + QByteArray::number(i) + " / T\n";
    list += ".\n";
    const QList<CddbMatch> fifty = parseQueryReply(list);
    ASSERT_EQ(fifty.size(), 50);
    EXPECT_EQ(fifty[49].discId, "10000031");
    EXPECT_EQ(parseQueryReply("210 Found exact matches\r\nrock 2a09c803 A\r\njazz 2a09c803 B\r\n.\r\n").size(), 2);
    // A match's title is one line of text.
    EXPECT_EQ(parseQueryReply(QByteArray("200 rock 2a09c803  Band\t\x01/@Album\r\r\n").replace('@', '\0'))[0].title, "Band / Album");

    EXPECT_EQ(errorOf([] { parseQueryReply("202 No match found\r\n"); }), CddbErr::DiscNotFound);
    EXPECT_EQ(errorOf([] { parseQueryReply("211 list\n.\n"); }), CddbErr::DiscNotFound);
    for (const char *busy : {"417 Access limit exceeded", "433 No connections allowed", "434 Load too high"})
        EXPECT_EQ(errorOf([&] { parseQueryReply(busy); }), CddbErr::ServerBusy) << busy;
    EXPECT_EQ(errorOf([] { parseQueryReply("500 Command syntax error\r\n"); }), CddbErr::ServerRefused);
    for (const QByteArray &bad : {QByteArray(), QByteArray("<html><body>Gateway</body></html>"),
                                  QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), QByteArray("2000 rock 2a09c803 x"),
                                  QByteArray("211 list\r\nrock 2a09c803 A\r\n"),      // cut before "."
                                  QByteArray("211 list\r\nrock A\r\n.\r\n"),          // no disc id
                                  QByteArray("210 list\r\nro/ck 2a09c803 A\r\n.\r\n"), // no category
                                  QByteArray("200"), QByteArray("301 moved")})
        EXPECT_EQ(errorOf([&] { parseQueryReply(bad); }), CddbErr::BadReply) << bad.toStdString();
}

TEST(CddbProtocol, EntriesAreJoinedUnescapedAndDecoded)
{
    const CddbEntry e = parseReadReply("210 rock 2a09c803 CD database entry follows\n"
                                       "# xmcd\n#\n# TTITLE1=comment\n"
                                       "DISCID=2a09c803\n"
                                       "DTITLE=The Band / A very long\n"
                                       "DTITLE= title\n"
                                       "TTITLE0=One\\ttwo\\\\three\\n\n"
                                       "TTITLE2=Caf\xe9\n"
                                       "TTITLE3=beyond the last track\n"
                                       "TTITLE99999999999=ignored\n"
                                       "EXTD=\n.\n",
                                       3);
    EXPECT_EQ(e.artist, "The Band");
    EXPECT_EQ(e.title, "A very long title");
    EXPECT_EQ(e.trackTitles, QStringList({"One two\\three", "", QString::fromUtf8("Café")}));

    // Titles are one line: control characters (NUL, tab, escape, DEL, C1), line breaks and
    // line or paragraph separators become a blank, runs of blanks one, none at either end;
    // 256 escaped line breaks before an artist leave no trace, nor do they count for the cut.
    const CddbEntry lines = parseReadReply(QByteArray("210 rock 2a09c803\r\nDTITLE=" + QByteArray("\\n").repeated(256)
                                            + "Band\\n\\n / Al\x1b\x7f" "bum\xc2\x85\r\n"
                                              "DTITLE=\\n" + QByteArray(300, 'z') + "\r\n"
                                              "TTITLE0=@One@@two\\t\r\n"
                                              "TTITLE1=\xe2\x80\xa8 Three \xe2\x80\xa9  four \r\n"
                                              "TTITLE2=" + QByteArray("\\t").repeated(300) + "Song\r\n"
                                              ".\r\n")
                                               .replace('@', '\0'),
                                           3);
    EXPECT_EQ(lines.artist, "Band");
    EXPECT_EQ(lines.title, QString::fromUtf8("Al bum ") + QString(256 - 7, u'z'));
    // A track name is cut after it is cleaned, as artist and title are.
    EXPECT_EQ(lines.trackTitles, QStringList({"One two", "Three four", "Song"}));

    const CddbEntry whole = parseReadReply("210 misc 2a09c803\r\nDTITLE=Only a name\r\nTTITLE0=Gr\xc3\xbc\xc3\x9f"
                                           "e\r\n.\r\n",
                                           1);
    EXPECT_EQ(whole.artist, "Only a name");
    EXPECT_EQ(whole.title, "Only a name");
    EXPECT_EQ(whole.trackTitles, QStringList({QString::fromUtf8("Grüße")}));

    EXPECT_EQ(errorOf([] { parseReadReply("401 No such CD entry in database.\r\n", 3); }), CddbErr::ServerRefused);
    EXPECT_EQ(errorOf([] { parseReadReply("210 rock 2a09c803\r\nDTITLE=A / B\r\n", 3); }), CddbErr::BadReply);
    EXPECT_EQ(errorOf([] { parseReadReply("<html>", 3); }), CddbErr::BadReply);
}

namespace {

class CddbLookup : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.isListening()); }
    void TearDown() override { Seam<Downloader>::reset(); }

    CddbServer local(int timeLimit = 60) const { return {QStringLiteral("127.0.0.1"), server.port(), timeLimit}; }
    // The request target of a command, as the server sees it.
    QString path(const QString &command) const
    {
        return QString::fromLatin1(QUrl(CddbClient(local()).requestUrl(command))
                                       .toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority));
    }
    void answerQuery(const QByteArray &body, int status = 200)
    {
        server.serve(path(id.queryCommand()), body, status);
    }
    void answerRead(const QString &category, const QByteArray &body)
    {
        server.serve(path(QStringLiteral("cddb read %1 %2").arg(category, id.freedbId)), body);
    }
    long lookupError(CddbServer s)
    {
        return errorOf([&] { CddbClient(s).lookup(id); });
    }

    testsupport::LocalHttpServer server;
    DiscId id = DiscId::fromToc(kThree);
};

QByteArray entry(const QByteArray &dtitle)
{
    return "210 rock x CD database entry follows\r\nDTITLE=" + dtitle + "\r\nTTITLE0=A\r\nTTITLE1=B\r\n.\r\n";
}

} // namespace

TEST_F(CddbLookup, AsksTheServerOverHttpAndReadsEveryMatchInItsOrder)
{
    const QString name = QCoreApplication::applicationName(), version = QCoreApplication::applicationVersion();
    const auto restore = qScopeGuard([&] {
        QCoreApplication::setApplicationName(name);
        QCoreApplication::setApplicationVersion(version);
    });
    QCoreApplication::setApplicationName(QStringLiteral("Pelmora"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1.0"));
    EXPECT_EQ(CddbClient(local()).requestUrl(QStringLiteral("cddb read rock 2a09c803")),
              QStringLiteral("http://127.0.0.1:%1/~cddb/cddb.cgi?cmd=cddb+read+rock+2a09c803"
                             "&hello=anonymous+localhost+Pelmora+0.1.0&proto=6")
                  .arg(server.port()));

    answerQuery("211 close matches\r\nrock " + id.freedbId.toLatin1() + " one\r\nblues " + id.freedbId.toLatin1()
                + " gone\r\njazz " + id.freedbId.toLatin1() + " two\r\n.\r\n");
    answerRead("rock", entry("First / Disc"));
    server.serve(path(QStringLiteral("cddb read blues %1").arg(id.freedbId)), "401 No such entry\r\n");
    answerRead("jazz", entry("Second"));
    const QList<CddbDiscData> discs = CddbClient(local()).lookup(id);
    ASSERT_EQ(discs.size(), 2); // the entry that cannot be read is left out
    EXPECT_EQ(discs[0].entry.artist, "First");
    EXPECT_EQ(discs[0].entry.trackTitles, QStringList({"A", "B", ""}));
    EXPECT_EQ(discs[1].category, "jazz");
    EXPECT_EQ(discs[1].entry.title, "Second");
    EXPECT_EQ(server.requestCount(path(id.queryCommand())), 1);

    // With no entry left the disc counts as not found.
    answerQuery("200 blues " + id.freedbId.toLatin1() + " gone\r\n");
    EXPECT_EQ(lookupError(local()), CddbErr::DiscNotFound);
}

TEST_F(CddbLookup, AServerSendingEndlessMatchesIsReadNoFurtherThanATrackListNeeds)
{
    // 150 matches of long titles; the second entry is 100 KB of one title, the others just under
    // 64 KiB: an artist with a surrogate pair across the cut at 256 characters, a title with one
    // just before it, and a track name of 46,000.
    const QByteArray pair = "\xf0\x9f\x98\x80"; // U+1F600
    const auto artist = [](int n) { return ("Disc " + QByteArray::number(n)).leftJustified(255, 'a'); };
    QByteArray matches = "211 close matches\r\n";
    for (int i = 0; i < 150; ++i) {
        const QByteArray n = QByteArray::number(i);
        matches += "c" + n + " " + id.freedbId.toLatin1() + " Disc " + n + QByteArray(6000, 'm') + "\r\n";
        answerRead("c" + QString::number(i),
                   entry(i == 1 ? QByteArray(100 * 1024, 'x')
                                : artist(i) + pair + QByteArray(9000, 'a') + " / " + QByteArray(254, 't') + pair
                                      + QByteArray(9000, 't') + "\r\nTTITLE2=" + QByteArray(46000, 'x')));
    }
    answerQuery(matches + ".\r\n");
    const QList<CddbDiscData> discs = CddbClient(local()).lookup(id);
    ASSERT_EQ(discs.size(), 99);
    ASSERT_EQ(discs[1].entry.artist.size(), 255); // the pair across the cut is left out whole
    EXPECT_EQ(discs[1].entry.artist, QString::fromLatin1(artist(2)));
    EXPECT_EQ(discs.back().entry.artist, QString::fromLatin1(artist(99)));
    EXPECT_EQ(discs.back().entry.title, QString(254, u't') + QString::fromUtf8(pair));
    EXPECT_EQ(discs.back().entry.trackTitles, QStringList({"A", "B", QString(256, u'x')}));
    EXPECT_EQ(server.requestCount(path(QStringLiteral("cddb read c99 %1").arg(id.freedbId))), 1);
    EXPECT_EQ(server.requestCount(path(QStringLiteral("cddb read c100 %1").arg(id.freedbId))), 0);
    const QList<CddbMatch> listed = parseQueryReply(matches + ".\r\n");
    EXPECT_EQ(listed.size(), 100);
    EXPECT_EQ(listed.back().title.size(), 256);
}

TEST_F(CddbLookup, FailuresOfTheServerMapToTheirNumbers)
{
    answerQuery("202 No match found\r\n");
    EXPECT_EQ(lookupError(local()), CddbErr::DiscNotFound);
    answerQuery("433 No connections allowed\r\n");
    EXPECT_EQ(lookupError(local()), CddbErr::ServerBusy);
    answerQuery("Service Unavailable", 503);
    EXPECT_EQ(lookupError(local()), CddbErr::ServerBusy);
    answerQuery("Internal error", 500);
    EXPECT_EQ(lookupError(local()), CddbErr::ServerNotAvailable);
    answerQuery("<!DOCTYPE html><html><body>Welcome</body></html>");
    EXPECT_EQ(lookupError(local()), CddbErr::BadReply);
    server.stream(path(id.queryCommand()), 5 * 1024 * 1024);
    EXPECT_EQ(lookupError(local()), CddbErr::BadReply);
    server.stream(path(id.queryCommand()), 5 * 1024 * 1024, false);
    EXPECT_EQ(lookupError(local()), CddbErr::BadReply);
    // Too large an answer says so and names the limit; so does the only match's entry of more
    // than 64 KiB, beside one the server refuses: the disc then counts as not found.
    const auto failure = [&] {
        try {
            CddbClient(local()).lookup(id);
        } catch (const CddbError &e) {
            return std::make_tuple(e.number(), e.cause(), e.limit(), e.description());
        }
        return std::make_tuple(0L, CddbCause::Other, qint64(0), QString());
    };
    server.stream(path(id.queryCommand()), 5 * 1024 * 1024);
    EXPECT_EQ(failure(), std::make_tuple(long(CddbErr::BadReply), CddbCause::AnswerTooLarge, qint64(1024 * 1024),
                                         QString("The CDDB server's answer is larger than 1048576 bytes.")));
    answerQuery("211 close matches\r\nrock " + id.freedbId.toLatin1() + " big\r\nblues " + id.freedbId.toLatin1()
                + " gone\r\n.\r\n");
    answerRead("rock", entry(QByteArray(65 * 1024, 'x')));
    answerRead("blues", "401 No such entry\r\n");
    EXPECT_EQ(failure(), std::make_tuple(long(CddbErr::DiscNotFound), CddbCause::EntryTooLarge, qint64(64 * 1024),
                                         QString("None of the 2 matches of the CDDB server could be read. The disc's "
                                                 "entry is larger than 65536 bytes.")));
    answerRead("rock", "401 No such entry\r\n");
    EXPECT_EQ(std::get<1>(failure()), CddbCause::Other);

    // A port nobody listens at.
    quint16 closedPort = 0;
    {
        testsupport::LocalHttpServer gone;
        closedPort = gone.port();
    }
    EXPECT_EQ(lookupError({QStringLiteral("127.0.0.1"), closedPort, 60}), CddbErr::ServerNotAvailable);

    // A server that stalls ends at the time limit.
    server.hang(path(id.queryCommand()));
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(lookupError(local(1)), CddbErr::ServerNotAvailable);
    EXPECT_LT(t.elapsed(), 5000);
}

namespace {

class OneDisc final : public CdDrives {
public:
    QStringList drives() override { return {QStringLiteral("/dev/sr0")}; }
    bool holdsDisc(const QString &) override { return true; }
    TableOfContents readTableOfContents(const QString &drive) override
    {
        if (drive != QLatin1String("/dev/sr0"))
            throw CddbError(CddbErr::DiscUnreadable, QStringLiteral("no such drive"));
        return table;
    }
    TableOfContents table = kThree;
};

} // namespace

TEST_F(CddbLookup, TheComponentReadsTheDiscAndGivesMatchesWithTrackTimes)
{
    OneDisc &drive = Seam<CdDrives>::install(std::make_unique<OneDisc>());
    const auto cleanUp = qScopeGuard([] { Seam<CdDrives>::reset(); });
    answerQuery("200 rock " + id.freedbId.toLatin1() + " x\r\n");
    answerRead("rock", entry("Band / Album"));

    CddbComponent cd;
    EXPECT_EQ(cd.Drives(), QStringList({"/dev/sr0"}));
    EXPECT_EQ(errorOf([&] { cd.SetServer(QStringLiteral("127.0.0.1"), 0, 60); }), CddbErr::ServerNotAvailable);
    cd.SetServer(QStringLiteral("127.0.0.1"), server.port(), 60);
    cd.QueryDisc(QStringLiteral("/dev/sr0"));
    ASSERT_EQ(cd.Discs().size(), 1);
    const CddbDisc &d = cd.Discs()[0];
    EXPECT_EQ(d.DiscArtist(), "Band");
    EXPECT_EQ(d.DiscTitle(), "Album");
    ASSERT_EQ(d.DiscTracks().size(), 3);
    EXPECT_EQ(d.DiscTracks()[1].TrackTitle(), "B");
    EXPECT_EQ(d.DiscTracks()[1].TrackTime(), "03:33");
    EXPECT_EQ(d.DiscTracks()[2].TrackTitle(), "");

    // A drive that cannot be read and a table libdiscid refuses never reach the server.
    EXPECT_EQ(errorOf([&] { cd.QueryDisc(QStringLiteral("/dev/sr9")); }), CddbErr::DiscUnreadable);
    drive.table = toc({150, 14025}, 100);
    EXPECT_EQ(errorOf([&] { cd.QueryDisc(QStringLiteral("/dev/sr0")); }), CddbErr::InvalidToc);
    EXPECT_EQ(server.requestCount(path(id.queryCommand())), 1);
    EXPECT_TRUE(cd.Discs().isEmpty());
}
