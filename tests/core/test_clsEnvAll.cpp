#include "core/clsEnvAll.h"

#include "support/TestSupport.h"

#include <QFile>

namespace {

class EnvAll : public testsupport::ProgramTest {
protected:
    clsEnvAll store(const QByteArray &content, const QString &sections = QStringLiteral("OPTIONS"))
    {
        writeFile("data/test.dat", content);
        clsEnvAll s;
        s.setInitFileName(path("data/test.dat"));
        s.initializeAll(sections);
        return s;
    }
};

} // namespace

TEST_F(EnvAll, LookupIgnoresCaseAndDropsEmptyValues)
{
    clsEnvAll s = store("[OPTIONS]\nLANGUAGE=Deutsch.dll\nBORDERWIDTH=\n");
    EXPECT_EQ(s.getVar("OPTIONS.LANGUAGE"), "Deutsch.dll");
    EXPECT_EQ(s.getVar("options.language"), "Deutsch.dll");
    EXPECT_EQ(s.getVar("OPTIONS.BORDERWIDTH", "0,25"), "0,25");
    EXPECT_EQ(s.getVar("OPTIONS.MISSING"), "");
    // Only the built-ins and LANGUAGE: the empty value adds nothing.
    EXPECT_EQ(s.envVars().Count(), 3);
    EXPECT_EQ(s.getVar("App.Path"), home.path());
    EXPECT_EQ(s.getVar("App.EXEName"), "pelmora");
}

TEST_F(EnvAll, SectionsLoadInListOrderUnderTheCallersSpelling)
{
    clsEnvAll s = store("[b]\nk=2\n[A]\nk=1\n", "A;B;missing");
    ASSERT_EQ(s.envVars().Count(), 4);
    EXPECT_EQ(s.envVars().Item(3)->Key, "A.k");
    EXPECT_EQ(s.envVars().Item(4)->Key, "B.k");
    EXPECT_EQ(s.getVar("b.K"), "2");
}

TEST_F(EnvAll, MissingFileLeavesOnlyTheBuiltIns)
{
    clsEnvAll s;
    s.setInitFileName(path("data/none.dat"));
    s.addVar("X.Y", "1");
    s.initializeAll("OPTIONS");
    EXPECT_EQ(s.envVars().Count(), 2);
    EXPECT_EQ(s.getVar("X.Y", "gone"), "gone");
}

TEST_F(EnvAll, LineBreakTokenAndPercentExpansion)
{
    clsEnvAll s = store("[OPTIONS]\nLANGUAGE=English.dll\nTWO=one@vbcrlf@two\nREF=file %OPTIONS.LANGUAGE% here\n"
                        "PCT=50%%\nSINGLE=50% off\nUPPER=a@VBCRLF@b\nEMPTYREF=[%OPTIONS.NOTHING%]\n");
    EXPECT_EQ(s.getVar("OPTIONS.TWO"), "one\r\ntwo");
    EXPECT_EQ(s.getVar("OPTIONS.NONE", "a@vbcrlf@b"), "a@vbcrlf@b");
    EXPECT_EQ(s.getVar("OPTIONS.REF"), "file English.dll here");
    EXPECT_EQ(s.getVar("OPTIONS.PCT"), "50");
    EXPECT_EQ(s.getVar("OPTIONS.SINGLE"), "50% off");
    EXPECT_EQ(s.getVar("OPTIONS.UPPER"), "a@VBCRLF@b");
    EXPECT_EQ(s.getVar("OPTIONS.EMPTYREF"), "[]");
}

TEST_F(EnvAll, EnvironmentFallbackForKeysAndReferences)
{
    qputenv("OPTIONS.FROMENV", "env@vbcrlf@value");
    qputenv("PELMORA_TEST_REF", "R");
    clsEnvAll s = store("[OPTIONS]\nUSE=x%PELMORA_TEST_REF%y\n");
    EXPECT_EQ(s.getVar("OPTIONS.FROMENV", "default"), "env\r\nvalue");
    EXPECT_EQ(s.getVar("OPTIONS.USE"), "xRy");
    qunsetenv("OPTIONS.FROMENV");
    qunsetenv("PELMORA_TEST_REF");
}

TEST_F(EnvAll, CyclesGiveNothingAndExpansionStaysBounded)
{
    QByteArray file = "[OPTIONS]\nSELF=x%OPTIONS.SELF%y\nA=a%OPTIONS.B%\nB=b%OPTIONS.A%\n"
                      "TWICE=%OPTIONS.LEAF%-%OPTIONS.LEAF%\nLEAF=leaf\n"
                      // nine levels of four references to the next: 4^9 copies of the last
                      "L9=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
    for (int level = 0; level < 9; ++level) {
        const QByteArray next = "%OPTIONS.L" + QByteArray::number(level + 1) + "%";
        file += "L" + QByteArray::number(level) + "=" + next + next + next + next + "\n";
    }
    // A chain through seventeen variables is followed to its end.
    for (int k = 0; k < 16; ++k)
        file += "C" + QByteArray::number(k) + "=%OPTIONS.C" + QByteArray::number(k + 1) + "%" + QByteArray::number(k) + "\n";
    file += "C16=end\n";
    file += "[frmPelmora]\nfrmPelmora=a%frmPelmora.frmPelmora%b%frmPelmora.frmPelmora%c%frmPelmora.frmPelmora%"
            "d%frmPelmora.frmPelmora%e\n";
    clsEnvAll s = store(file, "OPTIONS;frmPelmora");

    EXPECT_EQ(s.getVar("OPTIONS.SELF"), "xy");
    EXPECT_EQ(s.getVar("OPTIONS.A"), "ab");
    EXPECT_EQ(s.getVar("OPTIONS.B"), "ba");
    EXPECT_EQ(s.getVar("frmPelmora.frmPelmora"), "abcde");
    // The same variable twice side by side is no cycle.
    EXPECT_EQ(s.getVar("OPTIONS.TWICE"), "leaf-leaf");
    EXPECT_EQ(s.getVar("OPTIONS.C0"), "end1514131211109876543210");

    const QString many = s.getVar("OPTIONS.L0");
    EXPECT_EQ(many.size(), clsEnvAll::kMaxExpansionLength);
    EXPECT_EQ(many.count(u'x'), many.size());
}

