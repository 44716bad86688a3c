#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "core/libLanguage.h"
#include "platform/cddb/CdDrives.h"
#include "platform/cddb/CddbClient.h"
#include "platform/cddb/CddbError.h"
#include "platform/cddb/DiscToc.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/TextEditorSeams.h"
#include "tracklists/frmCDDBAssist.h"

#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>
#include "support/QtPrinters.h"

namespace {

// Drives and discs as a test sets them.
class ScriptedDrives final : public platform::CdDrives {
public:
    QStringList drives() override { return list; }
    bool holdsDisc(const QString &drive) override { return discs.contains(drive); }
    platform::TableOfContents readTableOfContents(const QString &drive) override
    {
        if (!discs.contains(drive))
            throw platform::CddbError(platform::CddbErr::DiscUnreadable, QStringLiteral("no disc"));
        return discs.value(drive);
    }

    QStringList list;
    QHash<QString, platform::TableOfContents> discs;
};

class ScriptedEditor final : public texteditor::TextEditorHost {
public:
    QWidget *window() override { return nullptr; }
    QString text() const override { return body; }
    void setText(const QString &t) override { body = t; }
    void focusTextAtEnd() override {}
    bool previewEnabled() const override { return true; }
    void setPreviewEnabled(bool) override {}
    bool autoPreview() const override { return false; }
    void doPreview() override {}

    QString body;
};

// Two tracks of 03:05 and 03:33.
platform::TableOfContents twoTracks()
{
    platform::TableOfContents t;
    t.offsets = {150, 14025};
    t.leadout = 30000;
    return t;
}

class CddbWizard : public testsupport::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/English.dll"), path("language/English.dll"));
        setLanguage(path("language/English.dll"));
        drives = &platform::Seam<platform::CdDrives>::install(std::make_unique<ScriptedDrives>());
        drives->list = {QStringLiteral("/dev/sr0"), QStringLiteral("/dev/sr1")};
        drives->discs.insert(QStringLiteral("/dev/sr0"), twoTracks());
        ASSERT_TRUE(server.isListening());
    }
    void TearDown() override
    {
        wizard.reset();
        platform::Seam<platform::CdDrives>::reset();
        ProgramTest::TearDown();
    }

    // The wizard loaded and shown, its hidden server boxes on the local server.
    frmCDDBAssist &open()
    {
        wizard = std::make_unique<frmCDDBAssist>(editor);
        wizard->Form_Load();
        ui().txtCDDBServer->setText(QStringLiteral("127.0.0.1"));
        ui().txtCDDBPort->setText(QString::number(server.port()));
        wizard->show();
        return *wizard;
    }
    frmCDDBAssist &ui() { return *wizard; }
    void next() { ui().cmdQuery->click(); }

    QString path(const QString &relative) const { return ProgramTest::path(relative); }
    QString route(const QString &command) const
    {
        const platform::CddbServer s{QStringLiteral("127.0.0.1"), server.port(), 60};
        return QString::fromLatin1(
            QUrl(platform::CddbClient(s).requestUrl(command)).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority));
    }
    QString disc() const { return platform::DiscId::fromToc(twoTracks()).freedbId; }
    QString query() const { return platform::DiscId::fromToc(twoTracks()).queryCommand(); }
    void answerQuery(const QByteArray &body, int status = 200) { server.serve(route(query()), body, status); }
    void answerRead(const QString &category, const QByteArray &dtitle, const QByteArray &t0, const QByteArray &t1)
    {
        server.serve(route(QStringLiteral("cddb read %1 %2").arg(category, disc())),
                     "210 " + category.toLatin1() + " entry follows\r\nDTITLE=" + dtitle + "\r\nTTITLE0=" + t0
                         + "\r\nTTITLE1=" + t1 + "\r\n.\r\n");
    }
    // One match: "Band - Album" with "Intro 03:05" and "Song 03:33".
    void oneMatch()
    {
        answerQuery("200 rock " + disc().toLatin1() + " Band / Album\r\n");
        answerRead(QStringLiteral("rock"), "Band / Album", "Intro", "Song");
    }
    QStringList trackLines()
    {
        QStringList out;
        for (int i = 0; i < ui().lstTracklist->count(); ++i)
            out << ui().lstTracklist->item(i)->text();
        return out;
    }
    QString language(const QString &key) { return gObjLanguageStore().getVar(key); }

    ScriptedDrives *drives = nullptr;
    ScriptedEditor editor;
    testsupport::LocalHttpServer server;
    std::unique_ptr<frmCDDBAssist> wizard;
};

} // namespace

