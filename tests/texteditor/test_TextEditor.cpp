#include "TextEditorTestSupport.h"

#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QUrl>

using texteditortest::TextEditorTest;

namespace {

std::shared_ptr<clsTextObject> textObject(const QString &text)
{
    auto t = std::make_shared<clsTextObject>();
    t->mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
    t->setFontSize(20);
    t->mstrText = text;
    return t;
}

const clsOtherUndo &lastUndo()
{
    auto &u = *gObjUndos();
    return static_cast<const clsOtherUndo &>(*u.colUndos.value(QString::number(u.mintUndoIndex)));
}

// A second copy of an installed font under another foundry, so that the font database offers
// one family from two foundries ("DejaVu Sans Mono [PfEd]", "DejaVu Sans Mono [ZZZZ]"). Returns
// the application font's id.
int addSecondFoundry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QByteArray font = file.readAll();
    const auto big16 = [&](qsizetype at) { return (uchar(font[at]) << 8) | uchar(font[at + 1]); };
    const auto big32 = [&](qsizetype at) { return quint32(big16(at)) << 16 | quint32(big16(at + 2)); };
    const int tables = big16(4);
    for (int i = 0; i < tables; ++i) {
        const qsizetype record = 12 + 16 * i;
        if (font.mid(record, 4) == "OS/2")
            font.replace(qsizetype(big32(record + 8)) + 58, 4, "ZZZZ"); // the vendor's id
    }
    return QFontDatabase::addApplicationFontFromData(font);
}

bool hasColor(const QImage &img, const std::function<bool(QRgb)> &test)
{
    const QImage a = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qAlpha(a.pixel(x, y)) == 255 && test(a.pixel(x, y)))
                return true;
    return false;
}

} // namespace

