// The favourites editor over the browser window.
#include "core/Globals.h"
#include "coverformats/BrowserLists.h"
#include "coverformats/frmFavorites.h"
#include "platform/widgets/ButtonPlus.h"
#include "web/BrowserTestSupport.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QTest>

namespace {

using platform::MsgAnswer::No;
using platform::MsgAnswer::Yes;

class Favorites : public webtest::BrowserTest {
protected:
    QString file() const { return path("data/favorites.dat"); }
};

// A click on an entry of the list, as the user makes it.
void clickEntry(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

TEST_F(Favorites, EditsKeepTheirNumberInvalidAddressesAreRefusedAndUnsavedEditsAreOffered)
{
    writeFile("data/favorites.dat", "[FAVORITES]\r\nfavorite_0=http://127.0.0.1/0\r\nfavorite_1=http://127.0.0.1/1\r\n"
                                    "favorite_2=http://127.0.0.1/2\r\n[DESCRIPTIONS]\r\ndesc_0=One\r\ndesc_1=Two\r\n"
                                    "desc_2=Three\r\n");
    openBrowser();
    dialogs->script = [&](QDialog &dialog) {
        auto &f = static_cast<frmFavorites &>(dialog);
        testsupport::showActive(&f);
        ASSERT_EQ(f.lstFavorites->count(), 3);
        EXPECT_EQ(f.lstFavorites->currentRow(), 0);
        EXPECT_EQ(f.txtDescription->text(), "One");
        EXPECT_FALSE(f.cmdDelete->isEnabled());
        EXPECT_FALSE(f.cmdSave->isEnabled());

        clickEntry(f.lstFavorites, 1);
        EXPECT_TRUE(f.cmdDelete->isEnabled());
        EXPECT_EQ(f.txtLink->text(), "http://127.0.0.1/1");

        // No web address: refused, the file unchanged.
        const QByteArray before = readFile("data/favorites.dat");
        testsupport::typeInto(f.txtLink, "no address");
        EXPECT_TRUE(f.cmdSave->isEnabled());
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
        ASSERT_EQ(prompter->shown.size(), 1u);
        EXPECT_EQ(prompter->shown[0].prompt, "Please enter a valid description and web adress.");
        EXPECT_EQ(prompter->shown[0].style, platform::MsgStyle::Critical);
        EXPECT_EQ(readFile("data/favorites.dat"), before);

        // A valid one is stored under the favourite's own number.
        testsupport::typeInto(f.txtLink, "www.example.de/new");
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
        EXPECT_EQ(prompter->shown.size(), 1u);
        EXPECT_EQ(FavoritesFile::load(file()).address(1, "0"), "www.example.de/new");
        EXPECT_EQ(f.lstFavorites->currentRow(), 1);
        EXPECT_EQ(f.lstLinks.value(1), "www.example.de/new");
        EXPECT_FALSE(f.cmdSave->isEnabled());

        // Choosing another with unsaved edits asks; No keeps the file.
        testsupport::typeInto(f.txtDescription, "Two edited");
        prompter->answers = {No};
        clickEntry(f.lstFavorites, 2);
        ASSERT_EQ(prompter->shown.size(), 2u);
        EXPECT_EQ(prompter->shown[1].prompt, "Save Changes?");
        EXPECT_EQ(FavoritesFile::load(file()).description(1, "0"), "Two");
        EXPECT_EQ(f.txtDescription->text(), "Three");

        // Closing with unsaved edits asks too; Yes stores them.
        testsupport::typeInto(f.txtDescription, " Three & more");
        prompter->answers = {Yes};
    };
    browser->menuEditFavorite->trigger();
    EXPECT_EQ(dialogs->shown, 1);
    ASSERT_EQ(prompter->shown.size(), 3u);
    EXPECT_EQ(prompter->shown[2].prompt, "Save Changes?");

    // The whole file written once: descriptions first, each section in list order.
    EXPECT_EQ(readFile("data/favorites.dat"),
              "[DESCRIPTIONS]\r\ndesc_0=One\r\ndesc_1=Two\r\ndesc_2=\" Three & more\"\r\n"
              "[FAVORITES]\r\nfavorite_0=http://127.0.0.1/0\r\nfavorite_1=www.example.de/new\r\n"
              "favorite_2=http://127.0.0.1/2\r\n");
    ASSERT_EQ(browser->mnuItem1.size(), 4u);
    EXPECT_EQ(browser->mnuItem1[3]->text(), " Three && more");
}

TEST_F(Favorites, NoneShippedTheFirstIsNumber0AndDeletingTheLastLeavesOnlyTheHomeItemAndNoFile)
{
    // None are shipped: a new program folder has no favourites file, and the menu only the
    // home page.
    ASSERT_FALSE(QFile::exists(PELMORA_SOURCE_DIR "/resources/data/favorites.dat"));
    ASSERT_FALSE(QFile::exists(file()));
    openBrowser();
    ASSERT_EQ(browser->mnuItem1.size(), 1u);
    EXPECT_EQ(browser->mnuItem1[0]->text(), "Pelmora Homepage");

    // The first favourite is number 0, in a file made for it.
    browser->mnuItem1[0]->trigger();
    ASSERT_TRUE(waitForComplete(gStrHomePageURL));
    prompter->inputs = {QStringLiteral("Only")};
    browser->menuCreateFavorite->trigger();
    EXPECT_EQ(readFile("data/favorites.dat"),
              "[FAVORITES]\nfavorite_0=" + gStrHomePageURL.toUtf8() + "\n[DESCRIPTIONS]\ndesc_0=Only\n");
    ASSERT_EQ(browser->mnuItem1.size(), 2u);
    EXPECT_EQ(browser->mnuItem1[1]->text(), "Only");
    prompter->shown.clear();

    dialogs->script = [&](QDialog &dialog) {
        auto &f = static_cast<frmFavorites &>(dialog);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        EXPECT_FALSE(f.cmdDelete->isEnabled());
        // A click on the chosen entry enables the delete command.
        clickEntry(f.lstFavorites, 0);
        ASSERT_TRUE(f.cmdDelete->isEnabled());
        prompter->answers = {Yes};
        QTest::mouseClick(f.cmdDelete, Qt::LeftButton);
        ASSERT_EQ(prompter->shown.size(), 1u);
        EXPECT_EQ(prompter->shown[0].prompt, "Are you sure?");
        EXPECT_FALSE(QFile::exists(file()));
        EXPECT_EQ(browser->mnuItem1.size(), 1u);
        EXPECT_EQ(f.lstFavorites->count(), 0);
        EXPECT_FALSE(f.txtLink->isEnabled());
    };
    browser->menuEditFavorite->trigger();
    EXPECT_FALSE(QFile::exists(file()));
    EXPECT_EQ(browser->mnuItem1.size(), 1u);
    EXPECT_EQ(browser->menuFavorites->actions().size(), 5);

    browser->menuEditFavorite->trigger();
    EXPECT_EQ(dialogs->shown, 1);
    ASSERT_EQ(prompter->shown.size(), 2u);
    EXPECT_EQ(prompter->shown[1].prompt, "No favorites available!\r\nPlease create some favorites first.");
    EXPECT_EQ(prompter->shown[1].style, platform::MsgStyle::OkOnly);
    EXPECT_EQ(prompter->shown[1].title, "Pelmora");
}

TEST_F(Favorites, AFileThatCannotBeReadOrWasNotChangedIsLeftAsItIs)
{
    // Written by hand in an order of its own: closing without an edit leaves it byte for byte.
    const QByteArray byHand = "[FAVORITES]\nfavorite_0=http://127.0.0.1/0\n[DESCRIPTIONS]\ndesc_0=Only\n";
    writeFile("data/favorites.dat", byHand);
    openBrowser();
    dialogs->script = [&](QDialog &dialog) { EXPECT_EQ(static_cast<frmFavorites &>(dialog).lstFavorites->count(), 1); };
    browser->menuEditFavorite->trigger();
    EXPECT_EQ(readFile("data/favorites.dat"), byHand);
    EXPECT_TRUE(prompter->shown.empty());

    // Damaged by a UTF-16 tail: told once, shown as far as it reads, never written over, not
    // even by a delete; the menu is rebuilt from what could be read.
    QByteArray damaged = byHand;
    for (const char c : QByteArray("desc_1=Second\r\n"))
        damaged += QByteArray(1, c) + '\0';
    writeFile("data/favorites.dat", damaged);
    dialogs->script = [&](QDialog &dialog) {
        auto &f = static_cast<frmFavorites &>(dialog);
        ASSERT_EQ(prompter->shown.size(), 1u);
        EXPECT_EQ(prompter->shown[0].prompt, "The favorites file favorites.dat could not be read. It is left as it is.");
        ASSERT_EQ(f.lstFavorites->count(), 1);
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        clickEntry(f.lstFavorites, 0);
        ASSERT_TRUE(f.cmdDelete->isEnabled());
        prompter->answers = {Yes};
        QTest::mouseClick(f.cmdDelete, Qt::LeftButton);
        ASSERT_EQ(prompter->shown.size(), 2u);
        EXPECT_EQ(prompter->shown[1].prompt, "Are you sure?");
        EXPECT_EQ(f.lstFavorites->count(), 1); // the list shows the file again, as it is
    };
    browser->menuEditFavorite->trigger();
    EXPECT_EQ(readFile("data/favorites.dat"), damaged);
    EXPECT_EQ(browser->mnuItem1.size(), 2u);

    // UTF-16 whole: no favourites can be read, and managing them says why.
    QByteArray utf16("\xFF\xFE", 2);
    for (const char c : byHand)
        utf16 += QByteArray(1, c) + '\0';
    writeFile("data/favorites.dat", utf16);
    prompter->shown.clear();
    browser->menuEditFavorite->trigger();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "The favorites file favorites.dat could not be read. It is left as it is.");
    EXPECT_EQ(readFile("data/favorites.dat"), utf16);
}

} // namespace