TEST_F(CddbWizard, StepsFromTheIntroductionToFinishAndAppendsTheTrackList)
{
    frmCDDBAssist &w = open();
    const int fullHeight = 400;
    EXPECT_EQ(w.step(), 0);
    EXPECT_EQ(w.height(), 344); // the preview strip is cut off until the match step
    EXPECT_TRUE(ui().lblDescription->isVisible());
    EXPECT_FALSE(ui().fraCDSelect->isVisible());
    EXPECT_FALSE(ui().fraServerSettings->isVisible());
    EXPECT_EQ(ui().lstCDdrives->currentText(), "/dev/sr0");
    EXPECT_EQ(ui().cmdQuery->text(), "Next");

    next();
    EXPECT_EQ(w.step(), 1);
    EXPECT_TRUE(ui().fraCDSelect->isVisible());
    EXPECT_FALSE(ui().lblDescription->isVisible());

    oneMatch();
    next();
    ASSERT_EQ(w.step(), 3) << ui().lblStatus3->text().toStdString();
    EXPECT_EQ(ui().cmdQuery->text(), "Finish");
    EXPECT_TRUE(ui().cmdQuery->isEnabled());
    EXPECT_EQ(w.height(), fullHeight);
    EXPECT_EQ(ui().cmdQuery->y(), ui().cmdDelLine->y());
    EXPECT_FALSE(ui().imgWizard->isVisible());
    EXPECT_TRUE(ui().lstTracklist->isVisible());
    EXPECT_EQ(ui().cboTitle->currentText(), "Band - Album");
    EXPECT_EQ(trackLines(), QStringList({"Intro 03:05", "Song 03:33"}));
    EXPECT_EQ(ui().txtPreview->text(), "1. Intro 03:05");
    EXPECT_EQ(screen->pointer, platform::Pointer::Default);

    // The example of the take-over: title line, numbered tracks, one CR LF after "Live".
    editor.body = QStringLiteral("Live");
    ui().chkTime->setChecked(false);
    EXPECT_EQ(trackLines(), QStringList({"Intro", "Song"}));
    EXPECT_EQ(ui().txtPreview->text(), "1. Intro");
    next();
    EXPECT_EQ(editor.body, "Live\r\nBand - Album\r\n1. Intro\r\n2. Song\r\n");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(CddbWizard, SecondMatchUpperCaseAndDeletedLinesShapeTheTakeOver)
{
    answerQuery("211 close matches\r\nrock " + disc().toLatin1() + " one\r\njazz " + disc().toLatin1()
                + " two\r\n.\r\n");
    answerRead(QStringLiteral("rock"), "Band / Album", "Intro", "Song");
    // Line breaks (escaped and not), tabs, NUL, DEL and a line separator become single blanks.
    answerRead(QStringLiteral("jazz"), QByteArray("\\n").repeated(256) + "Other\x01\x7f\r\nDTITLE= Name",
               QByteArray("Stra\xc3\x9f" "e\\n\0\\t\xe2\x80\xa8mix\x1b", 19), "");
    frmCDDBAssist &w = open();
    next();
    next();
    ASSERT_EQ(w.step(), 3);
    ASSERT_EQ(ui().cboTitle->count(), 2);
    EXPECT_EQ(ui().cboTitle->itemText(1), "Other Name - Other Name");

    // Another match relists its tracks; the preview keeps its sample until an option changes.
    ui().cboTitle->setCurrentIndex(1);
    EXPECT_EQ(trackLines(), QStringList({QString::fromUtf8("Straße mix 03:05"), " 03:33"}));
    EXPECT_EQ(ui().txtPreview->text(), "1. Intro 03:05");
    ui().chkUCase->setChecked(true);
    EXPECT_EQ(ui().txtPreview->text(), QString::fromUtf8("1. STRASSE MIX 03:05"));

    // Deleting selects the last line; with nothing selected it only moves the selection.
    ui().lstTracklist->clearSelection();
    ui().lstTracklist->setCurrentRow(-1);
    ui().cmdDelLine->click();
    EXPECT_EQ(trackLines().size(), 2);
    EXPECT_EQ(ui().lstTracklist->currentRow(), 1);
    ui().lstTracklist->setCurrentRow(0);
    ui().cmdDelLine->click();
    EXPECT_EQ(trackLines(), QStringList({" 03:33"}));
    EXPECT_EQ(ui().lstTracklist->currentRow(), 0);
    EXPECT_TRUE(ui().lstTracklist->item(0)->isSelected());

    // An empty text gets no leading line break; the title line keeps its case; numbers count
    // the lines that are left.
    next();
    EXPECT_EQ(editor.body, "Other Name - Other Name\r\n1.  03:33\r\n");
}

TEST_F(CddbWizard, HugeTitlesOfAHundredMatchesReachTheTextCutTo256Characters)
{
    // Each entry just under 64 KiB: a disc title without " / " and two track names of 20,000.
    QByteArray matches = "211 close matches\r\n";
    for (int i = 0; i < 100; ++i) {
        matches += "c" + QByteArray::number(i) + " " + disc().toLatin1() + " " + QByteArray(5000, 'm') + "\r\n";
        answerRead("c" + QString::number(i), QByteArray(25400, 'd'), QByteArray(20000, 'x'), QByteArray(20000, 'y'));
    }
    answerQuery(matches + ".\r\n");
    open();
    for (int click = 0; click < 3; ++click) // to the drive, the lookup, Finish
        QTest::mouseClick(ui().cmdQuery, Qt::LeftButton);
    EXPECT_EQ(ui().cboTitle->count(), 100);
    const QString title = QString(256, u'd') + " - " + QString(256, u'd');
    ASSERT_EQ(editor.body.size(), title.size() + 2 * (3 + 256 + 6) + 6) << ui().lblStatus3->text().toStdString();
    const QString tracks = "1. " + QString(256, u'x') + " 03:05\r\n2. " + QString(256, u'y') + " 03:33\r\n";
    EXPECT_EQ(editor.body, title + "\r\n" + tracks);
}

TEST_F(CddbWizard, FailedLookupsOfferToRepeatAndThenGoStraightToTheMatches)
{
    frmCDDBAssist &w = open();
    next();
    const auto failWith = [&](const QString &expected) {
        next();
        EXPECT_EQ(w.step(), 2);
        EXPECT_TRUE(w.repeatQuery());
        EXPECT_EQ(ui().cmdQuery->text(), "Repeat");
        EXPECT_TRUE(ui().cmdQuery->isEnabled());
        EXPECT_EQ(ui().lblStatus3->text(), expected);
        EXPECT_EQ(screen->pointer, platform::Pointer::Default);
    };

    answerQuery("202 No match found\r\n");
    next();
    EXPECT_EQ(w.step(), 2);
    EXPECT_EQ(ui().lblStatus3->text(), language("ERRORS.ERR_CDDB_CDNOTFOUND"));
    EXPECT_EQ(ui().cmdQuery->text(), "Repeat");

    answerQuery("434 Load too high\r\n");
    failWith(language("ERRORS.ERR_CDDB_SERVERBUSY"));
    answerQuery("<html>Moved</html>");
    next();
    EXPECT_TRUE(ui().lblStatus3->text().startsWith(language("ERRORS.ERR_CDDB_OTHER") + "\r\n"));
    EXPECT_TRUE(ui().lblStatus3->text().endsWith(QStringLiteral("(%1)").arg(platform::CddbErr::BadReply)));
    ASSERT_EQ(trackLines().size(), 1);
    EXPECT_TRUE(trackLines()[0].startsWith("ERROR: The CDDB server's answer is not valid"));

    // Answers past the lookup's limits say so, in the program's language: a query answer of
    // more than 1 MiB, and the one match's entry of more than 64 KiB (the disc is known, its
    // entry is not read).
    server.stream(route(query()), 2 * 1024 * 1024);
    next();
    EXPECT_EQ(ui().lblStatus3->text(), language("ERRORS.ERR_CDDB_OTHER") + "\r\n"
                                           + language("ERRORS.ERR_CDDB_ANSWER_TOO_LARGE").arg(1024) + " (1010)");
    EXPECT_EQ(trackLines(), QStringList({"ERROR: " + language("ERRORS.ERR_CDDB_ANSWER_TOO_LARGE").arg(1024)}));
    answerQuery("200 rock " + disc().toLatin1() + " Band / Album\r\n");
    answerRead(QStringLiteral("rock"), QByteArray(70000, 'x'), "Intro", "Song");
    const QString tooLarge = language("ERRORS.ERR_CDDB_CDNOTFOUND") + "\r\n"
                             + language("ERRORS.ERR_CDDB_ENTRY_TOO_LARGE").arg(64);
    failWith(tooLarge);
    EXPECT_EQ(tooLarge, "CD not found\r\nThe CD's entry on the CDDB server is larger than 64 KB and was not read.");
    QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/Deutsch.dll"), path("language/Deutsch.dll"));
    setLanguage(path("language/Deutsch.dll"));
    next();
    EXPECT_EQ(ui().lblStatus3->text(), QString::fromUtf8("CD nicht gefunden\r\nDer Eintrag der CD auf dem CDDB-Server "
                                                         "ist größer als 64 KB und wurde nicht gelesen."));
    setLanguage(path("language/English.dll"));

    const QString port = ui().txtCDDBPort->text();
    {
        testsupport::LocalHttpServer gone;
        ui().txtCDDBPort->setText(QString::number(gone.port()));
    }
    failWith(language("ERRORS.ERR_CDDB_SERVERNOTAVAILABLE"));

    // Repeat with a server that answers: both lists are filled afresh and Finish is offered.
    ui().txtCDDBPort->setText(port);
    oneMatch();
    next();
    EXPECT_EQ(w.step(), 3);
    EXPECT_FALSE(w.repeatQuery());
    EXPECT_EQ(ui().cmdQuery->text(), "Finish");
    EXPECT_EQ(ui().cboTitle->count(), 1);
    EXPECT_EQ(trackLines(), QStringList({"Intro 03:05", "Song 03:33"}));
    EXPECT_EQ(w.height(), 400);
    next();
    EXPECT_EQ(editor.body, "Band - Album\r\n1. Intro 03:05\r\n2. Song 03:33\r\n");
}

TEST_F(CddbWizard, AnEmptyDriveIsNamedAndLeadsBackToTheDriveChoice)
{
    frmCDDBAssist &w = open();
    next();
    ui().lstCDdrives->setCurrentIndex(1);
    next();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "The drive /dev/sr1 holds no CD or is not available.");
    EXPECT_EQ(prompter->shown[0].style, platform::MsgStyle::Information);
    EXPECT_EQ(prompter->shown[0].title, language("MESSAGES.MSG"));
    EXPECT_EQ(w.step(), 1);
    EXPECT_TRUE(ui().fraCDSelect->isVisible());
    EXPECT_TRUE(ui().cmdQuery->isEnabled());
    EXPECT_EQ(ui().cmdQuery->text(), "Next");
    EXPECT_EQ(w.height(), 344);
    EXPECT_EQ(server.requestCount(route(query())), 0);

    // The other drive holds the disc.
    oneMatch();
    ui().lstCDdrives->setCurrentIndex(0);
    next();
    EXPECT_EQ(w.step(), 3);
}