TEST_F(TextEditorTest, EveryOpeningStartsFromTheDefaults)
{
    const int secondFoundry = addSecondFoundry("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    ASSERT_GE(secondFoundry, 0);
    ASSERT_TRUE(QFontDatabase::families().contains("DejaVu Sans Mono [ZZZZ]"));
    for (int round = 0; round < 2; ++round) {
        auto f = open(true);
        EXPECT_EQ(f->txtAngel->text(), "0");
        EXPECT_EQ(f->txtCharSpace->text(), "0");
        EXPECT_EQ(f->cboSize->count(), 30);
        EXPECT_EQ(f->cboSize->currentText(), "14");
        EXPECT_EQ(f->fontSizeChosen(), 14);
        EXPECT_EQ(f->cboAntiAlias->currentIndex(), 0);
        EXPECT_EQ(f->cboEffects->currentIndex(), -1);
        EXPECT_EQ(f->cboEffects->itemText(1), "Gradient");
        EXPECT_EQ(gStrEffectNames().size(), 4);
        // The font list names each of the database's families once, without its foundry.
        QStringList listed;
        for (int i = 0; i < f->cboFont->count(); ++i)
            listed << f->cboFont->itemText(i);
        EXPECT_EQ(listed.count("DejaVu Sans Mono"), 1);
        EXPECT_EQ(listed.filter(" [").size(), 0) << listed.join(", ").toStdString();
        EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
        EXPECT_GE(listed.size(), QFontDatabase::families().size() - 1);
        // A new text is "Arial". The suite has no such family: the list shows the one the
        // system draws it in, its metric twin, while the text keeps its name.
        ASSERT_FALSE(QFontDatabase::families().contains("Arial"));
        EXPECT_EQ(f->cboFont->currentText(), "Liberation Sans");
        EXPECT_EQ(f->txtText->font().family(), "Arial");
        EXPECT_EQ(QFontInfo(f->txtText->font()).family(), "Liberation Sans");
        EXPECT_EQ(f->txtText->font().pointSizeF(), 14);
        const clsTextShadow &s = *gObjTextShadow();
        EXPECT_EQ(s.mLngX, 10);
        EXPECT_EQ(s.mByteOpacitiy, 170);
        EXPECT_EQ(s.mDblBlurLevel, 100.0);
        EXPECT_FALSE(s.mBoolIsActive);
        const clsTextGradient &g = *gObjTextGradient();
        EXPECT_EQ(g.mlngColor1, 0xFFFFFF);
        EXPECT_EQ(g.mObjPointEnd->mLngX, 255);
        EXPECT_FALSE(g.mBoolIsActive);
        EXPECT_NE(gObjTextGradient()->mObjPointEnd, gObjDefaultTextGradient->mObjPointEnd);
        EXPECT_TRUE(f->cmdColor->isEnabled());
        // Changes that a cancelled opening leaves behind.
        gObjTextShadow()->mBoolIsActive = true;
        gObjTextGradient()->mBoolIsActive = true;
        f->txtAngel->setText("45");
        f->cboSize->setCurrentIndex(0);
        f->cmdCancel->click();
        EXPECT_EQ(f->result(), QDialog::Rejected);
    }
    EXPECT_TRUE(gObjUndos()->colUndos.count() == 0);
    EXPECT_EQ(gObjMoveableObjects()->colMoveableObjects.count(), 0);
    QFontDatabase::removeApplicationFont(secondFoundry);
}

TEST_F(TextEditorTest, EditingLoadsTheObjectIntoTheControls)
{
    auto t = textObject("Side A\r\nSide B");
    t->mDblAngle = 370;
    t->setFontSize(11.6);
    t->mlngColor = 0xFFFFFF;
    t->mbyteAlignment = 1;
    t->mLngCharSpace = -3;
    t->mdblAntiAlias = 5;
    t->mObjTextShadow->mBoolIsActive = true;
    t->mObjTextShadow->mLngX = -4;
    t->mfntFont.setFamily("No Such Font");
    gObjTextObject = t;
    {
        auto f = open(false);
        EXPECT_EQ(f->txtText->text(), "Side A\r\nSide B");
        EXPECT_EQ(f->txtAngel->text(), "10");
        EXPECT_EQ(f->updAngle->value(), 350);
        EXPECT_EQ(f->txtCharSpace->text(), "-3");
        EXPECT_EQ(f->cboSize->currentText(), "12");
        EXPECT_EQ(f->cboSize->count(), 30);
        EXPECT_EQ(f->fontSizeChosen(), 12);
        EXPECT_EQ(f->cboAntiAlias->currentIndex(), 3);
        EXPECT_EQ(f->txtText->alignment(), 2);
        // An unknown font shows the family it is drawn in.
        EXPECT_EQ(f->cboFont->currentText(), QFontInfo(QFont("No Such Font")).family());
        EXPECT_EQ(f->txtText->font().family(), "No Such Font");
        EXPECT_EQ(gObjTextShadow()->mLngX, -4);
        EXPECT_TRUE(gObjTextShadow()->mBoolIsActive);
        // White text: black behind the edit box and the preview.
        EXPECT_EQ(f->txtText->backColor(), 0u);
        EXPECT_EQ(f->igxPreview->backColor(), QColor(Qt::black));
        ASSERT_TRUE(gObjTextObjectBefore);
        EXPECT_NE(gObjTextObjectBefore, t);
        EXPECT_EQ(gObjTextObjectBefore->mstrText, t->mstrText);
        EXPECT_EQ(gObjTextObjectBefore->fontSize(), 11.6);
        f->cmdCancel->click();
    }
    EXPECT_FALSE(gObjTextObjectBefore);
    EXPECT_EQ(t->mDblAngle, 370);

    t->mDblAngle = 725.5;
    t->setFontSize(33.25);
    t->mlngColor = 0x00FF00;
    t->mfntFont.setFamily("DejaVu Sans");
    auto f = open(false);
    EXPECT_EQ(f->txtAngel->text(), "6");
    EXPECT_EQ(f->cboSize->count(), 31);
    EXPECT_EQ(f->cboSize->currentText(), "33.25");
    EXPECT_EQ(f->fontSizeChosen(), 33.25);
    EXPECT_EQ(f->cboFont->currentText(), "DejaVu Sans");
    EXPECT_EQ(f->txtText->backColor(), 0xFFFFFFu);
    f->cmdCancel->click();

    t->mDblAngle = -30;
    t->setFontSize(6);
    f = open(false);
    EXPECT_EQ(f->txtAngel->text(), "0");
    EXPECT_EQ(f->cboSize->currentIndex(), 0);
    EXPECT_EQ(f->cboSize->count(), 30);
}

TEST_F(TextEditorTest, OkAddsANewTextWithOneUndoStep)
{
    auto f = open(true);
    // Spaces only: the dialog stays open and nothing is written.
    f->txtText->setText("   ");
    f->cmdOK->click();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(gObjMoveableObjects()->colMoveableObjects.count(), 0);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 0);

    // Clicked into and typed in, the text keeps the font's name while the list shows its twin.
    testsupport::showActive(f.get());
    f->txtText->clear();
    QTest::mouseClick(f->txtText->viewport(), Qt::LeftButton);
    QTest::keyClicks(f->txtText->viewport(), "Best of");
    EXPECT_EQ(f->cboFont->currentText(), "Liberation Sans");
    f->txtText->setText("Best of\r\nSummer");
    f->cboSize->setCurrentIndex(f->cboSize->findText("20"));
    f->cmdBold->click();
    f->cmdAlignRight->click();
    f->txtAngel->setText("90");
    f->txtCharSpace->setText("2");
    f->cboAntiAlias->setCurrentIndex(4);
    gObjTextShadow()->mBoolIsActive = true;
    f->cmdOK->click();
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_FALSE(f->isVisible());

    auto &model = *gObjMoveableObjects();
    ASSERT_EQ(model.colMoveableObjects.count(), 1);
    const auto o = std::static_pointer_cast<clsTextObject>(model.object(model.mStrFocusedObjectIndex));
    ASSERT_TRUE(o);
    EXPECT_EQ(o->mstrText, "Best of\r\nSummer");
    EXPECT_EQ(o->fontSize(), 20);
    EXPECT_EQ(o->mfntFont.family(), "Arial");
    EXPECT_TRUE(o->mfntFont.bold());
    EXPECT_EQ(o->mbyteAlignment, 2);
    EXPECT_EQ(o->mDblAngle, 90);
    EXPECT_EQ(o->mLngCharSpace, 2);
    EXPECT_EQ(o->mdblAntiAlias, 9);
    EXPECT_TRUE(o->mObjTextShadow->mBoolIsActive);
    EXPECT_NE(o->mObjTextShadow, gObjTextShadow());
    EXPECT_TRUE(o->mBoolIsRotated);
    // Rendered: the picture turned on its side, two lines high now wide.
    ASSERT_FALSE(o->mImgXPicture->isEmpty());
    EXPECT_GT(o->mImgXPicture->height(), o->mImgXPicture->width());
    EXPECT_EQ(gObjTextObject->mLngOriginalWidth, gObjTextObject->mImgXPicture->width());
    // The picture is drawn at the canvas zoom before the commit; nothing is drawn after it.
    EXPECT_EQ(adaptCalls, 0);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 1);
    EXPECT_EQ(lastUndo().mstrMoveableObjectIndex, model.mStrFocusedObjectIndex);
    EXPECT_EQ(lastUndo().mstrText, "Insert");
    EXPECT_EQ(std::get<QString>(lastUndo().mVarParameter), "NONE");

    // Line breaks only are a text.
    f = open(true);
    f->txtText->setText("\r\n\r\n");
    f->cmdOK->click();
    EXPECT_EQ(model.colMoveableObjects.count(), 2);

    // At half zoom the text goes onto the canvas drawn at half its size, the picture drawn
    // before the commit.
    gDblZoomFactor = 0.5;
    f = open(true);
    QTest::keyClicks(f->txtText, "Half");
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    ASSERT_EQ(model.colMoveableObjects.count(), 3);
    const auto half = model.object(model.mStrFocusedObjectIndex);
    EXPECT_NEAR(half->W(), gObjTextObject->mLngOriginalWidth / 2.0, 2);
    EXPECT_EQ(adaptCalls, 0);
}

