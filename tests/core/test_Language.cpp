#include "core/Globals.h"
#include "core/libLanguage.h"
#include "platform/widgets/ButtonPlus.h"

#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

class Language : public testsupport::ProgramTest {
protected:
    void language(const QByteArray &body)
    {
        writeFile("language/Test.dll", body);
        setLanguage(path("language/Test.dll"));
    }
};

// A form with what the program's forms have: a control array, a tab widget, menus, a
// picture button and controls without a key.
struct FixtureForm {
    FixtureForm()
    {
        form.setObjectName("frmOptions");
        form.setWindowTitle("design");
        auto *central = new QWidget(&form);
        form.setCentralWidget(central);
        for (int i = 0; i < 3; ++i) {
            opt[i] = new QRadioButton("opt design", central);
            opt[i]->setObjectName(QString("optBorder_%1").arg(i));
            opt[i]->setProperty("index", i);
        }
        tabs = new QTabWidget(central);
        tabs->setObjectName("tabOptions");
        tabs->addTab(new QWidget, "t1");
        tabs->addTab(new QWidget, "t2");
        tabs->addTab(new QWidget, "t3");
        label = new QLabel("label design", central);
        label->setObjectName("lblInfo");
        edit = new QLineEdit(central);
        edit->setObjectName("txtValue");
        button = new ButtonPlus(central);
        button->setObjectName("cmdAccept");
        button->setIcon(QIcon(QPixmap(16, 16)));
        menu = form.menuBar()->addMenu("menu design");
        menu->setObjectName("mnuFile");
        action = menu->addAction("action design");
        action->setObjectName("mnuExit");
    }
    QMainWindow form;
    QRadioButton *opt[3];
    QTabWidget *tabs;
    QLabel *label;
    QLineEdit *edit;
    ButtonPlus *button;
    QMenu *menu;
    QAction *action;
};

} // namespace

TEST_F(Language, FormIsLocalisedByNames)
{
    language("[frmOptions]\nfrmOptions=  Options  \noptBorder_0=None\noptBorder_2=Dotted\n"
             "optBorderToolTipText_2=A dotted line\ntabOptions_1=Print\ntabOptions_3=Paths\n"
             "cmdAccept=Accept\ncmdAcceptToolTipText=Takes the options\nmnuFile=&File\nmnuExit=E&xit\n"
             "lblInfoToolTipText=Information\n");
    FixtureForm f;
    f.button->resize(200, 20);
    changeLanguage(&f.form);
    EXPECT_EQ(f.form.windowTitle(), "Options");
    EXPECT_EQ(f.opt[0]->text(), "None");
    EXPECT_EQ(f.opt[1]->text(), "opt design");
    EXPECT_EQ(f.opt[2]->text(), "Dotted");
    EXPECT_EQ(f.opt[2]->toolTip(), "A dotted line");
    EXPECT_EQ(f.tabs->tabText(0), "Print");
    EXPECT_EQ(f.tabs->tabText(1), "");  // a tab without a key is emptied
    EXPECT_EQ(f.tabs->tabText(2), "Paths");
    EXPECT_EQ(f.label->text(), "label design");
    EXPECT_EQ(f.label->toolTip(), "Information");
    EXPECT_EQ(f.menu->title(), "&File");
    EXPECT_EQ(f.action->text(), "E&xit");
    EXPECT_EQ(f.button->caption(), "     Accept");
    EXPECT_EQ(f.button->toolTip(), "Takes the options");
    EXPECT_EQ(f.button->captionAlignment(), 4);
    EXPECT_EQ(f.button->pictureAlignment(), 3);
    EXPECT_EQ(f.button->font().pointSize(), 8);
    EXPECT_EQ(f.label->font().family(), "Arial");
    EXPECT_TRUE(prompter->shown.empty());

    // Localising again does not add the blanks a second time.
    changeLanguage(&f.form);
    EXPECT_EQ(f.button->caption(), "     Accept");
}

TEST_F(Language, ArrayKeyOfTheWholeArrayWinsBlankCaptions)
{
    language("[frmOptions]\nfrmOptions=\"   \"\noptBorder=All of them\noptBorder_1=One\nlblInfo=\"   \"\n");
    FixtureForm f;
    changeLanguage(&f.form);
    EXPECT_EQ(f.form.windowTitle(), "");  // a caption of blanks trims to nothing
    EXPECT_EQ(f.opt[1]->text(), "All of them");
    EXPECT_EQ(f.label->text(), "   ");
}

