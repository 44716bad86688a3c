// The image folder browser: the files it lists, the preview of the chosen one, taking a
// picture over into a side of the main window, and files that hold no readable picture.
#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "coverformats/PreviewPicture.h"
#include "coverformats/frmBrowse.h"
#include "mainwindow/Globals.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTest>

using namespace mainwindowtest;

namespace {

QByteArray jpegBytes(int w, int h, bool noise = false)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 40, 40));
    if (noise) {
        QRandomGenerator rng(7);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, rng.generate() | 0xFF000000u);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPEG", 90);
    return bytes;
}

class ImageBrowser : public MainWindowTest {
protected:
    QString folder() const { return path("pics"); }
    void putFile(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(folder());
        writeFile("pics/" + name, bytes);
    }
    void startIn(const QString &standardPath)
    {
        options("STANDARDPATH=" + standardPath.toUtf8() + "\r\n");
        start();
        window->show();
    }
    QStringList listed(const frmBrowse &b) const
    {
        QStringList out;
        for (int i = 0; i < b.lstFiles->count(); ++i)
            out << b.lstFiles->item(i)->text();
        return out;
    }
    // A click on the file's line in the list.
    void choose(frmBrowse &b, const QString &name) const
    {
        const QList<QListWidgetItem *> items = b.lstFiles->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        b.lstFiles->scrollToItem(items[0]);
        QTest::mouseClick(b.lstFiles->viewport(), Qt::LeftButton, {}, b.lstFiles->visualItemRect(items[0]).center());
    }
    static QString lang(const char *key) { return gObjLanguageStore().getVar(QLatin1String(key)); }
};

} // namespace

TEST_F(ImageBrowser, ListsThePicturesOfTheFolderInAnyLetterCaseAndFollowsTheFolder)
{
    for (const char *name : {"b.jpg", "A.JPG", "c.Gif", "d.bmp", "e.png", "f.txt", "g.jpeg"})
        putFile(name, "x");
    QDir().mkpath(folder() + "/h.jpg");
    startIn(folder());
    frmBrowse b(window.get());
    b.show();
    EXPECT_EQ(listed(b), (QStringList{"A.JPG", "b.jpg", "c.Gif", "d.bmp"}));
    EXPECT_EQ(b.txtImageFolder->text(), folder());
    EXPECT_EQ(b.lblNoFile->text(), lang("frmBrowse.lblNoFile"));
    EXPECT_EQ(b.cmdOvertake[0]->captionAlignment(), 4) << "English";
    EXPECT_EQ(b.cmdOvertake[1]->captionAlignment(), 3);
    EXPECT_EQ(b.cmdOvertake[1]->pictureAlignment(), 5);

    // Activation lists the folder again; the chosen file stays chosen.
    {
        const QSignalBlocker quiet(b.lstFiles);
        b.lstFiles->setCurrentRow(2);
    }
    putFile("aa.jpg", "x");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&b, &activate);
    EXPECT_EQ(listed(b), (QStringList{"A.JPG", "aa.jpg", "b.jpg", "c.Gif", "d.bmp"}));
    EXPECT_EQ(b.fileName(), "c.Gif");
    // A folder removed while the browser is open lists nothing.
    QDir(folder()).removeRecursively();
    QApplication::sendEvent(&b, &activate);
    EXPECT_EQ(b.lstFiles->count(), 0);
}

TEST_F(ImageBrowser, WithoutAStandardFolderItHintsAtTheFolderButtonAndListsTheChosenFolder)
{
    putFile("one.jpg", "x");
    startIn(QString());
    frmBrowse b(window.get());
    EXPECT_EQ(b.lblNoFile->text(), lang("MESSAGES.MSG_NO_FOLDER"));
    EXPECT_EQ(b.lstFiles->count(), 0);
    EXPECT_TRUE(b.txtImageFolder->text().isEmpty());

    choosers->folders = {QString(), folder()};
    b.cmdBrowse_Click(); // cancelled
    EXPECT_EQ(b.lstFiles->count(), 0);
    EXPECT_EQ(b.lblNoFile->text(), lang("frmBrowse.lblNoFile"));
    b.cmdBrowse_Click();
    EXPECT_EQ(listed(b), QStringList{"one.jpg"});
    EXPECT_EQ(b.txtImageFolder->text(), folder());

    // A standard folder that no longer exists lists nothing either.
    gStrStandardPath = path("gone");
    frmBrowse gone(window.get());
    EXPECT_EQ(gone.lstFiles->count(), 0);
    EXPECT_TRUE(gone.txtImageFolder->text().isEmpty());
}

TEST_F(ImageBrowser, ThePreviewIsTheLargestSizeOfThePicturesProportionsIn4000By1815Twips)
{
    EXPECT_EQ(previewSizeTwips(QSize(800, 600)), QSizeF(2420, 1815));
    EXPECT_EQ(previewSizeTwips(QSize(600, 800)), QSizeF(1361.25, 1815));
    EXPECT_EQ(previewSizeTwips(QSize(500, 500)), QSizeF(1815, 1815));
    EXPECT_EQ(previewSizeTwips(QSize(300, 1000)), QSizeF(544.5, 1815));
    const QSizeF wide = previewSizeTwips(QSize(3000, 1000));
    EXPECT_EQ(wide.width(), 4000);
    EXPECT_NEAR(wide.height(), 1333.33, 0.01);

    putFile("wide.jpg", jpegBytes(3000, 1000));
    putFile("photo.JPG", jpegBytes(800, 600));
    startIn(folder());
    frmBrowse b(window.get());
    b.show();
    choose(b, "photo.JPG");
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_TRUE(b.picPreview->isVisible());
    EXPECT_FALSE(b.lblNoFile->isVisible());
    EXPECT_EQ(b.picPreview->widthTwips(), 2420);
    EXPECT_EQ(b.picPreview->heightTwips(), 1815);
    EXPECT_EQ(b.previewLeftTwips(), (5100 - 2420) / 2.0);
    EXPECT_EQ(b.picPreview->picture().size(), QSize(161, 121));
    EXPECT_EQ(b.picPreview->y(), 2) << "25 twips";
    choose(b, "wide.jpg");
    EXPECT_EQ(b.picPreview->widthTwips(), 4000);
    EXPECT_NEAR(b.picPreview->heightTwips(), 1333.33, 0.01);
    EXPECT_EQ(b.previewLeftTwips(), 550);
    const QColor c = b.picPreview->picture().pixelColor(50, 40);
    EXPECT_NEAR(c.red(), 200, 12);
    EXPECT_NEAR(c.green(), 40, 12);
}