TEST_F(TextEditorTest, ATextTooLargeToDrawStaysInTheEditorAndOneLineLessIsAdded)
{
    auto f = open(true);
    testsupport::showActive(f.get());
    // As many lines as a picture 16384 pixels high holds in the editor's font, and one more.
    const auto st = clsTextObject::textStyle(f->txtText->font(), f->cboSize->currentText().toDouble(), 100, 0, 0, 1);
    const auto linesOf = [](int n) {
        QStringList lines;
        for (int i = 1; i <= n; ++i)
            lines << QStringLiteral("Track %1").arg(i);
        return lines.join("\r\n");
    };
    const auto heightOf = [&](int n) { return platform::imaging::measureText(st, linesOf(n)).height(); };
    int over = 1 + int((platform::kMaxImageSide - heightOf(1)) / (heightOf(2) - heightOf(1)));
    while (heightOf(over) <= platform::kMaxImageSide)
        ++over;
    while (heightOf(over - 1) > platform::kMaxImageSide)
        --over;

    QApplication::clipboard()->setText(linesOf(over));
    f->txtText->setFocus();
    QTest::keyClick(f->txtText, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.startsWith("The text is too large to be drawn"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->txtText->isEnabled());
    EXPECT_EQ(f->txtText->text(), linesOf(over));
    auto &model = *gObjMoveableObjects();
    EXPECT_EQ(model.colMoveableObjects.count(), 0);
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 0);

    // The last line taken away with the keys: the text fits and goes onto the canvas.
    QTest::keyClick(f->txtText, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(f->txtText, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(f->txtText, Qt::Key_Backspace);
    QTest::keyClick(f->txtText, Qt::Key_Backspace);
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    EXPECT_EQ(f->result(), QDialog::Accepted);
    ASSERT_EQ(model.colMoveableObjects.count(), 1);
    const auto o = model.object(model.mStrFocusedObjectIndex);
    EXPECT_EQ(o->H(), heightOf(over - 1));
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 1);
    EXPECT_EQ(prompter->shown.size(), 1u);

    // A letter with more combining marks than a text may carry on one character: the preview
    // stays empty without a message while it is typed, OK tells it once and keeps the text.
    // One mark less is drawn and added.
    prompter->shown.clear();
    f = open(true);
    testsupport::showActive(f.get());
    const auto preview = [&] { return f->igxPreview->image()->qimage(); };
    const QString marked = "e" + QString(platform::imaging::kMaxCombiningMarks, QChar(0x301));
    const auto type = [&](const QString &typed) {
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, f->txtText, Qt::Key_unknown, QString(c), Qt::NoModifier);
    };
    f->txtText->setFocus();
    type(marked);
    EXPECT_FALSE(ink(preview()).isEmpty());
    type(QString(QChar(0x301)));
    EXPECT_EQ(f->txtText->text(), marked + QChar(0x301));
    EXPECT_TRUE(ink(preview()).isEmpty());
    EXPECT_TRUE(prompter->shown.empty());
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.startsWith("The text cannot be drawn: a letter of it carries more than 64 "
                                                     "accents"))
        << prompter->shown[0].prompt.toStdString();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(model.colMoveableObjects.count(), 1);
    QTest::keyClick(f->txtText, Qt::Key_Backspace);
    EXPECT_EQ(f->txtText->text(), marked);
    EXPECT_FALSE(ink(preview()).isEmpty());
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_EQ(model.colMoveableObjects.count(), 2);
    EXPECT_EQ(prompter->shown.size(), 1u);

    // A line of more characters than a text may have: the preview draws its first 250 as for
    // any text; OK refuses it, naming that bound and no other.
    prompter->shown.clear();
    f = open(true);
    testsupport::showActive(f.get());
    QApplication::clipboard()->setText(QString(platform::imaging::kMaxTextCharacters + 1, u'x'));
    f->txtText->setFocus();
    QTest::keyClick(f->txtText, Qt::Key_V, Qt::ControlModifier);
    EXPECT_FALSE(ink(preview()).isEmpty());
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompter->shown.size(), 1u);
    const QString told = prompter->shown[0].prompt;
    EXPECT_TRUE(told.startsWith("The text is too long to be drawn: it has more than " +
                                QString::number(platform::imaging::kMaxTextCharacters) + " characters"))
        << told.toStdString();
    for (const qint64 bound : {qint64(platform::kMaxImageSide), platform::kMaxImagePixels >> 20,
                               qint64(platform::imaging::kMaxCombiningMarks)})
        EXPECT_FALSE(told.contains(QString::number(bound))) << told.toStdString();
    EXPECT_FALSE(told.contains(u'@')) << told.toStdString();
    EXPECT_TRUE(f->isVisible());
    f.reset();

    // A text stretched as far as a text goes, 25 lines of it at 72 points: its picture would be
    // far past the picture limits, and its glyphs too much to fill. The preview stays empty and
    // says nothing at any key; OK tells which bound the text met.
    prompter->shown.clear();
    QStringList lines;
    for (int i = 1; i <= 25; ++i)
        lines << QStringLiteral("Track %1").arg(i);
    auto stretched = textObject(lines.join("\r\n"));
    stretched->setFontSize(72);
    stretched->mSnglWidthInPercent = 100000;
    gObjTextObject = stretched;
    f = open(false);
    testsupport::showActive(f.get());
    EXPECT_EQ(f->cboSize->currentText(), "72");
    EXPECT_TRUE(ink(preview()).isEmpty());
    f->txtText->setFocus();
    QTest::keyClick(f->txtText, Qt::Key_End, Qt::ControlModifier);
    type("9");
    QTest::keyClick(f->txtText, Qt::Key_Backspace);
    type("x");
    EXPECT_TRUE(ink(preview()).isEmpty());
    EXPECT_TRUE(prompter->shown.empty());
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    ASSERT_EQ(prompter->shown.size(), 1u);
    EXPECT_TRUE(prompter->shown[0].prompt.startsWith("The text is too large to be drawn: its picture would have"))
        << prompter->shown[0].prompt.toStdString();
    EXPECT_TRUE(f->isVisible());
}

