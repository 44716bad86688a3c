// The graphics editor's File, Edit and Effects menus, the rotate dialog and the undo overview.
#include "EditorTestSupport.h"

#include "canvas/clsPictureObject.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "editor/frmRotate.h"
#include "editor/frmUndoOverview.h"
#include "platform/widgets/ButtonPlus.h"

#include <QCoreApplication>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

using namespace editortest;

namespace {

bool near(QRgb pixel, QColor expected, int tolerance = 24)
{
    return std::abs(qRed(pixel) - expected.red()) < tolerance && std::abs(qGreen(pixel) - expected.green()) < tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) < tolerance;
}

class EditorMenusTest : public EditorTest {
protected:
    void TearDown() override
    {
        delete frmUndoOverview::instance();
        gStrDecimalSeparator = decimalSign;
        EditorTest::TearDown();
    }
    const QString decimalSign = gStrDecimalSeparator;
    QString lastText() { return gObjUndos()->getLastUndoText(); }
    clsUndoEntryPtr lastEntry() { return gObjUndos()->colUndos.value(QString::number(gObjUndos()->mintUndoIndex)); }
    int entries() { return gObjUndos()->mintUndoIndex; }
    void trigger(const char *name) { editor->menuEntry(QLatin1String(name))->trigger(); }
    QString undoCaption()
    {
        editor->mnuEdit_Click();
        return editor->menuEntry(QStringLiteral("mnuUndo"))->text();
    }
    QRgb canvasCentre()
    {
        const QImage &i = editor->igxMain->image()->qimage();
        return i.pixel(i.width() / 2, i.height() / 2);
    }
    // A picture inserted and placed at a canvas point.
    std::shared_ptr<clsCanvasObject> placedPicture(const QString &name, QColor color, QPoint at)
    {
        insertPicture(name, color);
        auto o = focused();
        o->mObjPointMousePos->mLngX = at.x();
        o->mObjPointMousePos->mLngY = at.y();
        return o;
    }
};

} // namespace

TEST_F(EditorMenusTest, SaveAsWritesTheSideInTenFormatsAndSaveThenAsksNoMore)
{
    frmGrafik &ed = open();
    const auto blue = placedPicture("blue.png", Qt::blue, {20, 20});
    const auto green = placedPicture("green.png", Qt::green, {60, 60});
    const QImage canvasBefore = ed.igxMain->image()->qimage();
    const double z = gDblZoomFactor;
    ASSERT_GT(z, 0);
    const auto imagePoint = [z](int x, int y) { return QPoint(int(x / z), int(y / z)); };

    // Save without a name asks; the canvas image's type (6) preselects the bitmap row.
    const size_t opened = choosers->fileRequests.size();
    choosers->files.push_back(std::nullopt);
    ed.cmdSave->click();
    ASSERT_EQ(choosers->fileRequests.size(), opened + 1);
    EXPECT_TRUE(choosers->fileRequests.back().save);
    EXPECT_EQ(choosers->fileRequests.back().filterIndex, 8);
    EXPECT_EQ(choosers->fileRequests.back().defaultSuffix, "bmp");
    EXPECT_TRUE(ed.saveFileName().isEmpty());
    EXPECT_FALSE(ed.menuEntry("mnuSave")->isEnabled());

    QDir().mkpath(path("out"));
    int checked = 0;
    for (int row = 1; row <= 10; ++row) {
        SCOPED_TRACE(row);
        choosers->files.push_back(platform::FileDialogResult{path(QStringLiteral("out/side%1").arg(row)), row});
        ed.mnuSaveAs_Click();
        int code = 0;
        const QString file = path(QStringLiteral("out/side%1.").arg(row) + getImageFormat(row, code));
        EXPECT_EQ(ed.saveFileName(), file);
        EXPECT_EQ(ed.saveImageType(), code);
        platform::ImgxImage back;
        ASSERT_TRUE(back.loadFile(file, platform::kNoUndo));
        // The canvas keeps its picture; the objects stay separate.
        EXPECT_EQ(ed.igxMain->image()->qimage(), canvasBefore);
        EXPECT_EQ(model().colMoveableObjects.count(), 2);
        if (row == 7 || back.qimage().size() != canvasBefore.size())
            continue; // the one-bit bitmap keeps no colours; a metafile is drawn at its own scale
        ++checked;
        const QImage &img = back.qimage();
        EXPECT_TRUE(near(img.pixel(imagePoint(30, 30)), Qt::blue));
        // Drawn in order: the second picture over the first.
        EXPECT_TRUE(near(img.pixel(imagePoint(70, 70)), Qt::green));
        EXPECT_TRUE(near(img.pixel(imagePoint(green->X() + green->W() + 20, 30)), Qt::red));
    }
    EXPECT_GE(checked, 7); // the raster formats with colours at least
    EXPECT_TRUE(ed.menuEntry("mnuSave")->isEnabled());

    // Save now writes to the same file without asking.
    const size_t asked = choosers->fileRequests.size();
    QFile::remove(ed.saveFileName());
    ed.cmdSave->click();
    EXPECT_TRUE(QFile::exists(path("out/side10.emf")));
    EXPECT_EQ(choosers->fileRequests.size(), asked);

    // A name with its own extension keeps its format whatever row was chosen.
    choosers->files.push_back(platform::FileDialogResult{path("out/side.png"), 1});
    ed.mnuSaveAs_Click();
    EXPECT_TRUE(readFile("out/side.png").startsWith("\x89PNG"));

    // A folder that does not exist: the error, and nothing else changes.
    choosers->files.push_back(platform::FileDialogResult{path("missing/side.png"), 2});
    ed.mnuSaveAs_Click();
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_TRUE(prompts().back().contains("frmGrafik.mnuSaveAs_Click"));
    EXPECT_EQ(ed.igxMain->image()->qimage(), canvasBefore);
    (void)blue;
}

