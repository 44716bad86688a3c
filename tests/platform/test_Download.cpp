#include "platform/net/Download.h"

#include "platform/net/HttpReply.h"

#include "support/EndlessHttpServer.h"
#include "support/LocalHttpServer.h"

#include <QDir>
#include <QFile>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

using platform::DownloadErr::HttpBase;

namespace {

long network(QNetworkReply::NetworkError e) { return platform::DownloadErr::NetworkBase + long(e); }

class Download : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.isListening());
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Everything in the folder, temporary files included.
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                          QDir::Name);
    }
    platform::DownloadResult get(const QString &route, const QString &name)
    {
        return downloader->download(server.url(route), path(name));
    }

    QTemporaryDir dir;
    testsupport::LocalHttpServer server;
    std::unique_ptr<platform::Downloader> downloader = platform::makeNetworkDownloader();
};

TEST_F(Download, SavesTheBodyAfterRedirectsAndReplacesAnOldFile)
{
    server.serve("/version.txt", "2.1.0\r\n");
    server.redirect("/latest", "/moved");
    server.redirect("/moved", server.url("/version.txt"), 301);
    write("version.txt", "1.0");

    const auto r = get("/latest", "version.txt");
    EXPECT_TRUE(r.ok) << r.description.toStdString();
    EXPECT_EQ(r.errorNumber, 0);
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_EQ(read("version.txt"), "2.1.0\r\n"); // not the bodies of the redirects
    EXPECT_EQ(entries(), QStringList{"version.txt"});
    // The network layer may ask again over a fresh connection; what counts is that it came.
    EXPECT_GE(server.requestCount("/moved"), 1);
}

TEST_F(Download, FailuresLeaveNoFileAndKeepAnExistingOne)
{
    server.serve("/error", "<html>server error</html>", 500);
    server.hang("/hang");
    server.stream("/huge", 1LL << 30, true);        // refused by its announced length
    server.stream("/endless", 1LL << 30, false);    // refused once the limit is passed
    server.redirect("/loop", "/loop");
    platform::DownloadLimits limits;
    limits.timeoutMs = 300;
    limits.maxBytes = 1 << 20;
    limits.maxRedirects = 3;
    downloader->setLimits(limits);

    const struct { const char *route; long number; } cases[] = {
        {"/missing", HttpBase + 404},
        {"/error", HttpBase + 500},
        {"/hang", platform::DownloadErr::Timeout},
        {"/huge", platform::DownloadErr::TooLarge},
        {"/endless", platform::DownloadErr::TooLarge},
        {"/loop", network(QNetworkReply::TooManyRedirectsError)},
    };
    write("kept.dat", "old contents");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.route);
        for (const QString name : {"new.dat", "kept.dat"}) {
            const auto r = get(c.route, name);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.errorNumber, c.number) << r.description.toStdString();
            EXPECT_FALSE(r.description.isEmpty());
            EXPECT_EQ(entries(), QStringList{"kept.dat"});
            EXPECT_EQ(read("kept.dat"), "old contents");
        }
    }
}

TEST_F(Download, RefusesWhatItCannotFetchOrStoreWithoutAsking)
{
    server.serve("/a.txt", "a");
    for (const char *url : {"", "no address", "ftp://127.0.0.1/a.txt", "http:///a.txt"})
        EXPECT_EQ(downloader->download(url, path("x")).errorNumber, platform::DownloadErr::InvalidUrl)
            << url;
    EXPECT_EQ(get("/a.txt", "no/such/folder/a.txt").errorNumber, platform::DownloadErr::WriteFailed);
    EXPECT_EQ(get("/a.txt", "").errorNumber, platform::DownloadErr::WriteFailed);
    EXPECT_EQ(server.requestCount("/a.txt"), 0);
    EXPECT_TRUE(entries().isEmpty());

    // Nothing listens at the port of a closed server.
    auto closed = std::make_unique<testsupport::LocalHttpServer>();
    const QString url = closed->url("/a.txt");
    closed.reset();
    EXPECT_EQ(downloader->download(url, path("a.txt")).errorNumber,
              network(QNetworkReply::ConnectionRefusedError));
}

TEST_F(Download, CopiesFileAddresses)
{
    write("source.bin", QByteArray("\0\1\2binary", 9));
    const QString source = QUrl::fromLocalFile(path("source.bin")).toString();
    EXPECT_TRUE(downloader->download(source, path("copy.bin")).ok);
    EXPECT_EQ(read("copy.bin"), QByteArray("\0\1\2binary", 9));

    const auto r = downloader->download(QUrl::fromLocalFile(path("none.bin")).toString(), path("n"));
    EXPECT_EQ(r.errorNumber, network(QNetworkReply::ContentNotFoundError));
    EXPECT_EQ(entries(), (QStringList{"copy.bin", "source.bin"}));
}