TEST_F(TextEditorTest, OkOfAnEditRecordsTheObjectAsItWas)
{
    auto &model = *gObjMoveableObjects();
    auto old = textObject("Old");
    old->mfntFont.setFamily("Arial");
    model.AddClsTextObject(*old);
    const auto key = model.mStrFocusedObjectIndex;
    auto onCanvas = std::static_pointer_cast<clsTextObject>(model.object(key));
    gObjTextObject = onCanvas;

    auto f = open(false);
    EXPECT_EQ(f->cboFont->currentText(), "Liberation Sans");
    f->txtText->setText("New");
    f->cmdItalic->click();
    f->cmdOK->click();
    EXPECT_EQ(onCanvas->mstrText, "New");
    EXPECT_EQ(onCanvas->mfntFont.family(), "Arial") << "the name stays unless another font is chosen";
    EXPECT_TRUE(onCanvas->mfntFont.italic());
    EXPECT_EQ(onCanvas->fontSize(), 20);
    EXPECT_EQ(model.colMoveableObjects.count(), 1);
    ASSERT_EQ(gObjUndos()->mintUndoIndex, 1);
    EXPECT_EQ(lastUndo().mstrText, "Edit Text");
    const auto before = std::dynamic_pointer_cast<clsTextObject>(std::get<clsCanvasObjectPtr>(lastUndo().mVarParameter));
    ASSERT_TRUE(before);
    EXPECT_EQ(before->mstrText, "Old");
    EXPECT_FALSE(before->mfntFont.italic());
    EXPECT_FALSE(gObjTextObjectBefore);

    // The next opening makes a new before-copy; the undo entry's stays as it was.
    f = open(false);
    ASSERT_TRUE(gObjTextObjectBefore);
    EXPECT_NE(gObjTextObjectBefore, before);
    f->txtText->setText("Newer");
    f->cmdCancel->click();
    EXPECT_EQ(before->mstrText, "Old");
    EXPECT_EQ(onCanvas->mstrText, "New");
    EXPECT_EQ(gObjUndos()->mintUndoIndex, 1);

    // Another font chosen from the list is the text's font.
    f = open(false);
    testsupport::showActive(f.get());
    f->cboFont->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f->cboFont, Qt::Key_Down);
    const QString chosen = f->cboFont->currentText();
    ASSERT_NE(chosen, "Liberation Sans");
    f->cmdOK->click();
    EXPECT_EQ(onCanvas->mfntFont.family(), chosen);
}

