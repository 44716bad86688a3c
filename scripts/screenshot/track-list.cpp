// Saves the MP3 track-list dialog over the text editor, with a few files of a folder chosen,
// as a PNG file. The folder holds copies of the tests' MP3 files under track names.
//
//   pelmora_screenshot_tracklist <resources folder> <MP3 files folder> <output folder>
#include "core/Globals.h"
#include "core/libInitialize.h"
#include "core/libLanguage.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/TextBox.h"
#include "texteditor/frmTextedit.h"
#include "tracklists/ModalRunner.h"
#include "tracklists/TrackListImporters.h"
#include "tracklists/frmDirMp3.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <functional>

namespace {

// Works the dialog instead of waiting in it: the shot is taken while it is open.
class ShotRunner final : public tracklists::ModalRunner {
public:
    explicit ShotRunner(std::function<void(QDialog &)> work) : work_(std::move(work)) {}
    void run(QDialog &dialog) override { work_(dialog); }

private:
    std::function<void(QDialog &)> work_;
};

} // namespace

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <MP3 files folder> <output folder>", 3, 3);
    if (!session.ok())
        return session.exitCode();
    setLanguage(session.home() + QStringLiteral("/language/English.dll"));
    loadSeparatorNames();
    loadMp3FieldNames();
    gStrSeparators = {QStringLiteral(" - "), gStrSepTab, gStrSepSpace, QStringLiteral(" * "), QStringLiteral(" : ")};

    const QString music = session.home() + QStringLiteral("/Music");
    QDir().mkpath(music);
    const QDir fixtures(session.argument(2));
    const char *const copies[][2] = {{"cbr.mp3", "01 Grüße.mp3"},
                                     {"mono22.mp3", "02 Low Rate.mp3"},
                                     {"vbr.mp3", "03 Variable.mp3"},
                                     {"id3v2-only.mp3", "04 Bonus.mp3"}};
    for (const auto &c : copies)
        if (!QFile::copy(fixtures.filePath(QString::fromUtf8(c[0])), music + u'/' + QString::fromUtf8(c[1])))
            return 1;
    gStrMyMusicPath = music;

    auto *editor = new frmTextedit(nullptr);
    editor->mBoolNewText = true;
    editor->show();
    editor->Form_Load();
    screenshot::settle();
    editor->cboFont->setCurrentIndex(editor->cboFont->findText(QStringLiteral("DejaVu Sans")));
    editor->cboSize->setCurrentIndex(editor->cboSize->findText(QStringLiteral("16")));
    editor->txtText->setText(QStringLiteral("Road Trip Mix"));
    screenshot::settle();

    QImage shot;
    platform::Seam<tracklists::ModalRunner>::install(std::make_unique<ShotRunner>([&](QDialog &d) {
        auto *dialog = qobject_cast<frmDirMp3 *>(&d);
        if (!dialog)
            return;
        dialog->show();
        screenshot::settle();
        for (int i = 0; i < 3; ++i) {
            dialog->lstFilesInFolder->setCurrentRow(0);
            dialog->cmdSelectFile->click();
        }
        screenshot::settle();
        const QImage under = screenshot::framed(*editor);
        const QImage over = screenshot::framed(*dialog);
        const QPoint at(12 + under.width() / 3, 12 + 90);
        shot = QImage(std::max(12 + under.width(), at.x() + over.width()) + 12,
                      std::max(12 + under.height(), at.y() + over.height()) + 12, QImage::Format_ARGB32);
        shot.fill(QColor(225, 228, 232));
        QPainter p(&shot);
        p.drawImage(12, 12, under);
        p.fillRect(QRect(at + QPoint(4, 4), over.size()), QColor(0, 0, 0, 60));
        p.drawImage(at, over);
        p.end();
        dialog->cmdOK->click();
    }));
    TrackListImporters importers;
    importers.listMp3(editor->host());

    const QString out = session.argument(3);
    QDir().mkpath(out);
    const bool ok = !shot.isNull() && shot.save(out + QStringLiteral("/track-list.png"), "PNG");
    editor->reject();
    delete editor;
    return ok ? 0 : 1;
}