TEST_F(EditorMenusTest, LoadReplacesTheBackgroundAndUndoForgetsTheOldOne)
{
    frmGrafik &ed = open();
    EXPECT_EQ(undoCaption(), "Undo ");
    EXPECT_FALSE(ed.menuEntry("mnuUndo")->isEnabled());

    frmRotate::doRotate(90);
    const auto pic = placedPicture("blue.png", Qt::blue, {10, 10});
    model().mStrFocusedObjectIndex.clear();
    trigger("mnuSharpenPercent_50");
    EXPECT_EQ(undoCaption(), "Undo Sharpen");
    EXPECT_TRUE(ed.menuEntry("mnuUndo")->isEnabled());
    ASSERT_EQ(entries(), 3);

    // Cancelled, damaged: nothing changes.
    choosers->files.push_back(std::nullopt);
    ed.mnuLoad_Click();
    writeFile("bad.png", "no picture at all");
    choosers->files.push_back(platform::FileDialogResult{path("bad.png"), 1});
    ed.mnuLoad_Click();
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_EQ(prompts().back(), "Selected image-file is corrupt oder image-type not supported");
    EXPECT_EQ(entries(), 3);
    EXPECT_TRUE(near(canvasCentre(), Qt::red));

    // A reader that crashes or takes too long, as a background and as an inserted picture:
    // the side, its objects and the undo steps stay as they were.
    {
        const testsupport::MisbehavingPictureReader misbehaving;
        const struct {
            const char *file, *says;
        } failing[] = {{"crash.png", "Selected image-file is corrupt"}, {"spin.png", "takes too long to read"}};
        for (const auto &f : failing) {
            const QString file = pngFile(QLatin1String(f.file), 50, 50, Qt::green);
            choosers->files.push_back(platform::FileDialogResult{file, 1});
            ed.mnuLoad_Click();
            choosers->files.push_back(platform::FileDialogResult{file, 1});
            ed.cmdPicture_Click();
            ASSERT_GE(prompts().size(), 2);
            for (const QString &said : prompts().mid(prompts().size() - 2))
                EXPECT_TRUE(said.contains(QLatin1String(f.says))) << said.toStdString();
            EXPECT_EQ(entries(), 3) << f.file;
            EXPECT_EQ(model().colMoveableObjects.count(), 1) << f.file;
            EXPECT_TRUE(near(canvasCentre(), Qt::red)) << f.file;
        }
    }

    // A new background: objects stay, where and as large as they were on the cover whatever
    // the new picture's pixels; the background's steps are gone, the picture's remain.
    const auto onCanvas = [this] {
        const auto &o = model().colMoveableObjects.begin()->second;
        return QRect(o->X(), o->Y(), o->W(), o->H());
    };
    const QRect before = onCanvas();
    const QSize oldBackground(igxBackup[0]->width(), igxBackup[0]->height());
    const int larger = 3 * oldBackground.width();
    choosers->files.push_back(platform::FileDialogResult{pngFile("green.png", larger, larger, Qt::green), 1});
    ed.mnuLoad_Click();
    EXPECT_TRUE(near(canvasCentre(), Qt::green));
    EXPECT_EQ(model().colMoveableObjects.count(), 1);
    EXPECT_EQ(onCanvas().topLeft(), before.topLeft());
    EXPECT_NEAR(onCanvas().width(), before.width(), 1);
    EXPECT_FALSE(model().mObjBackground->mBoolIsRotated);
    ASSERT_EQ(entries(), 1);
    EXPECT_EQ(undoCaption(), "Undo Insert");
    EXPECT_EQ(lastEntry()->mstrUndoIndex, "1");
    ed.mnuUndo_Click();
    EXPECT_EQ(model().colMoveableObjects.count(), 0);
    EXPECT_TRUE(near(canvasCentre(), Qt::green));
    EXPECT_EQ(undoCaption(), "Undo ");
    (void)pic;

    // In German the empty entry is the word alone, without a colon that leads nowhere.
    setLanguage(path("language/Deutsch.dll"));
    EXPECT_EQ(undoCaption().trimmed(), QString::fromUtf8("Rückgängig"));
    trigger("mnuSharpenPercent_50");
    EXPECT_EQ(undoCaption(), QString::fromUtf8("Rückgängig Schärfen"));
}