TEST_F(TextEditorTest, AngleAndSpacingBoxesStayInRange)
{
    auto f = open(true);
    testsupport::showActive(f.get());
    // Typed and left (Tab or Enter), the boxes show the whole number taken within their
    // ranges, 0 for what is no number; the spinners follow.
    const std::pair<const char *, const char *> angles[] = {
        {"400", "360"}, {"-5", "0"}, {"1e999", "0"}, {"--5", "0"}, {"", "0"},
        {".", "0"},     {"-", "0"},  {"123456789012", "360"},       {"45.5", "46"}};
    for (const auto &[typed, shown] : angles) {
        testsupport::typeInto(f->txtAngel, QString::fromLatin1(typed));
        testsupport::leaveByTab(f->txtAngel);
        EXPECT_EQ(f->txtAngel->text(), shown) << typed;
        EXPECT_EQ(f->updAngle->value(), 360 - f->txtAngel->text().toInt()) << typed;
    }
    EXPECT_EQ(f->updAngle->value(), 314);
    // A digit of another script is no number either.
    testsupport::typeInto(f->txtAngel, "");
    QTest::sendKeyEvent(QTest::Click, f->txtAngel, Qt::Key_unknown, QString::fromUtf8("\u0663"), Qt::NoModifier);
    QTest::keyClick(f->txtAngel, Qt::Key_Return);
    EXPECT_EQ(f->txtAngel->text(), "0");
    const std::pair<const char *, const char *> spaces[] = {
        {"12", "10"}, {"-12", "-10"}, {"abc", "0"}, {"1e999", "0"}, {"-", "0"}, {"999999999999", "10"}, {"2.5", "2"},
        {"-7", "-7"}};
    for (const auto &[typed, shown] : spaces) {
        testsupport::typeInto(f->txtCharSpace, QString::fromLatin1(typed));
        QTest::keyClick(f->txtCharSpace, Qt::Key_Return);
        EXPECT_EQ(f->txtCharSpace->text(), shown) << typed;
        EXPECT_EQ(f->updCharSpace->value(), 10 - f->txtCharSpace->text().toInt()) << typed;
    }
    // The upper arrow raises the number shown.
    testsupport::typeInto(f->txtAngel, "0");
    testsupport::typeInto(f->txtCharSpace, "0");
    f->updAngle->triggerAction(QAbstractSlider::SliderSingleStepSub);
    f->updCharSpace->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(f->txtAngel->text(), "1");
    EXPECT_EQ(f->txtCharSpace->text(), "1");
    f->updAngle->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(f->txtAngel->text(), "360");

    // Typed one key at a time, a number on its way stays as typed: "-" on the way to "-45"
    // (taken as 0, the lowest angle) and "-" on the way to "-3", and "-32" is taken as -10.
    testsupport::typeInto(f->txtAngel, "-");
    EXPECT_EQ(f->txtAngel->text(), "-");
    EXPECT_EQ(f->updAngle->value(), 0);
    QTest::keyClicks(f->txtAngel, "45");
    EXPECT_EQ(f->txtAngel->text(), "-45");
    EXPECT_EQ(f->updAngle->value(), 360);
    testsupport::typeInto(f->txtCharSpace, "-");
    EXPECT_EQ(f->txtCharSpace->text(), "-");
    QTest::keyClicks(f->txtCharSpace, "3");
    EXPECT_EQ(f->txtCharSpace->text(), "-3");
    EXPECT_EQ(f->updCharSpace->value(), 13);
    QTest::keyClicks(f->txtCharSpace, "2");
    EXPECT_EQ(f->txtCharSpace->text(), "-32");
    EXPECT_EQ(f->updCharSpace->value(), 20);
    testsupport::leaveByTab(f->txtCharSpace);
    EXPECT_EQ(f->txtCharSpace->text(), "-10");
    // What is committed is what the boxes show once put right, a spacing still being typed too.
    f->txtText->setFocus();
    QTest::keyClicks(f->txtText, "x");
    testsupport::typeInto(f->txtCharSpace, "-");
    QTest::mouseClick(f->cmdOK, Qt::LeftButton);
    EXPECT_EQ(f->result(), QDialog::Accepted);
    EXPECT_EQ(f->txtAngel->text(), "0");
    EXPECT_EQ(f->txtCharSpace->text(), "0");
    EXPECT_EQ(gObjTextObject->mDblAngle, 0);
    EXPECT_EQ(gObjTextObject->mLngCharSpace, 0);
}

