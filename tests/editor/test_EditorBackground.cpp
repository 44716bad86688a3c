// The graphics editor's new background and blank sheet, and its brightness and sharpen/soften
// dialogs with their undo steps.
#include "EditorTestSupport.h"

#include "editor/frmBrightness.h"
#include "editor/frmNewCover.h"
#include "editor/frmRotate.h"
#include "editor/frmSharpSoft.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QLabel>
#include <QScrollBar>

using namespace editortest;

namespace {

constexpr std::uint32_t kBlue = 0xFF0000;

bool near(QRgb pixel, QColor expected, int tolerance = 24)
{
    return std::abs(qRed(pixel) - expected.red()) < tolerance && std::abs(qGreen(pixel) - expected.green()) < tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) < tolerance;
}

QRgb centre(const platform::ImgxImage &image) { return image.qimage().pixel(image.width() / 2, image.height() / 2); }

class EditorBackgroundTest : public EditorTest {
protected:
    int entries() { return gObjUndos()->mintUndoIndex; }
    clsUndoEntryPtr lastEntry() { return gObjUndos()->colUndos.value(QString::number(entries())); }
    const platform::ImgxImage &canvas() { return *editor->igxMain->image(); }
    // The new-background dialog, when the editor shows it, is worked by the action.
    void whenNewCover(std::function<void(frmNewCover &)> act)
    {
        dialogs->actions.push_back([act](QDialog &d) { act(static_cast<frmNewCover &>(d)); });
    }
};

} // namespace

TEST_F(EditorBackgroundTest, NewBackgroundsKeepOrDropTheObjectsAndCancelGivesTheFirstBack)
{
    frmGrafik &ed = open();
    const QImage original = igxBackup[0]->qimage();
    // Cancelled: nothing changes.
    insertPicture("blue.png", Qt::blue);
    model().mStrFocusedObjectIndex.clear();
    ed.doNegativ();
    ASSERT_EQ(entries(), 2);
    whenNewCover([](frmNewCover &dlg) { dlg.cmdCancel->click(); });
    ed.cmdBackColor->click();
    EXPECT_TRUE(window->mBoolNewCoverCancelled);
    EXPECT_TRUE(near(centre(canvas()), Qt::cyan));
    EXPECT_EQ(entries(), 2);
    EXPECT_TRUE(prompts().isEmpty());

    // White at once, keeping the objects: the background's steps are gone, the picture's stay.
    // The new background has other pixels than the old one (2000 a side for 400), but the
    // objects stay where and as large as they were on the cover.
    addText(0);
    ed.adaptObjectSizeToZoom(model().mStrFocusedObjectIndex);
    const auto onCanvas = [this] {
        std::vector<QRect> rects;
        for (const auto &[key, o] : model().colMoveableObjects)
            rects.push_back(QRect(o->X(), o->Y(), o->W(), o->H()));
        return rects;
    };
    const std::vector<QRect> before = onCanvas();
    const double zoomBefore = gDblZoomFactor;
    whenNewCover([](frmNewCover &dlg) { dlg.cmdOK->click(); });
    prompter->answers = {platform::MsgAnswer::Yes};
    ed.menuEntry("mnuNewCover")->trigger();
    ASSERT_EQ(prompts().size(), 1);
    EXPECT_EQ(prompts()[0], "This side holds texts and pictures. Keep all objects?");
    EXPECT_FALSE(window->mBoolNewCoverCancelled);
    EXPECT_TRUE(near(centre(canvas()), Qt::white));
    ASSERT_EQ(model().colMoveableObjects.count(), 2);
    EXPECT_LT(gDblZoomFactor, zoomBefore / 4);
    const std::vector<QRect> after = onCanvas();
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].topLeft(), before[i].topLeft()) << i;
        EXPECT_NEAR(after[i].width(), before[i].width(), 2) << i;
        EXPECT_NEAR(after[i].height(), before[i].height(), 2) << i;
    }
    ASSERT_EQ(entries(), 1);
    EXPECT_EQ(lastEntry()->mstrText, "Insert");
    ed.mnuUndo_Click();
    EXPECT_TRUE(near(centre(canvas()), Qt::white));
    insertPicture("blue.png", Qt::blue);

    // Blue, dropping the objects.
    whenNewCover([this](frmNewCover &dlg) {
        choosers->colors = {kBlue};
        dlg.cmdMarginColor->click();
        dlg.cmdOK->click();
    });
    prompter->answers = {platform::MsgAnswer::No};
    ed.cmdBackColor->click();
    EXPECT_EQ(prompts().size(), 2);
    EXPECT_TRUE(near(centre(canvas()), Qt::blue));
    EXPECT_EQ(model().colMoveableObjects.count(), 0);

    // No objects the user sees, a picture inserted and deleted: nothing is asked.
    insertPicture("blue.png", Qt::blue);
    QTest::keyClick(ed.igxMain, Qt::Key_Delete);
    ASSERT_EQ(model().colMoveableObjects.count(), 1);
    whenNewCover([](frmNewCover &dlg) { dlg.cmdOK->click(); });
    ed.cmdBackColor->click();
    EXPECT_EQ(prompts().size(), 2);
    EXPECT_TRUE(near(centre(canvas()), Qt::white));

    // Cancel gives back the image from before the latest new background: the blue one.
    ed.cmdCancel_Click();
    QApplication::processEvents();
    EXPECT_TRUE(near(centre(*igxBackup[0]), Qt::blue));
    EXPECT_NE(igxBackup[0]->qimage(), original);
}

