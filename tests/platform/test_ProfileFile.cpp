#include "platform/ini/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

using platform::ProfileFile;
using platform::TextEncoding;

namespace {

QStringList keyNames(const ProfileFile &pf, const QString &section, int buffer = 5000)
{
    QStringList out;
    const QString b = pf.keyNameBuffer(section, buffer);
    for (const QString &n : b.split(QChar(0)))
        if (!n.isEmpty())
            out << n;
    return out;
}

class ProfileFileDisk : public testing::Test {
protected:
    QString file(const QString &name = QStringLiteral("test.ini")) const { return dir.path() + u'/' + name; }
    void write(const QByteArray &bytes, const QString &name = QStringLiteral("test.ini"))
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString &name = QStringLiteral("test.ini")) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

} // namespace

TEST(ProfileFileRead, NamesIgnoreCaseValuesAreTrimmedAndUnquoted)
{
    const auto pf = ProfileFile::fromBytes("[Options]\n  Language =  English.dll  \nQ1=\"quoted value\"\n"
                                           "Q2='single'\nQ3=\"unbalanced'\nQ4=\"\"\nEq=a=b\n");
    EXPECT_EQ(pf.value("OPTIONS", "language", 2000), "English.dll");
    EXPECT_EQ(pf.value("options", "Q1", 2000), "quoted value");
    EXPECT_EQ(pf.value("options", "Q2", 2000), "single");
    EXPECT_EQ(pf.value("options", "Q3", 2000), "\"unbalanced'");
    EXPECT_EQ(pf.value("options", "Q4", 2000), "");
    EXPECT_EQ(pf.value("options", "EQ", 2000), "a=b");
    EXPECT_EQ(pf.value("missing", "Q1", 2000), "");
    EXPECT_EQ(pf.value("options", "missing", 2000), "");
}

TEST(ProfileFileRead, FirstOfEqualKeysAndSectionsWinsCommentsAreSkipped)
{
    const auto pf = ProfileFile::fromBytes("[A]\nk=first\n;k=comment\nK=second\nnoequals\n[B]\nk=b\n[a]\nk=third\nz=1\n");
    EXPECT_EQ(pf.value("A", "k", 2000), "first");
    EXPECT_EQ(keyNames(pf, "A"), (QStringList{"k", "K"})); // a line without "=" is no key
    EXPECT_EQ(pf.value("a", "z", 2000), "");
    EXPECT_EQ(pf.value("B", "K", 2000), "b");
}

