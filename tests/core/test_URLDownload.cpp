#include "core/AppError.h"
#include "core/modURLDownload.h"
#include "platform/net/Download.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

// Writes a fixed body to the path asked for, or fails with a fixed number.
class ScriptedDownloader : public platform::Downloader {
public:
    platform::DownloadResult download(const QString &url, const QString &targetPath) override
    {
        calls.push_back({url, targetPath});
        platform::DownloadResult r;
        if (failWith != 0) {
            r.errorNumber = failWith;
            r.description = "scripted failure";
            return r;
        }
        QFile f(targetPath);
        r.ok = f.open(QIODevice::WriteOnly) && f.write("new") == 3;
        return r;
    }
    std::vector<std::pair<QString, QString>> calls;
    long failWith = 0;
};

class URLDownloadTest : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        dl = &platform::Seam<platform::Downloader>::install(std::make_unique<ScriptedDownloader>());
        folder = path("data");
    }
    void TearDown() override
    {
        platform::Seam<platform::Downloader>::reset();
        ProgramTest::TearDown();
    }
    // URLDownload, with the error number it reported in `number`.
    QString fetch(const QString &url, const QString &target, long mode)
    {
        return URLDownload(url, target, mode, &number, &description);
    }

    ScriptedDownloader *dl = nullptr;
    QString folder;
    long number = -1;
    QString description;
};

const QString kUrl = "http://www.example.de/update/version.txt";

TEST_F(URLDownloadTest, ModeZeroCountsUpToAFreeName)
{
    writeFile("data/version.txt", "1");
    writeFile("data/version (2).txt", "2");
    EXPECT_EQ(fetch(kUrl, folder, 0), folder + "/version (3).txt");
    writeFile("data/cover.tar.gz", "old");
    EXPECT_EQ(fetch("http://h/cover.tar.gz", folder + "/", 0), folder + "/cover.tar (2).gz");
    writeFile("data/readme", "old");
    EXPECT_EQ(fetch(kUrl, folder + "/readme", 0), folder + "/readme (2)");
    EXPECT_EQ(fetch(kUrl, folder + "/readme", 0), folder + "/readme (3)");
    EXPECT_EQ(fetch(kUrl, folder + "/fresh.txt", 0), folder + "/fresh.txt");
    EXPECT_EQ(number, 0);
    EXPECT_EQ(readFile("data/version (2).txt"), "2");
    EXPECT_EQ(readFile("data/readme (3)"), "new");
    EXPECT_EQ(dl->calls.size(), 5u);
    EXPECT_EQ(dl->calls.front().first, kUrl);
}

TEST_F(URLDownloadTest, ModesOneTwoAndOthersWithAnExistingFile)
{
    writeFile("data/version.txt", "old");
    EXPECT_EQ(fetch(kUrl, folder, 1), "");
    EXPECT_EQ(number, 0); // nothing to do is no failure
    EXPECT_EQ(fetch(kUrl, folder + "/version.txt", 2), "");
    EXPECT_EQ(number, ErrNo::DownloadFileExists);
    EXPECT_FALSE(description.isEmpty());
    EXPECT_TRUE(dl->calls.empty());
    EXPECT_EQ(readFile("data/version.txt"), "old");

    for (long mode : {3L, -1L, 99L}) {
        EXPECT_EQ(fetch(kUrl, folder + "/", mode), folder + "/version.txt"); // one "/" only
        EXPECT_EQ(number, 0);
    }
    EXPECT_EQ(readFile("data/version.txt"), "new");
    EXPECT_EQ(fetch(kUrl, folder + "/other.txt", 1), folder + "/other.txt");
    EXPECT_EQ(fetch(kUrl, folder + "/second.txt", 2), folder + "/second.txt");
}

TEST_F(URLDownloadTest, FailuresReturnNothingAndTheirNumber)
{
    for (long mode : {0L, 3L}) {
        EXPECT_EQ(fetch("version.txt", folder, mode), "");
        EXPECT_EQ(number, ErrNo::DownloadNoFileName);
    }
    EXPECT_TRUE(dl->calls.empty());
    // A file target needs no name from the address.
    EXPECT_EQ(fetch("version.txt", folder + "/v.txt", 3), folder + "/v.txt");

    dl->failWith = platform::DownloadErr::HttpBase + 404;
    EXPECT_EQ(fetch(kUrl, folder, 0), "");
    EXPECT_EQ(number, 13404);
    EXPECT_EQ(description, "scripted failure");
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_EQ(URLDownload(kUrl, folder, 0), ""); // out values are optional
}