TEST_F(TextEditorTest, PreviewDrawsTheTextAsTheControlsSayIt)
{
    auto f = open(true);
    const int pw = f->previewPixelSize().width();
    const auto preview = [&] { return f->igxPreview->image()->qimage(); };
    EXPECT_EQ(f->igxPreview->image()->width(), pw);
    EXPECT_TRUE(ink(preview()).isEmpty());
    f->txtText->setText("   ");
    EXPECT_TRUE(ink(preview()).isEmpty());

    f->txtText->setText("Tracks");
    const QRect left = ink(preview());
    ASSERT_FALSE(left.isEmpty());
    EXPECT_LE(left.left(), 2);
    EXPECT_LE(left.top(), 8);
    f->cmdAlignCenter->click();
    const QRect centre = ink(preview());
    f->cmdAlignRight->click();
    const QRect right = ink(preview());
    // Centre and right leave a fifth of the text's width at the right for slanted letters.
    EXPECT_NEAR(centre.center().x(), (pw - 0.2 * left.width()) / 2.0, 3);
    EXPECT_NEAR(right.right(), pw - 0.2 * left.width(), 4);

    // Only the first 250 characters are drawn, and never half of a character.
    f->cmdAlignLeft->click();
    f->cboSize->setCurrentIndex(0);
    const QString x250(250, u'x');
    f->txtText->setText(x250);
    const QImage cut = preview();
    f->txtText->setText(x250 + QString(50, u'W'));
    EXPECT_EQ(preview(), cut);
    const QString a249(249, u'i');
    f->txtText->setText(a249);
    const QImage short249 = preview();
    f->txtText->setText(a249 + QString::fromUtf8("\xF0\x9F\x8E\xB5") + "WWW");
    EXPECT_EQ(preview(), short249);

    // Unchecked: no drawing, and the window gives back the preview's room, OK and Cancel whole.
    const int height = f->height();
    QTest::mouseClick(f->chkAutoPreview, Qt::LeftButton);
    EXPECT_FALSE(f->chkAutoPreview->isChecked());
    EXPECT_LT(f->height(), height);
    EXPECT_LT(f->cmdOK->geometry().bottom(), f->height());
    EXPECT_LT(f->cmdCancel->geometry().bottom(), f->height());
    EXPECT_FALSE(f->lblPreview->isVisible());
    f->txtText->setText("Tracks");
    EXPECT_TRUE(ink(preview()).isEmpty());
    QTest::mouseClick(f->chkAutoPreview, Qt::LeftButton);
    EXPECT_EQ(f->height(), height);
    EXPECT_FALSE(ink(preview()).isEmpty());
    // An angle does not turn the preview.
    const QImage flat = preview();
    f->txtAngel->setText("45");
    EXPECT_EQ(preview(), flat);
}

