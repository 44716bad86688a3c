#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

const QByteArray kLine = "CD_FRONT;12;12;4,5;1,5;4,5;15,5;0;0;0;2;0;0;0;0";

class CoverData : public testsupport::ProgramTest {
protected:
    void language(const QByteArray &cover)
    {
        writeFile("language/English.dll", "[COVER]\n" + cover);
        setLanguage(path("language/English.dll"));
    }
    void copyDefaultProgramFolder()
    {
        for (const QString sub : {"data", "language"}) {
            QDir src(QStringLiteral(PELMORA_SOURCE_DIR "/resources/") + sub);
            for (const QString &f : src.entryList(QDir::Files)) {
                QFile::remove(path(sub + "/" + f));
                ASSERT_TRUE(QFile::copy(src.filePath(f), path(sub + "/" + f)));
            }
        }
    }
};

} // namespace

TEST_F(CoverData, RecordFieldsAndDisplayNames)
{
    language("CD_FRONT=Front cover\n");
    writeFile("data/CD.dat", kLine + "\r\n" + "CD_OTHER;11,8;x;1;1;1;1;0;0;0;0;0;0;0;0;extra;more\r\n");
    for (const char *sign : {".", ","}) {
        gStrDecimalSeparator = sign;
        const CoverTable t = ReadUserData("CD.dat", true);
        ASSERT_TRUE(t.hasRecords());
        ASSERT_EQ(t.count(), 2);
        EXPECT_EQ(t.at(0).text(0), "CD_FRONT");
        EXPECT_DOUBLE_EQ(t.at(0).number(1), 12.0);
        EXPECT_DOUBLE_EQ(t.at(0).number(4), 1.5);
        EXPECT_DOUBLE_EQ(t.at(0).number(10), 2.0);
        EXPECT_EQ(t.at(0).text(15), "Front cover");
        EXPECT_EQ(t.at(1).text(15), "Error");      // no language text for the key
        EXPECT_FALSE(t.at(1)[2].isNumber());      // text where a number belongs stays text
        EXPECT_EQ(t.at(1).text(2), "x");
        EXPECT_EQ(t.at(1).text(15), "Error");     // the line's own 16th field is ignored
        EXPECT_DOUBLE_EQ(t.at(1).number(1), 11.8);
    }
    writeFile("data/mycover.dat", "My own;10;10;1;1;1;1;0;0;0;0;0;0;0;0\n");
    const CoverTable own = ReadUserData("mycover.dat", false);
    EXPECT_EQ(own.at(0).text(15), "My own");
    EXPECT_EQ(own.at(0).toLine(), "My own;10;10;1;1;1;1;0;0;0;0;0;0;0;0");
}

TEST_F(CoverData, MissingOrEmptyFilesGiveTheEmptyTable)
{
    writeFile("data/mycover.dat", "");
    EXPECT_TRUE(ReadUserData("mycover.dat", false).isEmpty());
    EXPECT_TRUE(ReadUserData("DVD.dat", true).isEmpty());
    EXPECT_EQ(ReadUserData("DVD.dat", true).count(), 0);
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(CoverData, ABadLineMakesTheWholeFileUnread)
{
    writeFile("data/VHS.dat", kLine + "\r\n" + kLine + "\r\nVHS_SHORT;1;2;3\r\n" + kLine + "\r\n");
    const CoverTable t = ReadUserData("VHS.dat", true);
    EXPECT_TRUE(t.isUnread());
    EXPECT_EQ(t.count(), 0);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].style, 16);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("Fehler beim einlesen der Cover-Daten: VHS.dat:2"));
    EXPECT_TRUE(prompter->shown[0].prompt.contains("libInitialize.ReadUserData"));

    // The counter names the line of the file: blank lines before it count. A line of 14
    // fields, one short, is refused as well.
    prompter->shown.clear();
    writeFile("data/mycover.dat", kLine + "\r\n\r\n   \r\n" + kLine + "\r\n" + kLine.left(kLine.lastIndexOf(';')) + "\r\n");
    EXPECT_TRUE(ReadUserData("mycover.dat", false).isUnread());
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("Fehler beim einlesen der Cover-Daten: mycover.dat:4"));
}