TEST_F(URLDownloadTest, RealDownloaderFetchesFileAddresses)
{
    platform::Seam<platform::Downloader>::reset();
    writeFile("source/cover.png", "png bytes");
    const QString url = QUrl::fromLocalFile(path("source/cover.png")).toString();
    EXPECT_EQ(fetch(url, folder, 0), folder + "/cover.png");
    EXPECT_EQ(fetch(url, folder, 0), folder + "/cover (2).png");
    EXPECT_EQ(readFile("data/cover (2).png"), "png bytes");
    EXPECT_EQ(fetch(url + "-missing", folder, 3), "");
    EXPECT_GT(number, 0);
    EXPECT_FALSE(QFile::exists(folder + "/cover.png-missing"));
}

TEST_F(URLDownloadTest, JoinPathAndPathExists)
{
    EXPECT_EQ(joinPath("", "a.txt"), "a.txt");
    EXPECT_EQ(joinPath("/t", "a.txt"), "/t/a.txt");
    EXPECT_EQ(joinPath("/t/", "a.txt"), "/t/a.txt");
    writeFile("data/a.txt", "");
    EXPECT_TRUE(pathExists(folder + "/a.txt"));
    EXPECT_TRUE(pathExists(folder));
    EXPECT_FALSE(pathExists(folder + "/b.txt"));
    EXPECT_FALSE(pathExists(""));
    ASSERT_TRUE(QFile::link(folder + "/gone", folder + "/link"));
    EXPECT_TRUE(pathExists(folder + "/link")); // the name is taken even so
}

TEST(URLChecks, IsValidURL)
{
    for (const char *t : {"www.example.de", "WWW.Example.COM:8080/path/x.html", "shop.example.museum/",
                          "192.168.0.255", "http://10.0.0.1:80/x"})
        EXPECT_TRUE(isValidURL(t, false)) << t;
    for (const char *t : {"www.army.mil", "www.example.int", "192.168.300.1", "1.2.3.4.5", "1.2.3",
                          "http://www.example.xy", "localhost", "   ", ""})
        EXPECT_FALSE(isValidURL(t, false)) << t;
    // With the protocol required; https is not among the protocols.
    for (const char *t : {"HTTP://www.example.de/", "ftp://1.2.3.4/pub", "gopher://example.org"})
        EXPECT_TRUE(isValidURL(t, true)) << t;
    for (const char *t : {"www.example.de", "https://www.example.de", "mailto://someone.de",
                          "http://www.example.xy"})
        EXPECT_FALSE(isValidURL(t, true)) << t;
}

TEST(URLChecks, TopLevelDomainList)
{
    const QStringList tlds = knownTopLevelDomains();
    ASSERT_EQ(tlds.size(), 257);
    EXPECT_EQ(tlds.mid(0, 3), (QStringList{"com", "net", "edu"}));
    EXPECT_EQ(tlds[12], "coop");
    EXPECT_EQ(tlds.last(), "zw");
    EXPECT_EQ(QSet<QString>(tlds.begin(), tlds.end()).size(), 257);
    QStringList countries = tlds.mid(13);
    std::sort(countries.begin(), countries.end());
    EXPECT_EQ(countries, tlds.mid(13));
}

TEST(URLChecks, IsURL)
{
    for (const char *t : {"http://www.example.com", "HTTPS://x", "ftp://h/f", "file:///tmp/a.jpg",
                          "mailto:a@example.com", "news:comp.lang", "telnet://h", "gopher://h"})
        EXPECT_TRUE(isURL(t)) << t;
    for (const char *t : {"C:/covers/a.jpg", "c:", "/home/user/a.jpg", "www.example.com",
                          "cover:front", ":http", "", " http://x"})
        EXPECT_FALSE(isURL(t)) << t;
}

} // namespace
