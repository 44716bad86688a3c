// Seeding the user's program folder from an installed one, first and after an upgrade.
#include "core/AppPath.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(ProgramFolderSeeding, UpgradesReplaceOnlyUntouchedFilesAndNeverData)
{
    QTemporaryDir dir;
    const QString installed = dir.path() + "/share/pelmora";
    const QString home = dir.path() + "/home/pelmora";
    put(installed + "/data/pelmora.dat", "defaults 1");
    put(installed + "/language/English.dll", "english 1");
    put(installed + "/language/Deutsch.dll", "deutsch 1");
    put(installed + "/help/English.html", "help 1");

    seedProgramFolder(installed, home);
    EXPECT_EQ(get(home + "/data/pelmora.dat"), "defaults 1");
    EXPECT_EQ(get(home + "/language/English.dll"), "english 1");
    EXPECT_EQ(get(home + "/help/English.html"), "help 1");

    // The user changes options and edits the German texts; the program is upgraded.
    put(home + "/data/pelmora.dat", "my options");
    put(home + "/language/Deutsch.dll", "mein deutsch");
    QFile::remove(home + "/help/English.html");
    put(installed + "/data/pelmora.dat", "defaults 2");
    put(installed + "/data/MC.dat", "new format table");
    put(installed + "/language/English.dll", "english 2");
    put(installed + "/language/Deutsch.dll", "deutsch 2");
    put(installed + "/language/Francais.dll", "francais 2");
    put(installed + "/help/English.html", "help 2");

    seedProgramFolder(installed, home);
    EXPECT_EQ(get(home + "/data/pelmora.dat"), "my options");
    EXPECT_EQ(get(home + "/data/MC.dat"), "<missing>");
    EXPECT_EQ(get(home + "/language/English.dll"), "english 2");
    EXPECT_EQ(get(home + "/language/Deutsch.dll"), "mein deutsch");
    EXPECT_EQ(get(home + "/language/Francais.dll"), "francais 2");
    EXPECT_EQ(get(home + "/help/English.html"), "help 2");

    // A file from before hashes were recorded is the user's unless it equals the installed one;
    // the equal one is adopted and follows the next upgrade.
    QFile::remove(home + "/.seeded");
    put(installed + "/language/English.dll", "english 3");
    put(installed + "/language/Francais.dll", "francais 3");
    put(home + "/language/Francais.dll", "francais 3");
    seedProgramFolder(installed, home);
    EXPECT_EQ(get(home + "/language/English.dll"), "english 2");
    put(installed + "/language/Francais.dll", "francais 4");
    seedProgramFolder(installed, home);
    EXPECT_EQ(get(home + "/language/Francais.dll"), "francais 4");
    EXPECT_EQ(get(home + "/language/Deutsch.dll"), "mein deutsch");
}