TEST_F(EditorMenusTest, CopyPasteAndDeleteAll)
{
    frmGrafik &ed = open();
    // Paste with nothing copied adds nothing; neither menu offers it.
    EXPECT_FALSE(ed.menuEntry("mnuPaste")->isEnabled());
    EXPECT_FALSE(ed.menuEntry("mnuPopUpPaste")->isEnabled());
    ed.mnuPaste_Click();
    EXPECT_EQ(entries(), 0);
    // Delete all with no objects asks nothing.
    ed.mnuDeleteAll_Click();
    EXPECT_TRUE(prompts().isEmpty());

    // Undo takes the only object away: Copy and the object's entries follow the empty canvas.
    addText(0);
    gObjUndos()->addOtherUndo(model().mStrFocusedObjectIndex, 1, QStringLiteral("AUTO"), QStringLiteral("NONE"));
    const auto only = focused();
    moveOverCanvas({only->X() + 3, only->Y() + only->H() / 2});
    const char *const objectEntries[] = {"mnuCopy", "mnuEditText", "mnuConvertTextToPicture", "mnuStretchText"};
    for (const char *entry : objectEntries)
        ASSERT_TRUE(enabled(entry)) << entry;
    testsupport::showActive(&ed);
    QTest::keyClick(&ed, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(model().colMoveableObjects.count(), 0);
    for (const char *entry : objectEntries)
        EXPECT_FALSE(enabled(entry)) << entry;
    EXPECT_FALSE(ed.cmdEditText->isEnabled());
    for (ButtonPlus *b : {ed.cmdRotate, ed.cmdRotateLeft, ed.cmdRotateRight})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(ed.cmdEffects->isEnabled());

    // A text: the copy keeps the state at Copy and lands on the same place.
    addText(0);
    auto text = focused();
    text->mObjPointMousePos->mLngX = 40;
    ed.mnuCopy_Click();
    EXPECT_TRUE(ed.menuEntry("mnuPaste")->isEnabled());
    EXPECT_TRUE(ed.menuEntry("mnuPopUpPaste")->isEnabled());
    text->mObjPointMousePos->mLngX = 120;
    std::static_pointer_cast<clsTextObject>(text)->mstrText = QStringLiteral("Changed");
    ed.mnuPaste_Click();
    auto pasted = focused();
    ASSERT_NE(pasted, text);
    EXPECT_EQ(pasted->typeName(), "clsTextObject");
    EXPECT_EQ(pasted->X(), 40);
    EXPECT_EQ(std::static_pointer_cast<clsTextObject>(pasted)->mstrText, "Cover");
    EXPECT_EQ(lastText(), "Insert");
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, pasted->mstrIndex);

    // A picture: every paste has its own image, so an effect on one leaves the other.
    const auto pic = placedPicture("blue.png", Qt::blue, {0, 0});
    ed.mnuCopy_Click();
    // Paste from the popup adds one picture.
    const int objects = model().colMoveableObjects.count();
    popups->choices = {"mnuPopUpPaste"};
    click({pic->X() + pic->W() / 2, pic->Y() + pic->H() / 2}, Qt::RightButton);
    EXPECT_EQ(model().colMoveableObjects.count(), objects + 1);
    const auto first = focused();
    ed.mnuPaste_Click();
    const auto second = focused();
    ASSERT_NE(first, second);
    EXPECT_NE(first->mImgXPicture, second->mImgXPicture);
    EXPECT_EQ(first->W(), pic->W());
    ed.doNegativ();
    EXPECT_TRUE(near(second->mImgXPicture->qimage().pixel(5, 5), Qt::yellow));
    EXPECT_TRUE(near(first->mImgXPicture->qimage().pixel(5, 5), Qt::blue));

    // Delete all asks while any object is left, deleted ones too; No keeps everything.
    model().mStrFocusedObjectIndex = pic->mstrIndex;
    ed.doDeleteSelectedItem();
    const int count = model().colMoveableObjects.count();
    prompter->answers = {platform::MsgAnswer::No};
    ed.mnuDeleteAll_Click();
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_EQ(prompter->shown[0].prompt, "Do you really want to delete all objects (and Undo's) ?");
    EXPECT_EQ(model().colMoveableObjects.count(), count);
    prompter->answers = {platform::MsgAnswer::Yes};
    ed.mnuDeleteAll_Click();
    EXPECT_EQ(model().colMoveableObjects.count(), 0);
    EXPECT_EQ(model().colObjectLayers.count(), 0);
    EXPECT_EQ(entries(), 0);
    EXPECT_TRUE(gObjUndos()->colUndos.isEmpty());
    EXPECT_EQ(model().mStrFocusedObjectIndex, "");
}