TEST_F(CddbWizard, WithoutAnyDriveTheLoadErrorIsReportedAndTheStepsStillWork)
{
    drives->list.clear();
    // The report names its cause in the program's language.
    QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/Deutsch.dll"), path("language/Deutsch.dll"));
    setLanguage(path("language/Deutsch.dll"));
    open();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains(QString::fromUtf8("Es wurde kein CD-Laufwerk gefunden")))
        << prompter->shown[0].prompt.toStdString();
    EXPECT_FALSE(prompter->shown[0].prompt.contains("No CD drive"));
    wizard.reset();
    prompter->shown.clear();
    setLanguage(path("language/English.dll"));

    frmCDDBAssist &w = open();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].style & 0x70, platform::MsgStyle::Critical);
    EXPECT_TRUE(prompter->shown[0].prompt.contains(language("ERRORS.ERR_CDDB_LOAD")));
    EXPECT_TRUE(prompter->shown[0].prompt.contains("frmCDDBAssist.Form_Load"));
    EXPECT_TRUE(prompter->shown[0].prompt.contains(language("MESSAGES.MSG_NO_CDDRIVE")));
    EXPECT_EQ(w.step(), 0);
    EXPECT_EQ(ui().txtCDDBServer->text(), "127.0.0.1");
    EXPECT_FALSE(ui().fraCDSelect->isVisible());
    next();
    next();
    ASSERT_EQ(prompter->shown.size(), 2u);
    EXPECT_EQ(prompter->shown[1].prompt, "No CD drive was found: there is no drive to read a CD from.");
    EXPECT_EQ(w.step(), 1);
    ui().cmdDefaultServer->click();
    EXPECT_EQ(ui().txtCDDBServer->text(), frmCDDBAssist::kDefaultServer);
    EXPECT_EQ(ui().txtCDDBPort->text(), "80");
}

