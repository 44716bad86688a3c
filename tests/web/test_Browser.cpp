// The web browser window: start page, typed-address history and favourites menu.
#include "core/Globals.h"
#include "coverformats/BrowserLists.h"
#include "platform/web/WebBrowser.h"
#include "web/BrowserTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTcpServer>
#include <QStyle>
#include <QTest>

namespace {

using webtest::BrowserTest;

QByteArray titled(const QByteArray &title, const QByteArray &body = "text")
{
    return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// An address on 127.0.0.1 where nothing listens.
QString closedPortAddress()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/gone").arg(port);
}

class Browser : public BrowserTest {};

TEST_F(Browser, OnlyTypedAddressesThatLoadEnterTheHistoryOnce)
{
    const QString a = page("a.html", titled("Page A"));
    const QString b = page("b.html", titled("Page B", "<a href='d.html' style='position:absolute;left:0;top:0;"
                                                      "width:300px;height:200px'>on</a>"));
    const QString c = page("c.html", "<html><body>a page without a title</body></html>");
    const QString d = page("d.html", titled("Page D"));
    writeFile("data/links.dat", ("[LINKS]\r\nlink_0=" + a + "\r\nlink_1=" + b + "\r\n").toUtf8());

    openBrowser();
    EXPECT_EQ(historyShown(), QStringList({b, a}));
    ASSERT_TRUE(waitFor([&] { return server.requestCount(startPath()) == 1; })) << startPath().toStdString();

    // Typed and loaded: at the top of the list, and the newest key of the file.
    type(c);
    ASSERT_TRUE(waitForComplete(c));
    EXPECT_EQ(browser->windowTitle(), "Pelmora - Webbrowser - ");
    EXPECT_EQ(browser->lstAdress->currentText(), c);
    EXPECT_EQ(historyShown(), QStringList({c, b, a}));
    const QByteArray file = readFile("data/links.dat");
    EXPECT_TRUE(file.contains(("link_2=" + c).toUtf8())) << file.toStdString();
    EXPECT_FALSE(browser->addressTyped());

    // Typed again with blanks around it: listed already, nothing written.
    type("  " + a + " ");
    ASSERT_TRUE(waitForComplete(a));
    EXPECT_EQ(browser->windowTitle(), "Pelmora - Webbrowser - Page A");
    EXPECT_EQ(historyShown(), QStringList({c, b, a}));
    EXPECT_EQ(readFile("data/links.dat"), file);

    // Chosen from the list, a link clicked in the page: the history stays.
    browser->lstAdress->setCurrentIndex(1);
    emit browser->lstAdress->activated(1);
    ASSERT_TRUE(waitForComplete(b));
    // The link fills the top left of the page: clicked there until the page takes the click.
    const int before = completed;
    auto atD = [&] { return completed > before && lastCompleted == d; };
    ASSERT_TRUE(waitFor([&] {
        QTest::mouseClick(browser->ie->view()->focusProxy(), Qt::LeftButton, {}, QPoint(100, 80));
        return waitFor(atD, 500);
    }));
    EXPECT_EQ(historyShown(), QStringList({c, b, a}));

    // A typed address that fails, and the next navigation that was not typed.
    type(closedPortAddress());
    EXPECT_TRUE(browser->addressTyped());
    ASSERT_TRUE(waitForError());
    EXPECT_FALSE(browser->addressTyped());
    browser->ie->Navigate(d);
    ASSERT_TRUE(waitForComplete(d));
    EXPECT_EQ(historyShown(), QStringList({c, b, a}));
    EXPECT_EQ(readFile("data/links.dat"), file);

    // A navigation that was not typed and fails: the address box names the address that failed.
    const QString gone = closedPortAddress();
    browser->ie->Navigate(gone);
    ASSERT_TRUE(waitForError());
    EXPECT_EQ(browser->lstAdress->currentText(), gone);
    EXPECT_EQ(historyShown(), QStringList({c, b, a}));

    // A start page that cannot be reached, the first page of the window: named the same way.
    browser->close();
    delete browser;
    gStrSearchURL = closedPortAddress();
    openBrowser();
    ASSERT_TRUE(waitForError());
    EXPECT_TRUE(browser->lstAdress->currentText().startsWith(gStrSearchURL + "/?l="))
        << browser->lstAdress->currentText().toStdString();
}

TEST_F(Browser, OfflineStartsBlankAndTheTwentyFirstAddressPushesOutTheOldest)
{
    platform::web::WebBrowser::overrideOffline(true);
    QByteArray links = "[LINKS]\r\n";
    for (int i = 0; i < 20; ++i)
        links += "link_" + QByteArray::number(i) + "=http://127.0.0.1/old" + QByteArray::number(i) + "\r\n";
    links += "link_25=http://127.0.0.1/stray\r\n";
    writeFile("data/links.dat", links);

    // A screen smaller than the window's 900 x 680, its top 40 taken by a panel: the window
    // with its title bar lies within what is left.
    screen->free = QRect(0, 40, 800, 600);
    openBrowser();
    ASSERT_TRUE(waitForComplete("about:blank"));
    EXPECT_TRUE(screen->free.contains(browser->frameGeometry())) << browser->frameGeometry().y();
    EXPECT_LE(browser->height() + browser->style()->pixelMetric(QStyle::PM_TitleBarHeight), screen->free.height());
    EXPECT_EQ(browser->frameGeometry().width(), 800);
    EXPECT_TRUE(browser->rect().contains(browser->ie->geometry())) << "the page fits the window";
    EXPECT_EQ(server.requestCount(startPath()), 0);
    ASSERT_EQ(historyShown().size(), 20);
    EXPECT_EQ(historyShown().front(), "http://127.0.0.1/old19");

    const QString fresh = page("fresh.html", titled("Fresh"));
    type(fresh);
    ASSERT_TRUE(waitForComplete(fresh));
    const QStringList shown = historyShown();
    ASSERT_EQ(shown.size(), 20);
    EXPECT_EQ(shown.front(), fresh);
    EXPECT_EQ(shown.back(), "http://127.0.0.1/old1");
    const QByteArray file = readFile("data/links.dat");
    EXPECT_TRUE(file.contains(("link_19=" + fresh + "\r\n").toUtf8()));
    EXPECT_TRUE(file.contains("link_0=http://127.0.0.1/old1\r\n"));
    EXPECT_TRUE(file.contains("link_18=http://127.0.0.1/old19\r\n"));
    EXPECT_FALSE(file.contains("/old0\r\n"));
    EXPECT_TRUE(file.contains("link_25=http://127.0.0.1/stray\r\n"));
}

TEST_F(Browser, FavouritesMenuFollowsAddsAndTheWindowIsOpenedOnce)
{
    // The file's address holds percent signs that the store's expansion would change.
    const QString spaced = page("x y z.html", titled("Spaced"));
    ASSERT_TRUE(spaced.contains("x%20y%20z"));
    writeFile("data/favorites.dat", ("[FAVORITES]\r\nfavorite_0=http://127.0.0.1/tj\r\nfavorite_1=" + spaced +
                                     "\r\n[DESCRIPTIONS]\r\ndesc_0=Tom & Jerry\r\ndesc_1=Spaced out\r\n").toUtf8());

    frmSearch *first = openBrowser();
    ASSERT_TRUE(waitFor([&] { return server.requestCount(startPath()) == 1; }));
    EXPECT_EQ(frmSearch::showSearch(), first); // open already: to the front, not loaded again

    ASSERT_EQ(browser->mnuItem1.size(), 3u);
    EXPECT_EQ(browser->mnuItem1[0]->text(), "Pelmora Homepage");
    EXPECT_EQ(browser->mnuItem1[1]->text(), "Tom && Jerry");
    EXPECT_EQ(browser->mnuItem1[2]->text(), "Spaced out");
    const QList<QAction *> menu = browser->menuFavorites->actions();
    ASSERT_EQ(menu.size(), 7);
    EXPECT_EQ(menu[3], browser->mnuItem1[0]);
    EXPECT_EQ(menu[5], browser->mnuItem1[2]);
    EXPECT_EQ(menu[6], browser->menuLine2);

    browser->mnuItem1[2]->trigger();
    EXPECT_EQ(browser->lstAdress->currentText(), spaced);
    ASSERT_TRUE(waitForComplete(spaced));
    EXPECT_EQ(browser->windowTitle(), "Pelmora - Webbrowser - Spaced");
    browser->mnuItem1[0]->trigger();
    ASSERT_TRUE(waitForComplete(gStrHomePageURL));
    EXPECT_TRUE(historyShown().isEmpty());

    // Adding: a description of blanks only is refused and asked for again; blanks stay.
    prompter->inputs = {QStringLiteral("   "), QStringLiteral("  My home  ")};
    browser->menuCreateFavorite->trigger();
    ASSERT_EQ(prompter->shown.size(), 3u);
    EXPECT_EQ(prompter->shown[0].prompt, "Please enter a description");
    EXPECT_EQ(prompter->shown[0].title, "Add a Favorite");
    EXPECT_EQ(prompter->shown[1].prompt, "Please enter a valid description (at least 1 sign)");
    EXPECT_EQ(prompter->shown[1].style, platform::MsgStyle::Information);
    FavoritesFile favorites = FavoritesFile::load(path("data/favorites.dat"));
    ASSERT_EQ(favorites.count(), 3);
    EXPECT_EQ(favorites.description(2, "0"), "  My home  ");
    EXPECT_EQ(favorites.address(2, "0"), gStrHomePageURL);
    EXPECT_EQ(favorites.address(1, "0"), spaced);
    ASSERT_EQ(browser->mnuItem1.size(), 4u);
    EXPECT_EQ(browser->mnuItem1[3]->text(), "  My home  ");
    EXPECT_EQ(browser->menuFavorites->actions().indexOf(browser->mnuItem1[3]), 6);

    // Cancelled: nothing stored.
    prompter->inputs = {std::nullopt};
    browser->menuCreateFavorite->trigger();
    EXPECT_EQ(FavoritesFile::load(path("data/favorites.dat")).count(), 3);
    EXPECT_EQ(browser->mnuItem1.size(), 4u);

    // Closed, the window ends; the next opening loads afresh.
    browser->close();
    ASSERT_TRUE(waitFor([] { return frmSearch::instance() == nullptr; }));
    openBrowser();
    EXPECT_EQ(browser->mnuItem1.size(), 4u);
    ASSERT_TRUE(waitFor([&] { return server.requestCount(startPath()) == 2; }));
}

} // namespace