TEST_F(EditorMenusTest, EffectsChangeThePictureOrTheBackgroundWithOneStepEach)
{
    frmGrafik &ed = open();
    const auto pic = placedPicture("blue.png", Qt::blue, {0, 0});
    const QString key = pic->mstrIndex;
    const struct {
        const char *entry;
        const char *text;
    } effects[] = {{"mnuAutoBrightness", "Auto-Brightness"}, {"mnuGrayscale", "Grayscale"},
                   {"mnuPopUpNegative", "Negative"},         {"mnuSharpenPercent_75", "Sharpen"},
                   {"mnuPopUpSoftenPercent_25", "Soften"},   {"mnuFlipVertical", "Flip"}};
    // Through the real popup on the picture first: negative once, so blue turns yellow.
    chooseInRealMenu({"mnuPopUpEffects", "mnuPopUpNegative"},
                     [&] { click({pic->X() + pic->W() / 2, pic->Y() + pic->H() / 2}, Qt::RightButton); });
    EXPECT_EQ(entries(), 2);
    EXPECT_TRUE(near(pic->mImgXPicture->qimage().pixel(5, 5), Qt::yellow));
    testsupport::showActive(&ed);
    QTest::keyClick(&ed, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(near(pic->mImgXPicture->qimage().pixel(5, 5), Qt::blue, 2));
    // The menu bar's entries, and the popup's chosen by a right-click on the picture.
    for (const auto &e : effects) {
        SCOPED_TRACE(e.entry);
        const int steps = pic->mImgXPicture->undoCount();
        const int before = entries();
        if (QLatin1String(e.entry).startsWith(QLatin1String("mnuPopUp"))) {
            popups->choices = {QLatin1String(e.entry)};
            click({pic->X() + pic->W() / 2, pic->Y() + pic->H() / 2}, Qt::RightButton);
        } else {
            trigger(e.entry);
        }
        EXPECT_EQ(entries(), before + 1);
        EXPECT_EQ(lastText(), e.text);
        EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, key);
        EXPECT_EQ(pic->mImgXPicture->undoCount(), steps + 1);
    }
    // The toolbar sharpens by 50; each undo steps one effect back.
    ed.cmdSharpen->click();
    EXPECT_EQ(undoCaption(), "Undo Sharpen");
    for (int i = 0; i < 7; ++i)
        ed.mnuUndo_Click();
    EXPECT_TRUE(near(pic->mImgXPicture->qimage().pixel(5, 5), Qt::blue, 2));

    // A turned picture: its unrotated backup gets the effect too.
    frmRotate::doRotate(30);
    ed.doNegativ();
    EXPECT_TRUE(near(pic->mImgXBackup->qimage().pixel(50, 50), Qt::yellow));
    frmRotate::doRotate(-30);
    const QImage &turnedBack = pic->mImgXPicture->qimage();
    EXPECT_TRUE(near(turnedBack.pixel(turnedBack.width() / 2, turnedBack.height() / 2), Qt::yellow));

    // A text: nothing changes, nothing is recorded.
    addText(0);
    const int before = entries();
    ed.doNegativ();
    ed.doSharpen(100);
    EXPECT_EQ(entries(), before);

    // The background: canvas and side image, one entry with the key "".
    model().mStrFocusedObjectIndex.clear();
    ed.doNegativ();
    EXPECT_TRUE(near(canvasCentre(), Qt::cyan));
    EXPECT_TRUE(near(igxBackup[0]->qimage().pixel(200, 300), Qt::cyan));
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, "");
    EXPECT_EQ(lastText(), "Negative");
    // Turned: its backup follows as well.
    frmRotate::doRotate(90);
    ed.doFlip(0);
    ed.doNegativ();
    EXPECT_TRUE(near(model().mObjBackground->mImgXBackup->qimage().pixel(200, 300), Qt::red));
    ed.mnuUndo_Click();
    EXPECT_TRUE(near(model().mObjBackground->mImgXBackup->qimage().pixel(200, 300), Qt::cyan));
    EXPECT_TRUE(near(canvasCentre(), Qt::cyan));
    EXPECT_TRUE(near(igxBackup[0]->qimage().pixel(200, 300), Qt::cyan));
}