TEST(ProfileFileRead, AllLineEndsAndNoFinalLineEnd)
{
    for (const QByteArray &eol : {QByteArray("\n"), QByteArray("\r\n"), QByteArray("\r")}) {
        const auto pf = ProfileFile::fromBytes("[S]" + eol + "a=1" + eol + "b=2" + eol + "[T]" + eol + "c=3");
        EXPECT_EQ(pf.value("S", "a", 2000), "1") << eol.toHex().constData();
        EXPECT_EQ(pf.value("S", "b", 2000), "2");
        EXPECT_EQ(pf.value("T", "c", 2000), "3");
    }
    const auto mixed = ProfileFile::fromBytes("[S]\r\na=1\rb=2\nc=3");
    EXPECT_EQ(keyNames(mixed, "S"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(mixed.toBytes(), "[S]\r\na=1\rb=2\nc=3"); // every line keeps its own end
}

TEST(ProfileFileRead, BufferLimitsCutAsTheClassicCallsDid)
{
    const QByteArray longValue(3000, 'x');
    const auto pf = ProfileFile::fromBytes("[S]\nv=" + longValue + "\n");
    EXPECT_EQ(pf.value("S", "v", 2000).size(), 1999);

    QByteArray many = "[S]\n";
    for (int i = 0; i < 1000; ++i)
        many += "key" + QByteArray::number(i).rightJustified(4, '0') + "=v\n"; // 7 chars + NUL each
    const auto big = ProfileFile::fromBytes(many);
    const QString buffer = big.keyNameBuffer("S", 5000);
    EXPECT_LE(buffer.size(), 4999);
    const QStringList names = keyNames(big, "S");
    EXPECT_EQ(names.size(), 625); // 624 whole names and the cut 625th
    EXPECT_EQ(names[623], "key0623");
    EXPECT_EQ(names.last(), "key062"); // cut: "key0624" lost its last character

    // Lines without "=" take no room; a cut list ends with the cut name, its NUL and the
    // final NUL within the buffer.
    const auto notes = ProfileFile::fromBytes("[S]\nalpha=1\n" + QByteArray(6000, 'x') + "\nbeta=2\ngamma=3\n");
    EXPECT_EQ(keyNames(notes, "S"), (QStringList{"alpha", "beta", "gamma"}));
    const QString cut = notes.keyNameBuffer("S", 10);
    EXPECT_EQ(cut, QString("alpha") + QChar(0) + "be" + QChar(0)); // the final NUL is the 10th
}

TEST(ProfileFileRead, EncodingsNulAndGarbage)
{
    const auto utf8 = ProfileFile::fromBytes("\xEF\xBB\xBF[S]\nname=Gr\xC3\xBC\xC3\x9F" "e\n");
    EXPECT_EQ(utf8.encoding(), TextEncoding::Utf8);
    EXPECT_EQ(utf8.value("S", "name", 2000), QString::fromUtf8("Grüße"));

    const auto cp1252 = ProfileFile::fromBytes("[S]\nname=Gr\xFC\xDF" "e \x80\n");
    EXPECT_EQ(cp1252.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(cp1252.value("S", "name", 2000), QString::fromUtf8("Grüße €"));

    const auto nul = ProfileFile::fromBytes(QByteArray("[S]\na=1\0junk\nb=2\n", 17));
    EXPECT_EQ(nul.value("S", "a", 2000), "1");
    EXPECT_EQ(nul.value("S", "b", 2000), "2");
    EXPECT_TRUE(nul.hasNul());
    EXPECT_FALSE(utf8.hasNul() || cp1252.hasNul());

    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage += char((i * 7919) % 256);
    const auto g = ProfileFile::fromBytes(garbage);
    EXPECT_EQ(g.value("S", "a", 2000), "");
}

TEST(ProfileFileRead, HugeLineAndTenThousandKeys)
{
    QByteArray huge = "[S]\nv=" + QByteArray(10 * 1024 * 1024, 'y') + "\nafter=ok\n";
    const auto pf = ProfileFile::fromBytes(huge);
    EXPECT_EQ(pf.value("S", "v", 2000).size(), 1999);
    EXPECT_EQ(pf.value("S", "after", 2000), "ok");

    QByteArray many = "[S]\n";
    for (int i = 0; i < 10000; ++i)
        many += "k" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    const auto m = ProfileFile::fromBytes(many);
    EXPECT_EQ(m.value("S", "k9999", 2000), "9999");
}

TEST_F(ProfileFileDisk, WriteChangesExactlyOneLine)
{
    const QByteArray before = "; Pelmora options\r\n[OPTIONS]\r\nLANGUAGE=English.dll\r\n"
                              "LASTMEDIUM = 3\r\n; keep me\r\n\r\n[OTHER]\r\nLASTMEDIUM=9\r\n";
    write(before);
    ASSERT_TRUE(ProfileFile::writeString(file(), "OPTIONS", "lastmedium", "4"));
    const QByteArray expected = "; Pelmora options\r\n[OPTIONS]\r\nLANGUAGE=English.dll\r\n"
                                "LASTMEDIUM=4\r\n; keep me\r\n\r\n[OTHER]\r\nLASTMEDIUM=9\r\n";
    EXPECT_EQ(read(), expected);
}

TEST_F(ProfileFileDisk, NewKeyGoesToTheEndOfItsSectionNewSectionToTheEnd)
{
    write("[A]\nx=1\n\n[B]\ny=2");
    ASSERT_TRUE(ProfileFile::writeString(file(), "a", "z", "3"));
    EXPECT_EQ(read(), "[A]\nx=1\nz=3\n\n[B]\ny=2");
    ASSERT_TRUE(ProfileFile::writeString(file(), "B", "w", "4"));
    EXPECT_EQ(read(), "[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n");
    ASSERT_TRUE(ProfileFile::writeString(file(), "C", "v", "5"));
    EXPECT_EQ(read(), "[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n[C]\nv=5\n");
}

TEST_F(ProfileFileDisk, CreatesTheFileAndKeepsItsEncoding)
{
    ASSERT_TRUE(ProfileFile::writeString(file("new.ini"), "OPTIONS", "NAME", QString::fromUtf8("Grüße")));
    EXPECT_EQ(read("new.ini"), "[OPTIONS]\nNAME=Gr\xC3\xBC\xC3\x9F" "e\n");

    write("[S]\r\nold=\xFC\r\n", "cp.ini");
    ASSERT_TRUE(ProfileFile::writeString(file("cp.ini"), "S", "new", QString::fromUtf8("ä€")));
    EXPECT_EQ(read("cp.ini"), "[S]\r\nold=\xFC\r\nnew=\xE4\x80\r\n");
    // A character the code page lacks moves the file to UTF-8 without losing a letter.
    ASSERT_TRUE(ProfileFile::writeString(file("cp.ini"), "S", "new", QString::fromUtf8("日本")));
    const auto back = ProfileFile::load(file("cp.ini"));
    EXPECT_EQ(back.value("S", "old", 2000), QString::fromUtf8("ü"));
    EXPECT_EQ(back.value("S", "new", 2000), QString::fromUtf8("日本"));
}

TEST_F(ProfileFileDisk, RefusesWhatWouldBreakTheFileAndNeverReplacesAReadOnlyFile)
{
    write("[S]\na=1\n");
    EXPECT_FALSE(ProfileFile::writeString(file(), "S", "a", "two\nlines"));
    EXPECT_FALSE(ProfileFile::writeString(file(), "S]x", "a", "1"));
    EXPECT_FALSE(ProfileFile::writeString(file(), "S", "a=b", "1"));
    EXPECT_FALSE(ProfileFile::writeString(file(), "S", "", "1"));
    EXPECT_EQ(read(), "[S]\na=1\n");

    QFile::setPermissions(file(), QFileDevice::ReadOwner);
    EXPECT_FALSE(ProfileFile::writeString(file(), "S", "a", "2"));
    EXPECT_EQ(read(), "[S]\na=1\n");
}

TEST_F(ProfileFileDisk, WriteLeavesNoTemporaryFiles)
{
    write("[S]\na=1\n");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(ProfileFile::writeString(file(), "S", "a", QString::number(i)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"test.ini"});
}