TEST_F(TextEditorTest, PreviewShowsTheWorkingEffectsAndWaitsForTheTimerWhileOneIsActive)
{
    auto f = open(true);
    f->cboSize->setCurrentIndex(f->cboSize->findText("36"));
    f->txtText->setFocus();
    QTest::keyClicks(f->txtText, "Hi");
    ASSERT_EQ(f->txtText->text(), "Hi");
    const QRect plain = ink(f->igxPreview->image()->qimage());

    // Shadow: red, down and right of the text, on the next timer tick only.
    clsTextShadow &s = *gObjTextShadow();
    s.mBoolIsActive = true;
    s.mlngColor = 0x0000FF;
    s.mByteOpacitiy = 255;
    s.mDblBlurLevel = 0;
    const auto shown = f->igxPreview->image();
    QTest::keyClick(f->txtText, Qt::Key_I);
    EXPECT_EQ(f->igxPreview->image(), shown);
    EXPECT_TRUE(f->previewPending());
    f->timerMaxPreview_Timer();
    EXPECT_FALSE(f->previewPending());
    const QImage shadowed = f->igxPreview->image()->qimage();
    const QRect withShadow = ink(shadowed);
    EXPECT_GE(withShadow.right(), plain.right() + 8);
    EXPECT_GE(withShadow.bottom(), plain.bottom() + 8);
    EXPECT_TRUE(hasColor(shadowed, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }));
    f->timerMaxPreview_Timer();
    EXPECT_EQ(f->igxPreview->image()->qimage(), shadowed);
    // The list buttons draw at once, shadow or not; pressed twice the text is as it was.
    for (ButtonPlus *list : {f->cmdListe, f->cmdCountList}) {
        QTest::mouseClick(list, Qt::LeftButton);
        const QImage listed = f->igxPreview->image()->qimage();
        EXPECT_NE(listed, shadowed);
        f->doPreview();
        EXPECT_EQ(f->igxPreview->image()->qimage(), listed);
        QTest::mouseClick(list, Qt::LeftButton);
        EXPECT_EQ(f->igxPreview->image()->qimage(), shadowed);
    }

    // Gradient instead: the letters run from blue to green, no black pen colour.
    s.mBoolIsActive = false;
    clsTextGradient &g = *gObjTextGradient();
    g.mBoolIsActive = true;
    g.mlngColor1 = 0xFF0000;
    g.mlngColor2 = 0x00FF00;
    f->doPreview();
    const QImage filled = f->igxPreview->image()->qimage();
    EXPECT_TRUE(hasColor(filled, [](QRgb p) { return qBlue(p) > 120 && qRed(p) < 60; }));
    EXPECT_FALSE(hasColor(filled, [](QRgb p) { return qRed(p) < 30 && qGreen(p) < 30 && qBlue(p) < 30; }));

    // No effect: every key redraws.
    g.mBoolIsActive = false;
    const auto before = f->igxPreview->image();
    QTest::keyClick(f->txtText, Qt::Key_X);
    EXPECT_NE(f->igxPreview->image(), before);
    EXPECT_FALSE(f->previewPending());
}