TEST_F(EditorMenusTest, TheRotateDialogCorrectsItsBoxAndTurnsFromTheBackup)
{
    frmGrafik &ed = open();
    frmRotate dlg(&ed);
    EXPECT_EQ(dlg.txtAngle->text(), "90");
    EXPECT_EQ(dlg.updAngle->value(), 270);
    // Typed one key at a time: emptied with Backspace, the box takes "45" as it is typed.
    testsupport::showActive(&dlg);
    testsupport::typeInto(dlg.txtAngle, "45");
    EXPECT_EQ(dlg.txtAngle->text(), "45");
    EXPECT_EQ(dlg.updAngle->value(), 315);
    // Leaving the box puts it right.
    const std::pair<const char *, const char *> corrections[] = {
        {"400", "360"}, {"-5", "0"}, {"abc", "90"}, {"", "90"}, {"99999", "360"}, {"1e400", "90"}, {"45abc", "45"},
        {"22.7", "22.7"}};
    for (const auto &[typed, shown] : corrections) {
        testsupport::typeInto(dlg.txtAngle, QString::fromLatin1(typed));
        testsupport::leaveByTab(dlg.txtAngle);
        EXPECT_EQ(dlg.txtAngle->text(), shown) << typed;
    }
    EXPECT_EQ(dlg.updAngle->value(), 337);
    // A lone "-" stays while typed; the spinner's upper arrow raises the angle.
    testsupport::typeInto(dlg.txtAngle, "-");
    EXPECT_EQ(dlg.txtAngle->text(), "-");
    testsupport::typeInto(dlg.txtAngle, "90");
    testsupport::leaveByTab(dlg.txtAngle);
    dlg.updAngle->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(dlg.txtAngle->text(), "91");
    dlg.updAngle->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dlg.updAngle->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(dlg.txtAngle->text(), "89");

    // Two turns by 30: the second starts from the unrotated backup.
    const auto pic = placedPicture("blue.png", Qt::blue, {0, 0});
    platform::ImgxImage expected;
    expected.importImage(*pic->mImgXPicture, platform::kNoUndo);
    expected.rotate(60, 0, 0, false, platform::kNoUndo);
    // Enter turns as the right button does, by what the box shows once put right.
    testsupport::typeInto(dlg.txtAngle, "30abc");
    QTest::mouseClick(dlg.cmdRotateRight, Qt::LeftButton);
    EXPECT_EQ(dlg.txtAngle->text(), "30");
    testsupport::typeInto(dlg.txtAngle, "30");
    QTest::keyClick(dlg.txtAngle, Qt::Key_Return);
    EXPECT_EQ(pic->mDblAngle, 60);
    EXPECT_EQ(pic->mImgXPicture->qimage().size(), expected.qimage().size());
    ASSERT_EQ(entries(), 3);
    for (int i : {2, 3}) {
        const auto e = std::static_pointer_cast<clsOtherUndo>(gObjUndos()->colUndos.value(QString::number(i)));
        EXPECT_EQ(e->mstrText, "Drehen 30°");
        EXPECT_EQ(std::get<double>(e->mVarParameter), i == 2 ? 0 : 30);
    }
    // Back and forth: a picture stays marked rotated, a text no longer is.
    testsupport::typeInto(dlg.txtAngle, "60");
    QTest::mouseClick(dlg.cmdRotateLeft, Qt::LeftButton);
    EXPECT_EQ(pic->mDblAngle, 0);
    EXPECT_TRUE(pic->mBoolIsRotated);
    addText(0);
    const auto text = focused();
    ed.cmdRotateRight->setEnabled(true);
    ed.cmdRotateLeft->setEnabled(true);
    ed.cmdRotateRight->click();
    EXPECT_TRUE(text->mBoolIsRotated);
    ed.cmdRotateLeft->click();
    EXPECT_EQ(text->mDblAngle, 0);
    EXPECT_FALSE(text->mBoolIsRotated);
    // 0 does nothing.
    const int before = entries();
    frmRotate::doRotate(0);
    EXPECT_EQ(entries(), before);

    // A picture that cannot be turned: reported, and nothing changes.
    model().mStrFocusedObjectIndex = pic->mstrIndex;
    pic->mBoolIsRotated = false;
    pic->mDblAngle = 0;
    pic->mImgXPicture = platform::ImgxImage::create();
    frmRotate::doRotate(45);
    ASSERT_FALSE(prompts().isEmpty());
    EXPECT_TRUE(prompts().back().contains("frmRotate.doRotate"));
    EXPECT_EQ(pic->mDblAngle, 0);
    EXPECT_FALSE(pic->mBoolIsRotated);
    EXPECT_EQ(entries(), before);

    // The background, with a blue corner, turned twice by 45: by 90 in all, from the unturned
    // picture.
    QImage marked = ed.igxMain->image()->qimage().copy();
    QPainter(&marked).fillRect(0, 0, marked.width() / 2, marked.height() / 2, Qt::blue);
    ed.igxMain->image()->setQImage(marked, platform::kNoUndo);
    platform::ImgxImage upright;
    upright.setQImage(marked, platform::kNoUndo);
    upright.rotate(90, 0, 0, false, platform::kNoUndo);
    click({ed.igxMain->width() - 3, ed.igxMain->height() - 3});
    ASSERT_EQ(model().mStrFocusedObjectIndex, "");
    testsupport::typeInto(dlg.txtAngle, "45");
    QTest::mouseClick(dlg.cmdRotateRight, Qt::LeftButton);
    QTest::mouseClick(dlg.cmdRotateRight, Qt::LeftButton);
    EXPECT_EQ(model().mObjBackground->mDblAngle, 90);
    EXPECT_EQ(ed.igxMain->image()->qimage(), upright.qimage());
    const double zoom = ed.igxMain->zoom();
    for (const QPoint quarter : {QPoint(1, 1), QPoint(3, 1), QPoint(1, 3), QPoint(3, 3)}) {
        const QPoint at(quarter.x() * upright.width() / 4, quarter.y() * upright.height() / 4);
        EXPECT_TRUE(near(canvasColor((QPointF(at) * zoom).toPoint()).rgb(), upright.qimage().pixel(at))) << quarter.x();
    }

    // The background, in a German locale: the word straight before the number.
    gStrDecimalSeparator = QStringLiteral(",");
    model().mStrFocusedObjectIndex.clear();
    frmRotate::doRotate(90);
    EXPECT_EQ(lastText(), "Rotate90°");
    EXPECT_EQ(lastEntry()->mstrMoveableObjectIndex, "");
    EXPECT_TRUE(model().mObjBackground->mBoolIsRotated);
    model().mStrFocusedObjectIndex = text->mstrIndex;
    dlg.txtAngle->setText("22,5");
    dlg.cmdRotateRight->click();
    EXPECT_EQ(text->mDblAngle, 22.5);
    EXPECT_EQ(lastText(), "Drehen 22,5°");

    // The toolbar and the popup each open the dialog over the editor, once.
    ed.cmdRotate->setEnabled(true);
    ed.cmdRotate->click();
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0], "frmRotate");
    popups->choices = {"mnuPopupRotate"};
    click({text->X() + text->W() / 2, text->Y() + text->H() / 2}, Qt::RightButton);
    EXPECT_EQ(dialogs->shown, (std::vector<QString>{"frmRotate", "frmRotate"}));
}