TEST_F(EnvAll, SaveVarWritesOneLineAtOnce)
{
    const QByteArray before = "; comment\r\n[OPTIONS]\r\nLASTMEDIUM=0\r\nLANGUAGE=English.dll\r\n\r\n[OTHER]\r\nX=1\r\n";
    clsEnvAll s = store(before);
    s.saveVar("OPTIONS.LASTMEDIUM", "3");
    EXPECT_EQ(readFile("data/test.dat"),
              "; comment\r\n[OPTIONS]\r\nLASTMEDIUM=3\r\nLANGUAGE=English.dll\r\n\r\n[OTHER]\r\nX=1\r\n");
    s.saveVar("OPTIONS.LASTMEDIUM", "4");
    EXPECT_EQ(s.getVar("OPTIONS.LASTMEDIUM"), "4");

    s.saveVar("NODOT", "memory");
    EXPECT_EQ(s.getVar("NODOT"), "memory");
    EXPECT_FALSE(readFile("data/test.dat").contains("NODOT"));

    // A key name may hold further dots; the section is the text before the first.
    s.saveVar("OPTIONS.A.B", "dotted");
    clsEnvAll again;
    again.setInitFileName(path("data/test.dat"));
    again.initializeAll("OPTIONS");
    EXPECT_EQ(again.getVar("OPTIONS.A.B"), "dotted");
    EXPECT_EQ(again.getVar("OPTIONS.LASTMEDIUM"), "4");
}

TEST_F(EnvAll, SavedLineBreaksRoundTripWithoutInjectingLines)
{
    clsEnvAll s = store("[OPTIONS]\n");
    s.saveVar("OPTIONS.TEXT", "one\r\ntwo\nthree\r[EVIL]\r\nX=1");
    EXPECT_EQ(s.getVar("OPTIONS.TEXT"), "one\r\ntwo\r\nthree\r\n[EVIL]\r\nX=1");
    clsEnvAll again;
    again.setInitFileName(path("data/test.dat"));
    again.initializeAll("OPTIONS;EVIL");
    EXPECT_EQ(again.getVar("OPTIONS.TEXT"), "one\r\ntwo\r\nthree\r\n[EVIL]\r\nX=1");
    EXPECT_EQ(again.getVar("EVIL.X", "none"), "none");
}

TEST_F(EnvAll, SaveVarToAReadOnlyFileKeepsTheValueInMemory)
{
    clsEnvAll s = store("[OPTIONS]\nA=1\n");
    QFile::setPermissions(path("data/test.dat"), QFileDevice::ReadOwner);
    s.saveVar("OPTIONS.A", "2");
    EXPECT_EQ(s.getVar("OPTIONS.A"), "2");
    EXPECT_EQ(readFile("data/test.dat"), "[OPTIONS]\nA=1\n");
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(EnvAll, CollectionReplacesAndMovesToTheEnd)
{
    clsEnvVars v;
    v.Add("A.x", "1", 2);
    v.Add("A.y", "2", 2);
    v.Add("a.X", "3", 0);
    ASSERT_EQ(v.Count(), 2);
    EXPECT_EQ(v.Item(1)->Key, "A.y");
    EXPECT_EQ(v.Item(2)->val, "3");
    EXPECT_EQ(v.Item("A.X")->val, "3");
    EXPECT_EQ(v.Item(3), nullptr);
    EXPECT_EQ(v.Item(0), nullptr);
    EXPECT_EQ(v.Item("nope"), nullptr);
    v.Add("", "unkeyed", 0);
    EXPECT_EQ(v.Count(), 3);
    v.Remove(1);
    EXPECT_EQ(v.Item("A.y"), nullptr);
    v.Remove("a.x");
    EXPECT_EQ(v.Count(), 1);
}

TEST_F(EnvAll, GetVarListTakesOneCharacterAfterTheUnderscore)
{
    clsEnvAll s = store("[FAVORITES]\nfavorite_1=a\nfavorite_12=b\nfavorite_x=c\nFAVORITE_2=d\nfavorite_=e\n",
                        "FAVORITES");
    std::vector<std::pair<QString, QString>> list;
    s.getVarList("FAVORITES.favorite", list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].first, "FAVORITES.favorite_1");
    EXPECT_EQ(list[1].second, "c");
}

TEST_F(EnvAll, BadFilesLoadWhatTheRulesAllow)
{
    QByteArray garbage("[OPTIONS]\nA=1\n");
    for (int i = 0; i < 65536; ++i)
        garbage += char((i * 31 + 7) % 256);
    garbage += QByteArray("\0\n[OPTIONS]\nB=2", 15);
    clsEnvAll s = store(garbage);
    EXPECT_EQ(s.getVar("OPTIONS.A"), "1");
}