TEST_F(ImageBrowser, TakingOverLoadsTheWholePictureIntoEitherSideOneAfterTheOther)
{
    putFile("left.jpg", jpegBytes(300, 200));
    putFile("BACK.jpg", jpegBytes(210, 100));
    startIn(folder());
    frmBrowse b(window.get());
    b.show();
    b.cmdOvertake_Click(0);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, lang("ERRORS.ERR_PICTURE"));
    const QSize leftBefore = igxBackup[0]->qimage().size();
    ASSERT_NE(leftBefore, QSize(300, 200));

    // The left side's objects, kept, stay where and as large as they were on the cover: the
    // start picture has 480 pixels a side, the one taken over is fitted to 300.
    prompter->shown.clear();
    giveCoverObjects(0, 0.5, QRect(40, 40, 60, 60), QPoint(60, 150));
    window->convertImageSizeToCover(0);
    const ShownObjects before = shownObjects(0);
    ASSERT_FALSE(before.picture.isEmpty() || before.text.isEmpty());
    prompter->answers = {platform::MsgAnswer::Yes};
    choose(b, "left.jpg");
    b.cmdOvertake_Click(0);
    const ShownObjects after = shownObjects(0);
    for (const auto &[now, was] : {std::pair{after.picture, before.picture}, std::pair{after.text, before.text}}) {
        EXPECT_NEAR(now.left(), was.left(), 1);
        EXPECT_NEAR(now.top(), was.top(), 1);
        EXPECT_NEAR(now.width(), was.width(), 2);
        EXPECT_NEAR(now.height(), was.height(), 2);
    }
    choose(b, "BACK.jpg");
    b.cmdOvertake_Click(1);
    EXPECT_EQ(prompts(), QStringList{"This side holds texts and pictures. Keep all objects?"});
    EXPECT_EQ(igxBackup[0]->qimage().size(), QSize(300, 200)) << "taken over at full size";
    EXPECT_EQ(igxBackup[1]->qimage().size(), QSize(210, 100));
    EXPECT_FALSE(window->lblLoadPic[0]->isVisible());
    EXPECT_FALSE(window->lblLoadPic[1]->isVisible());
    // The keyword in the name chose the side's format: the back inlay of a CD.
    EXPECT_EQ(window->lstCoverNames[1]->currentRow(), 2);
    EXPECT_TRUE(b.isVisible()) << "the browser stays open";
}

TEST_F(ImageBrowser, AFileWithoutAReadablePictureShowsTheErrorAndLeavesTheSideAsItWas)
{
    const QByteArray good = jpegBytes(400, 300, true);
    putFile("cut.jpg", good.left(good.size() * 3 / 5));
    putFile("text.jpg", "This is no picture at all.\n");
    putFile("empty.jpg", QByteArray());
    QByteArray huge = jpegBytes(64, 64);
    const qsizetype sof = huge.indexOf(QByteArrayView("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int at : {5, 7}) { // height, width: 20000 each, above the imaging layer's limit
        huge[sof + at] = char(20000 >> 8);
        huge[sof + at + 1] = char(20000 & 0xFF);
    }
    putFile("huge.jpg", huge);
    putFile("good.jpg", good);
    startIn(folder());
    frmBrowse b(window.get());
    b.show();

    for (const char *name : {"cut.jpg", "text.jpg", "empty.jpg", "huge.jpg"}) {
        prompter->shown.clear();
        choose(b, name);
        ASSERT_EQ(prompter->shown.size(), 1u) << name;
        EXPECT_TRUE(prompter->shown[0].prompt.contains(lang("ERRORS.ERR_SELECT_SOURCE"))) << name;
        EXPECT_TRUE(prompter->shown[0].prompt.contains("frmBrowse.lstFiles_Click")) << name;
        // Said as the open dialog says it, in the program's words.
        if (QByteArray(name) != "huge.jpg") {
            EXPECT_TRUE(prompter->shown[0].prompt.endsWith(" " + lang("MESSAGES.MSG_INVALID_IMAGE"))) << name;
        }
        EXPECT_FALSE(b.picPreview->isVisible()) << name;
        EXPECT_FALSE(b.lblNoFile->isVisible()) << name;

        const QImage before = igxBackup[0]->qimage();
        prompter->shown.clear();
        b.cmdOvertake_Click(0);
        ASSERT_EQ(prompter->shown.size(), 1u) << name;
        EXPECT_TRUE(prompter->shown[0].prompt.contains(lang("ERRORS.ERR_SELECT_SOURCE"))) << name;
        EXPECT_EQ(igxBackup[0]->qimage(), before) << name;
    }
    prompter->shown.clear();
    choose(b, "good.jpg");
    EXPECT_TRUE(prompter->shown.empty());
    EXPECT_TRUE(b.picPreview->isVisible());
}
