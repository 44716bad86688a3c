#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "dialogs/UpdateReply.h"
#include "dialogs/frmUpdateCheck.h"

#include "support/LocalHttpServer.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QRegularExpression>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

// Ends the test with a failure where it would otherwise wait for ever.
class HangGuard {
public:
    explicit HangGuard(const char *what)
        : thread_([what](std::stop_token stop) {
              std::mutex mutex;
              std::unique_lock lock(mutex);
              std::condition_variable_any().wait_for(lock, stop, std::chrono::seconds(60), [] { return false; });
              if (!stop.stop_requested()) {
                  std::fprintf(stderr, "Never finished: %s\n", what);
                  std::abort();
              }
          })
    {
    }

private:
    std::jthread thread_;
};

// Counts the times a widget is painted.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

class UpdateCheck : public mainwindowtest::MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        options("LANGUAGE=English.dll\r\nSHOWTIPS=1\r\n");
        start();
        ASSERT_TRUE(server.isListening());
        gStrHomePageURL = server.url(QStringLiteral("/"));
        saved = frmUpdateCheck::downloadLimits();
        frmUpdateCheck::downloadLimits().timeoutMs = 1000;
        dialog = std::make_unique<frmUpdateCheck>(window.get());
        dialog->show();
        designText = dialog->lblCheckUpateInfo->text();
    }
    void TearDown() override
    {
        dialog.reset();
        frmUpdateCheck::downloadLimits() = saved;
        MainWindowTest::TearDown();
    }
    // Serves version.txt and runs one check.
    void check(const QByteArray &versionFile)
    {
        server.serve(QStringLiteral("/version.txt"), versionFile);
        dialog->cmdRetry_Click();
    }
    QString newerText(const QString &version) const
    {
        return QStringLiteral("A newer version of Pelmora is available: %1. Please visit our website %2.")
            .arg(version, gStrHomePageURL);
    }

    testsupport::LocalHttpServer server;
    platform::DownloadLimits saved;
    std::unique_ptr<frmUpdateCheck> dialog;
    QString designText;
    const QString own = frmUpdateCheck::programVersion();
    const QString current = QStringLiteral("You have the current version installed");
};

} // namespace

TEST_F(UpdateCheck, TheAddressHasOneSlashAndTheVersionIsTheProjects)
{
    EXPECT_EQ(frmUpdateCheck::versionFileAddress(), server.url(QStringLiteral("/version.txt")));
    gStrHomePageURL = QStringLiteral("https://www.pelmora.example/en");
    EXPECT_EQ(frmUpdateCheck::versionFileAddress(), "https://www.pelmora.example/en/version.txt");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+$")).match(own).hasMatch());
    EXPECT_EQ(frmUpdateCheck::downloadLimits().maxBytes, 64 * 1024);
    EXPECT_EQ(saved.timeoutMs, 15 * 1000);
    EXPECT_FALSE(dialog->cmdUpdate->isVisible());
}

TEST_F(UpdateCheck, TheSameVersionWithOrWithoutBlanksIsCurrent)
{
    check(own.toUtf8() + "\r\n");
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), current);
    EXPECT_FALSE(dialog->cmdUpdate->isVisible());
    EXPECT_EQ(dialog->progBar->value(), 100);
    EXPECT_TRUE(dialog->cmdRetry->isEnabled());
    EXPECT_EQ(dialog->cmdRetry->text(), "Retry");

    check(" " + own.toUtf8() + " ");
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), current);
    EXPECT_FALSE(dialog->cmdUpdate->isVisible());
    EXPECT_TRUE(prompts().isEmpty());
    EXPECT_TRUE(QFile::exists(path("data/version.txt")));
}