TEST_F(CddbWizard, CancelAtAnyStepTakesNothingOver)
{
    editor.body = QStringLiteral("Kept");
    for (int stop = 0; stop <= 3; ++stop) {
        oneMatch();
        frmCDDBAssist &w = open();
        // Step 3 follows the lookup of step 2 by itself.
        const int clicks = stop == 3 ? 2 : stop == 2 ? 1 : stop;
        for (int i = 0; i < clicks; ++i)
            next();
        if (stop == 2) {
            // During the lookup: the server stalls and Cancel is pressed while it waits.
            server.hang(route(query()));
            QTimer::singleShot(200, &w, [&] { ui().cmdCancel->click(); });
            next();
        } else {
            EXPECT_EQ(w.step(), stop);
            ui().cmdCancel->click();
        }
        EXPECT_FALSE(w.isVisible()) << stop;
        EXPECT_EQ(w.result(), QDialog::Rejected) << stop;
        EXPECT_FALSE(w.querying());
        EXPECT_EQ(editor.body, "Kept") << stop;
        EXPECT_EQ(screen->pointer, platform::Pointer::Default);
    }
    // The close box during a lookup does the same.
    server.hang(route(query()));
    frmCDDBAssist &w = open();
    next();
    QTimer::singleShot(200, &w, [&] { w.close(); });
    next();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(editor.body, "Kept");
    EXPECT_TRUE(prompter->shown.empty());
}