TEST_F(EditorBackgroundTest, BlankSheetsStartOverAtTheSameSizeOnALandscapeSide)
{
    window->picVisible[0]->setHeightTwips(3000);
    window->picVisible[0]->setWidthTwips(6000);
    frmGrafik &ed = open();
    const QSize canvasSize = ed.igxMain->size();
    const QSize windowSize = ed.size();
    ASSERT_GT(canvasSize.width(), canvasSize.height());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        insertPicture("blue.png", Qt::blue);
        ed.doSharpen(50);
        ed.cmdBlankSheet->click();
        EXPECT_EQ(model().colMoveableObjects.count(), 0);
        EXPECT_EQ(entries(), 0);
        EXPECT_TRUE(gObjUndos()->colUndos.isEmpty());
        EXPECT_TRUE(near(centre(canvas()), Qt::white));
        EXPECT_TRUE(near(centre(*igxBackup[0]), Qt::white));
        EXPECT_EQ(ed.igxMain->size(), canvasSize);
        EXPECT_EQ(ed.size(), windowSize);
    }
    EXPECT_TRUE(dialogs->shown.empty());
    // OK keeps the sheet.
    ed.cmdOK_Click();
    QApplication::processEvents();
    EXPECT_TRUE(near(centre(*igxBackup[0]), Qt::white));
}