TEST_F(UpdateCheck, ANewerOrOlderVersionOffersTheWebSite)
{
    for (const QByteArray &other : {QByteArray("99.7"), QByteArray("0.0")}) {
        check(other);
        EXPECT_EQ(dialog->lblCheckUpateInfo->text(), newerText(QString::fromUtf8(other)));
        EXPECT_TRUE(dialog->cmdUpdate->isVisible());
    }
    dialog->cmdUpdate->click();
    ASSERT_EQ(urls->opened.size(), 1u);
    EXPECT_EQ(urls->opened[0], gStrHomePageURL);

    // Two lines: the last one decides the text, the first one the button.
    dialog.reset();
    dialog = std::make_unique<frmUpdateCheck>(window.get());
    dialog->show();
    check("99.7\n" + own.toUtf8() + "\n");
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), current);
    EXPECT_TRUE(dialog->cmdUpdate->isVisible());
    EXPECT_EQ(dialog->progBar->value(), 100);

    // Markup from the server is shown as text, blanks kept.
    check(" <a href='x'>9.9</a>");
    EXPECT_EQ(dialog->lblCheckUpateInfo->textFormat(), Qt::PlainText);
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), newerText(" <a href='x'>9.9</a>"));
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(UpdateCheck, AnEmptyFileLeavesTheLabelAndAFileOfLineBreaksIsShownAtOnce)
{
    check("");
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), designText);
    EXPECT_TRUE(dialog->cmdRetry->isEnabled());
    EXPECT_EQ(dialog->progBar->value(), 75);
    EXPECT_TRUE(prompts().isEmpty());

    // Every kind of line end; a line end after the last line opens none.
    const UpdateReply mixed = readUpdateReply(QByteArray("1.0\r\n2.0\r") + own.toUtf8() + "\n", own);
    EXPECT_EQ(mixed.lines, 3);
    EXPECT_TRUE(mixed.lastIsOwn);
    EXPECT_TRUE(mixed.anotherVersion);

    // 64 KiB of line breaks: every line an empty version, read whole and told once; the bar
    // goes up a step a line only as far as it goes, and is drawn for those steps alone.
    const UpdateReply breaks = readUpdateReply(QByteArray(64 * 1024, '\n'), own);
    EXPECT_EQ(breaks.lines, 64 * 1024);
    EXPECT_EQ(breaks.lastLine, "");
    EXPECT_FALSE(breaks.lastIsOwn);
    PaintCounter bar(dialog->progBar);
    {
        const HangGuard guard("a version file of 64 KiB line breaks");
        check(QByteArray(64 * 1024, '\n'));
    }
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), newerText(""));
    EXPECT_TRUE(dialog->cmdUpdate->isVisible());
    EXPECT_EQ(dialog->progBar->value(), 100);
    EXPECT_LE(bar.paints, 10);
}

TEST_F(UpdateCheck, FailedDownloadsAreReportedAndNeverAnsweredFromAnOldFile)
{
    const QString failed = QStringLiteral(
        "Pelmora was not able to detect a possible update. Please ensure, that you are online and try again.");
    // An answer from an earlier check lies in the data folder.
    writeFile("data/version.txt", own.toUtf8());
    const QSize size = dialog->size();

    dialog->cmdRetry_Click(); // nothing served: 404
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_EQ(prompts()[0], failed);
    EXPECT_EQ(prompter->shown[0].style, 0);
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), designText);
    EXPECT_EQ(dialog->progBar->value(), 0);
    EXPECT_TRUE(dialog->cmdRetry->isEnabled());
    EXPECT_EQ(dialog->cmdRetry->text(), "Retry");

    server.stream(QStringLiteral("/version.txt"), 10LL * 1024 * 1024);
    dialog->cmdRetry_Click();
    EXPECT_EQ(prompts().size(), 2);

    // A stalled server: given up after the time limit.
    server.hang(QStringLiteral("/version.txt"));
    frmUpdateCheck::downloadLimits().maxBytes = 1LL << 30;
    QElapsedTimer clock;
    clock.start();
    dialog->cmdRetry_Click();
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(prompts().size(), 3);
    EXPECT_EQ(dialog->lblCheckUpateInfo->text(), designText);
    EXPECT_EQ(dialog->size(), size);
}

// Closing the window while the server stalls stops the download at once, without a message.
TEST_F(UpdateCheck, ClosingTheWindowStopsAStalledCheck)
{
    server.hang(QStringLiteral("/version.txt"));
    frmUpdateCheck::downloadLimits().timeoutMs = 20000;
    frmUpdateCheck::downloadLimits().maxBytes = 1LL << 30; // the stalling answer announces a large body
    QTimer::singleShot(300, dialog.get(), [this] { dialog->cmdCancel->click(); });
    QElapsedTimer clock;
    clock.start();
    dialog->cmdRetry_Click();
    EXPECT_LT(clock.elapsed(), 10000) << "the close reached the waiting download";
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join(u'|').toStdString();
    EXPECT_FALSE(dialog->isVisible());
}
