// The track-list imports and the CD wizard as the text editor's buttons and its edit box's file
// drop start them: what they append, the preview flag and the preview afterwards.
#include "TextEditorTestSupport.h"

#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "platform/cddb/CdDrives.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/TextBox.h"
#include "tracklists/CdTrackListWizard.h"
#include "tracklists/ModalRunner.h"
#include "tracklists/TrackListImporters.h"
#include "tracklists/frmCDDBAssist.h"
#include "tracklists/frmChangeDirForm.h"
#include "tracklists/frmDirMp3.h"
#include "tracklists/frmM3UParameters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>
#include <deque>

using texteditortest::TextEditorTest;
using texteditortest::WhenModal;

namespace {

// Works each track-list dialog with the next script instead of waiting in it.
class ScriptedRunner final : public tracklists::ModalRunner {
public:
    void run(QDialog &dialog) override
    {
        ASSERT_FALSE(scripts.empty()) << "unscripted dialog " << dialog.objectName().toStdString();
        auto script = std::move(scripts.front());
        scripts.pop_front();
        script(dialog);
    }
    std::deque<std::function<void(QDialog &)>> scripts;
};

// One CD drive, empty.
class EmptyDrive final : public platform::CdDrives {
public:
    QStringList drives() override { return {QStringLiteral("/dev/sr0")}; }
    bool holdsDisc(const QString &) override { return false; }
    platform::TableOfContents readTableOfContents(const QString &) override { return {}; }
};

class TrackListImports : public TextEditorTest {
protected:
    void SetUp() override
    {
        TextEditorTest::SetUp();
        setLanguage(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/English.dll"));
        loadSeparatorNames();
        loadMp3FieldNames();
        gStrSeparators = {QStringLiteral(" - "), gStrSepTab, gStrSepSpace, QStringLiteral(" * "), QStringLiteral(" : ")};
        QDir().mkpath(path("music"));
        for (const char *name : {"cbr.mp3", "mono22.mp3"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(PELMORA_SOURCE_DIR "/tests/tracklists/data/") + name,
                                    path(QStringLiteral("music/") + name)));
        gStrMyMusicPath = path("music");
        gStrStandardPath = path("music");
        runner = &platform::Seam<tracklists::ModalRunner>::install(std::make_unique<ScriptedRunner>());
        platform::Seam<texteditor::TextImporters>::install(makeTrackListImporters());
        platform::Seam<texteditor::CdTrackListWizard>::install(tracklists::makeCdTrackListWizard());
        platform::Seam<platform::CdDrives>::install(std::make_unique<EmptyDrive>());
    }
    void TearDown() override
    {
        EXPECT_TRUE(runner->scripts.empty()) << "a scripted dialog was not shown";
        platform::Seam<tracklists::ModalRunner>::reset();
        platform::Seam<platform::CdDrives>::reset();
        TextEditorTest::TearDown();
    }

    template <class Form>
    void then(frmTextedit &f, std::function<void(Form &)> script)
    {
        runner->scripts.push_back([&f, script](QDialog &d) {
            auto *form = qobject_cast<Form *>(&d);
            ASSERT_TRUE(form) << "another dialog: " << d.objectName().toStdString();
            EXPECT_EQ(form->parentWidget(), &f);
            EXPECT_FALSE(f.mBoolPreviewEnabled) << "the preview is off while the dialog is open";
            script(*form);
        });
    }

    // After an import: the flag is set again, the caret stands at the end and the preview was
    // drawn anew from the whole text.
    static void expectFinished(frmTextedit &f, const platform::ImgxImagePtr &before)
    {
        EXPECT_TRUE(f.mBoolPreviewEnabled);
        EXPECT_EQ(f.txtText->selStart(), f.txtText->text().size());
        EXPECT_NE(f.igxPreview->image(), before);
        const QImage shown = f.igxPreview->image()->qimage();
        f.doPreview();
        EXPECT_EQ(f.igxPreview->image()->qimage(), shown);
    }

    ScriptedRunner *runner = nullptr;
};

} // namespace

TEST_F(TrackListImports, ButtonsAndTheFileDropAppendToTheTextEditor)
{
    auto f = open(true);
    f->txtText->setText("Side A");
    const int oneLine = ink(f->igxPreview->image()->qimage()).height();

    // MP3 files of the music folder, without their play length.
    then<frmDirMp3>(*f, [](frmDirMp3 &d) {
        d.chkDuration->click();
        d.cmdSelectAllFiles->click();
        d.cmdOK->click();
    });
    auto before = f->igxPreview->image();
    f->cmdListMP3->click();
    EXPECT_EQ(f->txtText->text(), QString::fromUtf8("Side A\r\nDie Ärzte - Grüße € Song\r\nMono - Low Rate"));
    expectFinished(*f, before);
    EXPECT_GT(ink(f->igxPreview->image()->qimage()).height(), 2 * oneLine);

    // A playlist's entry, chosen in the open dialog.
    writeFile("lists/mix.m3u", "../music/mono22.mp3\r\n");
    choosers->files.push_back(platform::FileDialogResult{path("lists/mix.m3u"), 1});
    then<frmM3UParameters>(*f, [](frmM3UParameters &d) {
        d.chkArtist->click();
        d.cmdOK->click();
    });
    before = f->igxPreview->image();
    f->cmdListM3U->click();
    EXPECT_TRUE(f->txtText->text().endsWith("Mono - Low Rate\r\nLow Rate - 00:10"));
    expectFinished(*f, before);

    // The file names of the folder.
    then<frmChangeDirForm>(*f, [](frmChangeDirForm &d) {
        d.optSelection[1]->click();
        d.chkFileExtension->setChecked(true);
        d.cmdOK->click();
    });
    before = f->igxPreview->image();
    f->cmdListFiles->click();
    EXPECT_TRUE(f->txtText->text().endsWith("Low Rate - 00:10\r\ncbr.mp3\r\nmono22.mp3"));
    expectFinished(*f, before);

    // Two text files dropped on the edit box: the first is appended, the second ignored.
    writeFile("bonus.txt", "Bonus\nHidden Track\n");
    writeFile("other.txt", "Other");
    const QString kept = f->txtText->text();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("bonus.txt")), QUrl::fromLocalFile(path("other.txt"))});
    QWidget *target = f->txtText->viewport();
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(f->txtText->text(), kept + "\r\nBonus\r\nHidden Track");
    EXPECT_TRUE(f->mBoolPreviewEnabled);
    const QImage shown = f->igxPreview->image()->qimage();
    f->doPreview();
    EXPECT_EQ(f->igxPreview->image()->qimage(), shown);
}

TEST_F(TrackListImports, TheCdButtonOpensTheWizardOverTheTextEditor)
{
    auto f = open(true);
    f->txtText->setText("Side B\r\nLive");
    f->txtText->setSelStart(0);
    const auto before = f->igxPreview->image();
    {
        WhenModal<frmCDDBAssist> script([&](frmCDDBAssist &w) {
            EXPECT_EQ(w.parentWidget(), f.get());
            EXPECT_FALSE(f->mBoolPreviewEnabled);
            EXPECT_EQ(w.step(), 0);
            w.cmdCancel->click();
        });
        f->cmdCDDB->click();
    }
    EXPECT_EQ(f->txtText->text(), "Side B\r\nLive");
    expectFinished(*f, before);
}