TEST_F(CoverData, BlankLinesAndLineEndsAreNoRecords)
{
    writeFile("data/CD.dat", kLine + "\r\n   \r\n" + kLine + "\n\n" + kLine + "\r" + kLine);
    const CoverTable t = ReadUserData("CD.dat", true);
    ASSERT_EQ(t.count(), 4);
    EXPECT_DOUBLE_EQ(t.at(3).number(14), 0.0);  // a last field without CR stays a number
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(CoverData, OddNumbersAndEncodings)
{
    writeFile("data/MC.dat", "MC\xE4;1e400;-0,5;+3;1,2,3;;0;0;0;0;0;0;0;0;0\r\n");
    const CoverTable t = ReadUserData("MC.dat", false);
    ASSERT_EQ(t.count(), 1);
    EXPECT_EQ(t.at(0).text(0), QString::fromUtf8("MCä"));
    EXPECT_FALSE(t.at(0)[1].isNumber());
    EXPECT_DOUBLE_EQ(t.at(0).number(2), -0.5);
    EXPECT_DOUBLE_EQ(t.at(0).number(3), 3.0);
    EXPECT_FALSE(t.at(0)[4].isNumber());
    EXPECT_FALSE(t.at(0)[5].isNumber());
}

TEST_F(CoverData, TheShippedFilesReadUnderBothDecimalSigns)
{
    copyDefaultProgramFolder();
    setLanguage(path("language/English.dll"));
    for (const char *sign : {".", ","}) {
        gStrDecimalSeparator = sign;
        loadCoverData();
        ASSERT_TRUE(prompter->shown.empty());
        for (int m = 0; m < 5; ++m) {
            const CoverTable &t = gVarCoverTypes[size_t(m)];
            ASSERT_TRUE(t.hasRecords()) << m;
            EXPECT_GE(t.count(), 3) << m;
            for (const CoverRecord &r : t.records()) {
                for (int i = 1; i < CoverField::kStoredCount; ++i)
                    EXPECT_TRUE(r[i].isNumber()) << r.text(0).toStdString() << " field " << i;
                EXPECT_NE(r.text(15), "Error") << r.text(0).toStdString();
                EXPECT_GT(r.number(CoverField::Height), 0);
                EXPECT_GT(r.number(CoverField::Width), 0);
            }
            const double preLeft = t.at(0).number(CoverField::PreselectLeft);
            const double preRight = t.at(0).number(CoverField::PreselectRight);
            EXPECT_LT(preLeft, t.count());
            EXPECT_LT(preRight, t.count());
        }
        EXPECT_TRUE(gVarCoverTypes[5].isEmpty());
        EXPECT_EQ(gVarCoverTypes, gVarCoverTypesLoaded);
        EXPECT_DOUBLE_EQ(gVarCoverTypes[0].at(2).number(CoverField::Crease1), 0.65);
    }
}

TEST_F(CoverData, TheShippedOptionsFileHoldsTheDefaults)
{
    copyDefaultProgramFolder();
    gObjOptionsStore().setInitFileName(optionsFilePath());
    gObjOptionsStore().initializeAll("OPTIONS");
    gIntLastCoverRight = 0;
    readOptions();
    EXPECT_EQ(gIntLastCoverRight, 2);
    EXPECT_DOUBLE_EQ(gDblBorderWidth, 0.25);
    EXPECT_EQ(gStrPrinterName, "0");
    EXPECT_TRUE(prompter->shown.empty());
}

TEST(LanguageFiles, BothFilesHoldTheSameKeysInEverySection)
{
    auto keysOf = [](const QString &file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        QStringList keys, sections;
        QString section;
        for (const QByteArray &raw : f.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith('[')) {
                section = line.mid(1, line.indexOf(']') - 1);
                sections << section;
            } else if (line.contains('=') && !line.startsWith(';')) {
                keys << section + "." + line.left(line.indexOf('=')).trimmed();
            }
        }
        return std::make_pair(sections, keys);
    };
    const auto en = keysOf(PELMORA_SOURCE_DIR "/resources/language/English.dll");
    const auto de = keysOf(PELMORA_SOURCE_DIR "/resources/language/Deutsch.dll");
    EXPECT_EQ(en.first, languageSections());
    EXPECT_EQ(de.first, languageSections());
    EXPECT_EQ(en.second, de.second);
    QStringList unique = en.second;
    EXPECT_EQ(unique.removeDuplicates(), 0);

    // The bounds of a text's drawing are the program's: each message has the places of the bound
    // it names, not numbers that would stay behind when the bounds change.
    const std::pair<const char *, std::vector<const char *>> bounds[] = {
        {"MSG_TEXT_TOO_LARGE=", {"@side@", "@pixels@"}},
        {"MSG_TEXT_TOO_LONG=", {"@characters@"}},
        {"MSG_TEXT_TOO_MANY_ACCENTS=", {"@marks@"}},
        {"MSG_TEXT_TOO_WIDELY_SPACED=", {}},
        {"MSG_TEXT_TOO_COSTLY=", {"@seconds@"}},
    };
    for (const char *file : {PELMORA_SOURCE_DIR "/resources/language/English.dll",
                             PELMORA_SOURCE_DIR "/resources/language/Deutsch.dll"}) {
        QFile f(QString::fromUtf8(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (const auto &[key, places] : bounds) {
            QString message;
            for (const QByteArray &raw : lines)
                if (raw.startsWith(key))
                    message = QString::fromUtf8(raw).mid(int(qstrlen(key)));
            EXPECT_FALSE(message.trimmed().isEmpty()) << file << " " << key;
            for (const char *place : places)
                EXPECT_TRUE(message.contains(QLatin1String(place))) << file << " " << key << " " << place;
            EXPECT_FALSE(message.contains(QRegularExpression(QStringLiteral("\\d")))) << file << " " << key;
        }
    }
}
