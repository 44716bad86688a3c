#include "platform/net/Download.h"

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

} // namespace