TEST_F(EditorMenusTest, TheUndoOverviewListsTheStackAndOutlivesTheEditor)
{
    frmGrafik &ed = open();
    ed.cmdUndoOverview->click();
    frmUndoOverview *overview = frmUndoOverview::instance();
    ASSERT_TRUE(overview);
    EXPECT_FALSE(overview->parentWidget());
    EXPECT_TRUE(overview->lines().isEmpty());
    EXPECT_EQ(overview->windowTitle(), "Undo overview");
    EXPECT_EQ(overview->lblUndos->text(), "KIND - TEXT - STEP - OBJECT - [parameter]");
    EXPECT_EQ(overview->cmdRefresh->text(), "Refresh");

    const auto pic = placedPicture("blue.png", Qt::blue, {0, 0});
    const QString k = pic->mstrIndex;
    ed.doSharpen(25);
    frmRotate::doRotate(90);
    addText(0);
    const QString t = focused()->mstrIndex;
    gObjUndos()->addOtherUndo(t, clsOtherUndo::EditText, QStringLiteral("AUTO"), clsCanvasObjectPtr(focused()));
    overview->cmdRefresh->click();
    EXPECT_EQ(overview->lines(), QStringList({"Other - Insert - 1 - " + k + " - NONE", "Imgx - Sharpen - 2 - " + k,
                                              "Other - Drehen 90° - 3 - " + k + " - 0",
                                              "Other - Edit Text - 4 - " + t + " - clsTextObject"}));
    // Clicking a line lists the stack anew.
    ed.mnuUndo_Click();
    QTest::mouseClick(overview->lstOverview->viewport(), Qt::LeftButton, {},
                      overview->lstOverview->visualItemRect(overview->lstOverview->item(0)).center());
    QApplication::processEvents();
    EXPECT_EQ(overview->lines().size(), 3);

    // Sixteen entries at most, keyed 1 to 16.
    model().mStrFocusedObjectIndex = k;
    for (int i = 0; i < 20; ++i)
        ed.doSoften(25);
    overview->fillUndoList();
    ASSERT_EQ(overview->lines().size(), 16);
    EXPECT_TRUE(overview->lines().back().startsWith("Imgx - Soften - 16 - "));

    delete editor.data();
    ASSERT_EQ(frmUndoOverview::instance(), overview);
    overview->cmdRefresh->click();
    EXPECT_TRUE(overview->lines().isEmpty());

    // In German every text of it and of the button that opens it is German.
    delete overview;
    setLanguage(path("language/Deutsch.dll"));
    frmGrafik &german = open();
    EXPECT_EQ(german.cmdUndoOverview->text(), "Verlauf");
    german.cmdUndoOverview->click();
    overview = frmUndoOverview::instance();
    ASSERT_TRUE(overview);
    EXPECT_EQ(overview->windowTitle(), QString::fromUtf8("Rückgängig-Übersicht"));
    EXPECT_EQ(overview->lblUndos->text(), "ART - TEXT - SCHRITT - OBJEKT - [Parameter]");
    EXPECT_EQ(overview->cmdRefresh->text(), "Aktualisieren");
}

TEST_F(EditorMenusTest, UndoingAnEffectKeepsTheTurnMadeBeforeIt)
{
    frmGrafik &ed = open();
    model().mStrFocusedObjectIndex.clear();
    ed.doNegativ();
    frmRotate::doRotate(30);
    const QSize turned = ed.igxMain->image()->qimage().size();
    ed.doFlip(1);
    ed.mnuUndo_Click();
    EXPECT_EQ(ed.igxMain->image()->qimage().size(), turned);
    EXPECT_TRUE(near(canvasCentre(), Qt::cyan));

    const auto pic = placedPicture("blue.png", Qt::blue, {0, 0});
    ed.doNegativ();
    frmRotate::doRotate(30);
    const QSize picTurned = pic->mImgXPicture->qimage().size();
    ed.doGrayscale();
    ed.mnuUndo_Click();
    EXPECT_EQ(pic->mImgXPicture->qimage().size(), picTurned);
}