TEST_F(TextEditorTest, ColourEffectsAndImportsReachTheirDialogs)
{
    auto f = open(true);
    choosers->colors = {0xFFFFFF, std::nullopt, 0x0000FF};
    f->cmdColor->click();
    EXPECT_EQ(f->txtText->textColor(), 0xFFFFFFu);
    EXPECT_EQ(f->txtText->backColor(), 0u);
    EXPECT_EQ(f->igxPreview->backColor(), QColor(Qt::black));
    f->cmdColor->click();  // cancelled: stays white
    EXPECT_EQ(f->txtText->textColor(), 0xFFFFFFu);
    f->cmdColor->click();
    EXPECT_EQ(f->txtText->backColor(), 0xFFFFFFu);

    // The gradient dialog turns the gradient on, then off; the same entry opens it again.
    seams->action = [](const QString &call, texteditor::TextEditorHost &) {
        if (call == "gradient")
            gObjTextGradient()->mBoolIsActive = !gObjTextGradient()->mBoolIsActive;
    };
    emit f->cboEffects->activated(1);
    EXPECT_FALSE(f->cmdColor->isEnabled());
    emit f->cboEffects->activated(1);
    EXPECT_TRUE(f->cmdColor->isEnabled());
    emit f->cboEffects->activated(0);
    EXPECT_EQ(seams->calls, QStringList({"gradient", "gradient", "shadow"}));

    // Imports: the buttons, a dropped file (the first one), the CD wizard with its preview flag.
    seams->calls.clear();
    f->txtText->setText("Live");
    seams->action = [](const QString &call, texteditor::TextEditorHost &e) {
        if (call != "cddb")
            return;
        EXPECT_FALSE(e.previewEnabled());
        e.setText(e.text() + "\r\n1. Intro");
    };
    f->cmdListMP3->click();
    f->cmdListM3U->click();
    f->cmdListFiles->click();
    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(path("a.txt")), QUrl::fromLocalFile(path("b.txt"))});
    QApplication::clipboard()->setMimeData(mime);
    f->txtText->paste();
    const auto shown = f->igxPreview->image();
    f->cmdCDDB->click();
    EXPECT_EQ(seams->calls, QStringList({"mp3", "m3u", "files", "drop:" + path("a.txt"), "cddb"}));
    EXPECT_EQ(f->txtText->text(), "Live\r\n1. Intro");
    EXPECT_EQ(f->txtText->selStart(), 14);
    EXPECT_TRUE(f->host().previewEnabled());
    EXPECT_NE(f->igxPreview->image(), shown);
}

TEST_F(TextEditorTest, LanguageFilesCarryTheSameTextEditorKeys)
{
    const auto keys = [](const char *file) {
        QFile f(QStringLiteral(PELMORA_SOURCE_DIR "/resources/language/") + file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList found;
        QString section;
        for (const QByteArray &raw : f.readAll().split('\n')) {
            EXPECT_TRUE(raw.isEmpty() || raw.endsWith('\r')) << file;
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith('['))
                section = line;
            else if (line.contains('=') && (section == "[frmTextedit]" || line.startsWith("ERR_TEXT") || line.startsWith("MSG_TEXT") ||
                                            line.startsWith("ERR_LOADTEXTEDITOR")))
                found << section + line.section('=', 0, 0);
        }
        return found;
    };
    const QStringList en = keys("English.dll");
    EXPECT_EQ(en, keys("Deutsch.dll"));
    // Every control of the form that shows text has its caption or tooltip.
    frmTextedit f;
    for (QWidget *w : f.findChildren<QWidget *>()) {
        const QString n = w->objectName();
        if (n.startsWith("lbl") || n.startsWith("cmd") || n.startsWith("chk")) {
            EXPECT_TRUE(en.contains("[frmTextedit]" + n)) << n.toStdString();
        }
        if (n.startsWith("txt") || n.startsWith("cbo")) {
            EXPECT_TRUE(en.contains("[frmTextedit]" + n + "ToolTipText")) << n.toStdString();
        }
    }
    for (const char *k : {"ERR_LOADTEXTEDITOR", "ERR_TEXTEDIT_LOADTEXT", "ERR_TEXT_TO_EDITOR",
                          "ERR_TEXTEDIT_PREVIEW", "ERR_TEXTEDIT_LIST"})
        EXPECT_TRUE(en.contains(QStringLiteral("[ERRORS]") + k)) << k;
}
