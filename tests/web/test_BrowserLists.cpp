// The browser's list files, without a window.
#include "coverformats/BrowserLists.h"
#include "support/TestSupport.h"

#include <QFile>

namespace {

class BrowserLists : public testsupport::ProgramTest {
protected:
    QString favorites() const { return path("data/favorites.dat"); }
    QString links() const { return path("data/links.dat"); }
};

TEST_F(BrowserLists, FavouritesComeBackAsWrittenAndGarbageGivesItemsByTheCountRule)
{
    // Percent signs, blanks at the ends, quotes and "&" survive the round trip.
    ASSERT_EQ(FavoritesFile::append(favorites(), "http://www.example.de/a%20b%20c", "  Pictures & more "), 0);
    ASSERT_EQ(FavoritesFile::append(favorites(), "127.0.0.1/%PATH%", "\"quoted\""), 1);
    FavoritesFile f = FavoritesFile::load(favorites());
    EXPECT_EQ(f.count(), 2);
    EXPECT_EQ(f.address(0, "0"), "http://www.example.de/a%20b%20c");
    EXPECT_EQ(f.description(0, "0"), "  Pictures & more ");
    EXPECT_EQ(f.address(1, "0"), "127.0.0.1/%PATH%");
    EXPECT_EQ(f.description(1, "0"), "\"quoted\"");
    EXPECT_TRUE(readFile("data/favorites.dat").contains("favorite_0=http://www.example.de/a%20b%20c"));

    // An added favourite never takes a number that holds a value: number 1 is taken although
    // the count says 1.
    writeFile("data/favorites.dat", "[FAVORITES]\r\nfavorite_1=http://a.de\r\n[DESCRIPTIONS]\r\ndesc_1=A\r\n");
    EXPECT_EQ(FavoritesFile::load(favorites()).count(), 1);
    EXPECT_EQ(FavoritesFile::append(favorites(), "http://b.de", "B"), 2);
    f = FavoritesFile::load(favorites());
    EXPECT_EQ(f.address(1, "0"), "http://a.de");
    EXPECT_EQ(f.description(2, "0"), "B");
    EXPECT_EQ(f.description(0, "0"), "0"); // missing values read as the default

    // Binary bytes, stray keys, missing descriptions: three values give two items.
    QByteArray garbage("\xff\xfe junk\r\n[FAVORITES]\r\nfavorite_0=http://x.de\r\nstray=1\r\n"
                       "[DESCRIPTIONS]\r\nnoise\r\n[OTHER]\r\nx=1\r\n");
    garbage += QByteArray("\x00\x01\x02", 3);
    writeFile("data/favorites.dat", garbage);
    f = FavoritesFile::load(favorites());
    EXPECT_EQ(f.count(), 1); // 2 values (favorite_0 and the stray key): one favourite
    EXPECT_EQ(f.description(0, "0"), "0");
    writeFile("data/favorites.dat", QByteArray(4096, '\xc3'));
    EXPECT_EQ(FavoritesFile::load(favorites()).count(), 0);
}

TEST_F(BrowserLists, RewriteHoldsDescriptionsFirstAndTenThousandFavouritesAndRemovesAnEmptyList)
{
    QList<FavoritesFile::Favorite> list;
    for (int i = 0; i < 10000; ++i)
        list.append({QStringLiteral("Page %1").arg(i), QStringLiteral("http://127.0.0.1/%1").arg(i)});
    ASSERT_TRUE(FavoritesFile::rewrite(favorites(), list));
    const QByteArray bytes = readFile("data/favorites.dat");
    EXPECT_TRUE(bytes.startsWith("[DESCRIPTIONS]\r\ndesc_0=Page 0\r\ndesc_1=Page 1\r\n"));
    EXPECT_LT(bytes.indexOf("desc_9999="), bytes.indexOf("[FAVORITES]\r\nfavorite_0=http://127.0.0.1/0\r\n"));
    const FavoritesFile f = FavoritesFile::load(favorites());
    EXPECT_EQ(f.count(), 10000);
    EXPECT_EQ(f.description(9999, "0"), "Page 9999");
    EXPECT_EQ(f.address(5000, "0"), "http://127.0.0.1/5000");

    ASSERT_TRUE(FavoritesFile::rewrite(favorites(), {}));
    EXPECT_FALSE(QFile::exists(favorites()));
    EXPECT_TRUE(FavoritesFile::rewrite(favorites(), {})); // no file is no failure
}

TEST_F(BrowserLists, HistoryListsAtMostTwentyNewestFirstAndSavesTheListAsShown)
{
    QByteArray thirty = "[LINKS]\r\n";
    for (int i = 0; i < 30; ++i)
        thirty += "link_" + QByteArray::number(i) + "=http://127.0.0.1/" + QByteArray::number(i) + "\r\n";
    writeFile("data/links.dat", thirty);
    QStringList list = AddressHistory::load(links());
    ASSERT_EQ(list.size(), 20);
    EXPECT_EQ(list.front(), "http://127.0.0.1/19");
    EXPECT_EQ(list.back(), "http://127.0.0.1/0");

    QByteArray garbage("\x01\xff\n[LINKS]\nlink_3=  \nlink_x=1\nlink_4=\x01\n");
    garbage += QByteArray(64, '\0');
    writeFile("data/links.dat", garbage);
    EXPECT_LE(AddressHistory::load(links()).size(), 20);

    // Gaps: the file afterwards holds the list as shown, oldest under link_0; keys above
    // link_19 stay as they were.
    writeFile("data/links.dat", "[LINKS]\r\nlink_3=http://a.de/a%20b\r\nlink_7=http://b.de\r\nlink_25=http://c.de\r\n");
    list = AddressHistory::load(links());
    EXPECT_EQ(list, QStringList({"http://b.de", "http://a.de/a%20b"}));
    EXPECT_TRUE(AddressHistory::contains(list, "  http://b.de "));
    EXPECT_FALSE(AddressHistory::contains(list, "HTTP://B.DE"));
    list.prepend("http://new.de");
    ASSERT_TRUE(AddressHistory::save(links(), list));
    EXPECT_EQ(AddressHistory::load(links()), list);
    const QByteArray bytes = readFile("data/links.dat");
    EXPECT_TRUE(bytes.contains("link_0=http://a.de/a%20b\r\n"));
    EXPECT_TRUE(bytes.contains("link_1=http://b.de\r\n"));
    EXPECT_TRUE(bytes.contains("link_2=http://new.de\r\n"));
    EXPECT_TRUE(bytes.contains("link_25=http://c.de\r\n"));
}

} // namespace