TEST_F(Language, PictureButtonGetsBlanksOnlyWhenWideAndWithPicture)
{
    screen->twipsX = 1.0;
    FixtureForm f;
    f.button->setText("Go");
    f.button->resize(400, 20);
    changeLanguage(&f.form);
    EXPECT_EQ(f.button->caption(), "Go");
    f.button->resize(401, 20);
    changeLanguage(&f.form);
    EXPECT_EQ(f.button->caption(), "     Go");
    ButtonPlus plain(&f.form);
    plain.setObjectName("cmdPlain");
    plain.setText("Plain");
    plain.resize(800, 20);
    changeLanguage(&f.form);
    EXPECT_EQ(plain.caption(), "Plain");
}

TEST_F(Language, AKeyThatCannotBeAppliedIsReportedOnceAndTheRestIsLocalised)
{
    language("[frmOptions]\ntxtValue=no caption here\ntabOptions=nor here\nlblInfo=Info\nmnuExit=Quit\n");
    FixtureForm f;
    changeLanguage(&f.form);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.contains("changeLanguage"));
    EXPECT_EQ(f.label->text(), "Info");
    EXPECT_EQ(f.action->text(), "Quit");
}

TEST_F(Language, LinkSetFollowsTheExactShortcut)
{
    language("[GENERAL]\nLANGUAGE_SHORTCUT=DE\n");
    const QString german = gStrHomePageURL;
    EXPECT_FALSE(german.isEmpty());
    language("[GENERAL]\nLANGUAGE_SHORTCUT=de\n");
    EXPECT_NE(gStrHomePageURL, german);
    EXPECT_TRUE(gStrSupportMailto.startsWith("mailto:"));
    EXPECT_FALSE(gStrSearchURL.isEmpty());
    EXPECT_FALSE(gStrFaqURL.isEmpty());
    EXPECT_FALSE(gStrSupportAddress.isEmpty());
    // A missing file is no failure: every text falls back to its default.
    setLanguage(path("language/None.dll"));
    EXPECT_EQ(gObjLanguageStore().envVars().Count(), 2);
    EXPECT_TRUE(prompter->shown.empty());
}

TEST_F(Language, LanguageFilesAreListedOnceIgnoringCase)
{
    writeFile("language/English.dll", "x");
    writeFile("language/ENGLISH.DLL", "x");
    writeFile("language/Deutsch.dll", "x");
    writeFile("language/readme.txt", "x");
    getLanguageFiles();
    EXPECT_EQ(gColLanguageFiles.size(), 2);
    EXPECT_FALSE(findLanguageFile("deutsch.DLL").isEmpty());
    EXPECT_EQ(findLanguageFile("Deutsch.dll"), "Deutsch.dll");
    EXPECT_EQ(findLanguageFile("Francais.dll"), "");
}

TEST_F(Language, FileDialogCaptions)
{
    language("[DIALOG]\nOpenButtonCaption=Laden\n");
    platform::FileDialogRequest r;
    localiseImgxDialog(r);
    EXPECT_EQ(r.captions.size(), 13);
    EXPECT_EQ(r.captions.value("OpenButtonCaption"), "Laden");
    EXPECT_EQ(r.captions.value("FILETYPELABEL"), "File of type");
}

TEST_F(Language, QtsOwnTextsFollowTheLanguageFile)
{
    auto yesNoCancel = [] {
        QMessageBox box;
        QStringList texts;
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            texts << box.addButton(b)->text().remove(u'&');
        return texts;
    };
    setLanguage(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/Deutsch.dll"));
    EXPECT_EQ(yesNoCancel(), (QStringList{"Ja", "Nein", "Abbrechen"}));
    // Every switch of the language switches them too.
    language("[GENERAL]\r\nLANGUAGE_SHORTCUT=EN\r\n");
    EXPECT_EQ(yesNoCancel(), (QStringList{"Yes", "No", "Cancel"}));
    language("[GENERAL]\r\nLANGUAGE_SHORTCUT=DE\r\n");
    EXPECT_EQ(yesNoCancel(), (QStringList{"Ja", "Nein", "Abbrechen"}));
    language("[GENERAL]\r\n");
    EXPECT_EQ(yesNoCancel(), (QStringList{"Yes", "No", "Cancel"}));
}