TEST_F(Download, AbortAndSecondCallWhileRunning)
{
    server.serve("/a.txt", "a");
    platform::DownloadResult inner;
    server.onRequest([&](const QString &route) {
        if (route == "/a.txt") {
            inner = get("/a.txt", "inner.txt");
            downloader->abort();
        }
    });
    // The request is answered from the waiting download's own loop: a second download
    // started there is refused, and abort() stops the running one.
    const auto r = get("/a.txt", "a.txt");
    EXPECT_EQ(inner.errorNumber, platform::DownloadErr::Busy);
    EXPECT_EQ(r.errorNumber, platform::DownloadErr::Aborted);
    EXPECT_TRUE(entries().isEmpty());

    server.onRequest({});
    downloader->abort(); // nothing running: no effect on the next download
    EXPECT_TRUE(get("/a.txt", "a.txt").ok);
    EXPECT_EQ(read("a.txt"), "a");
}

// Servers that never stop sending, from a thread of their own: the download's own counters
// stay within its limits, and answers that do not say where their body ends are refused.
TEST_F(Download, HostileServersAreCutOffAtTheLimitsAndMalformedHeadsFail)
{
    const QByteArray filler(64 * 1024, 'x');
    testsupport::EndlessHttpServer endlessBody("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n\r\n", filler);
    testsupport::EndlessHttpServer endlessHeader("HTTP/1.1 200 OK\r\nX-Endless: ", filler);
    testsupport::EndlessHttpServer endlessStatus("HTTP/1.1 200 ", filler);
    ASSERT_TRUE(endlessBody.isListening() && endlessHeader.isListening() && endlessStatus.isListening());
    platform::DownloadLimits limits;
    limits.timeoutMs = 20 * 1000;
    limits.maxBytes = 4 << 20;
    downloader->setLimits(limits);
    constexpr qint64 kMiB = 1 << 20;

    auto r = downloader->download(endlessBody.url("/a.jpg"), path("a.jpg"));
    EXPECT_EQ(r.errorNumber, platform::DownloadErr::TooLarge) << r.description.toStdString();
    EXPECT_LE(r.bytes, limits.maxBytes + kMiB);
    EXPECT_LE(r.transferred, limits.maxBytes + kMiB);
    EXPECT_TRUE(r.description.contains("larger than")) << r.description.toStdString();

    for (auto *server : {&endlessHeader, &endlessStatus}) {
        r = downloader->download(server->url("/a.jpg"), path("a.jpg"));
        EXPECT_EQ(r.errorNumber, platform::DownloadErr::BadReply) << r.description.toStdString();
        EXPECT_LE(r.transferred, limits.maxHeadBytes + kMiB);
        EXPECT_TRUE(r.description.contains("header")) << r.description.toStdString();
    }

    const struct { const char *answer; const char *cause; } malformed[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nhello", "Content-Length"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello!", "Content-Length"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello", "closed"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n", "chunked"},
        {"HTTP/1.1 200 OK\r\nBad Header\r\n\r\nhello", "header"},
        {"hello\r\n\r\n", "status line"},
    };
    for (const auto &m : malformed) {
        SCOPED_TRACE(m.answer);
        testsupport::EndlessHttpServer server(m.answer, {});
        r = downloader->download(server.url("/a.jpg"), path("a.jpg"));
        EXPECT_EQ(r.errorNumber, platform::DownloadErr::BadReply) << r.description.toStdString();
        EXPECT_TRUE(r.description.contains(m.cause)) << r.description.toStdString();
    }
    EXPECT_TRUE(entries().isEmpty());

    // A well-formed chunked answer arrives whole.
    testsupport::EndlessHttpServer chunked(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;x=1\r\nhello\r\n1\r\n!\r\n0\r\nX-T: 1\r\n\r\n", {});
    r = downloader->download(chunked.url("/c.txt"), path("c.txt"));
    EXPECT_TRUE(r.ok) << r.description.toStdString();
    EXPECT_EQ(read("c.txt"), "hello!");
}

// The reply is read the same however its bytes are split.
TEST(HttpReplyParser, ReadsAnAnswerFedByteByByte)
{
    const QByteArray answer = "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.0 200 OK\r\ncontent-length: 0005\r\n"
                              "X-A:  b \r\n\r\nhello and more";
    platform::HttpReplyParser p;
    QByteArray body;
    for (const char c : answer)
        p.feed(&c, 1, [&](const char *d, qint64 n) { body.append(d, n); return true; });
    EXPECT_EQ(p.state(), platform::HttpReplyParser::State::Done);
    EXPECT_EQ(p.status(), 200);
    EXPECT_EQ(p.header("X-a"), "b");
    EXPECT_EQ(p.contentLength(), 5);
    EXPECT_EQ(body, "hello");
}

// A download the user waits for reports its progress and stops on Cancel.
TEST_F(Download, ProgressIsReportedAndAbortStopsTheDownload)
{
    server.stream("/big", 8LL << 20, true);
    qint64 last = -1, total = 0;
    downloader->setProgressHandler([&](qint64 done, qint64 all) {
        last = done;
        total = all;
        if (done >= (1 << 20))
            downloader->abort();
    });
    const auto r = get("/big", "big.dat");
    EXPECT_EQ(r.errorNumber, platform::DownloadErr::Aborted);
    EXPECT_GE(last, 1 << 20);
    EXPECT_EQ(total, 8LL << 20);
    EXPECT_TRUE(entries().isEmpty());
}

} // namespace