TEST_F(EditorBackgroundTest, BrightnessInTheEditorChangesEveryImageOfItsTargetWithOneStep)
{
    frmGrafik &ed = open();
    const auto brighten = [this](int value) {
        dialogs->actions.push_back([value](QDialog &d) {
            auto &dlg = static_cast<frmBrightness &>(d);
            EXPECT_TRUE(dlg.mBoolCalledFromEditor);
            dlg.scrBrightness->setValue(value);
            dlg.cmdOK->click();
        });
    };
    // A turned picture: its image and its backup.
    insertPicture("grey.png", QColor(100, 100, 100));
    const auto pic = focused();
    frmRotate::doRotate(30);
    brighten(50);
    ed.menuEntry("mnuManualBrightness")->trigger();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0], "frmBrightness");
    EXPECT_GT(qRed(centre(*pic->mImgXPicture)), 140);
    EXPECT_GT(qRed(centre(*pic->mImgXBackup)), 140);
    EXPECT_EQ(lastEntry()->mstrText, "Brightness & Contrast");
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, pic->mstrIndex);

    // A turned background: canvas, its backup and the side's image, one entry for all three.
    model().mStrFocusedObjectIndex.clear();
    igxBackup[0]->setQImage(canvas().qimage(), platform::kNoUndo);
    frmRotate::doRotate(90);
    const int before = entries();
    brighten(-60);
    popups->choices = {"mnuPopUpManualBrightness"};
    QTest::mouseClick(ed.cmdEffects, Qt::LeftButton);
    EXPECT_EQ(entries(), before + 1);
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, "");
    EXPECT_LT(qRed(centre(canvas())), 200);
    EXPECT_LT(qRed(centre(*model().mObjBackground->mImgXBackup)), 200);
    EXPECT_LT(qRed(centre(*igxBackup[0])), 200);
    ed.mnuUndo_Click();
    EXPECT_TRUE(near(centre(canvas()), Qt::red, 2));
    EXPECT_TRUE(near(centre(*model().mObjBackground->mImgXBackup), Qt::red, 2));
    EXPECT_TRUE(near(centre(*igxBackup[0]), Qt::red, 2));

    // Cancel changes nothing; a focused text opens nothing.
    dialogs->actions.push_back([](QDialog &d) {
        auto &dlg = static_cast<frmBrightness &>(d);
        dlg.scrBrightness->setValue(80);
        dlg.cmdCancel->click();
    });
    const int count = entries();
    ed.editBrightness();
    EXPECT_EQ(entries(), count);
    EXPECT_TRUE(near(centre(canvas()), Qt::red, 2));
    addText(0);
    ed.editBrightness();
    ed.doSharpSoft(true);
    EXPECT_EQ(dialogs->shown.size(), 3u);
    EXPECT_EQ(entries(), count);
}

TEST_F(EditorBackgroundTest, SharpenAndSoftenByAChosenPercentageWorkTheEditorWay)
{
    frmGrafik &ed = open();
    // From the menu bar, with nothing focused: the canvas and the side's image, one "" entry.
    QImage pattern(400, 400, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            pattern.setPixel(x, y, ((x / 8 + y / 8) % 2) ? qRgb(200, 60, 60) : qRgb(60, 60, 200));
    ed.igxMain->image()->setQImage(pattern, platform::kNoUndo);
    ed.igxMain->image()->clearUndo();
    igxBackup[0]->setQImage(pattern, platform::kNoUndo);
    igxBackup[0]->clearUndo();
    dialogs->actions.push_back([](QDialog &d) {
        auto &dlg = static_cast<frmSharpSoft &>(d);
        EXPECT_TRUE(dlg.mBoolCalledFromEditor);
        EXPECT_TRUE(dlg.mBoolSharpen);
        dlg.scrSharpSoft->setValue(40);
        dlg.cmdOk->click();
    });
    ed.menuEntry("mnuSharpenPercentManual")->trigger();
    ASSERT_EQ(entries(), 1);
    EXPECT_EQ(lastEntry()->mstrText, "Sharpen");
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, "");
    EXPECT_NE(canvas().qimage(), pattern);
    EXPECT_EQ(igxBackup[0]->qimage(), canvas().qimage());
    ed.mnuUndo_Click();
    EXPECT_EQ(canvas().qimage(), pattern);
    EXPECT_EQ(igxBackup[0]->qimage(), pattern);

    // From the popup on a picture: softened, with the picture's entry.
    insertPicture("blue.png", Qt::blue);
    const auto pic = focused();
    dialogs->actions.push_back([](QDialog &d) {
        auto &dlg = static_cast<frmSharpSoft &>(d);
        EXPECT_FALSE(dlg.mBoolSharpen);
        dlg.cmdOk->click();
    });
    popups->choices = {"mnuPopUpSoftenPercentManual"};
    click({pic->X() + pic->W() / 2, pic->Y() + pic->H() / 2}, Qt::RightButton);
    EXPECT_EQ(lastEntry()->mstrText, "Soften");
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, pic->mstrIndex);

    // A picture without pixels: reported, and OK records nothing.
    pic->mImgXPicture = platform::ImgxImage::create();
    const int count = entries();
    dialogs->actions.push_back([](QDialog &d) { static_cast<frmSharpSoft &>(d).cmdOk->click(); });
    ed.doSharpSoft(true);
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_TRUE(prompts().back().contains("frmSharpSoft.Setup"));
    EXPECT_EQ(entries(), count);
}
