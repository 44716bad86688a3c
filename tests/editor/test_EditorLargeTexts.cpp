// A text drawn larger on the canvas than Qt's glyph cache holds: stretched from the popup menu
// and resized by a handle, each drawn once, and looking as Qt's own fill of the glyphs does;
// a text whose glyphs would take too long to fill is refused.
#include "EditorTestSupport.h"

#include "platform/imaging/TextDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTest>

using namespace editortest;

namespace {

// The text as Qt's painter draws it (Qt fills glyphs past its glyph cache as one path a line).
QImage drawnByQtPath(const clsTextObject &o, double zoom)
{
    return testsupport::drawnByQt(clsTextObject::textStyle(o.mfntFont, o.fontSize() * zoom, o.mSnglWidthInPercent,
                                                           o.mLngCharSpace, o.mlngColor, o.mdblAntiAlias),
                                  o.mstrText);
}

class EditorLargeTexts : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        // A side as large as the canvas: the editor shows it at zoom 1.
        QImage white(631, 631, QImage::Format_RGB32);
        white.fill(Qt::white);
        igxBackup[0]->setQImage(white, platform::kNoUndo);
    }
    std::shared_ptr<clsTextObject> addTrackText(const QString &text)
    {
        clsTextObject t;
        t.mfntFont.setFamily(QStringLiteral("Liberation Sans"));
        t.setFontSize(14);
        t.mdblAntiAlias = 1;
        t.mstrText = text;
        model().AddClsTextObject(t);
        auto o = std::static_pointer_cast<clsTextObject>(focused());
        editor->adaptObjectSizeToZoom(o->mstrIndex);
        o->mObjPointMousePos->mLngX = 20;
        o->mObjPointMousePos->mLngY = 20;
        editor->igxMain->refresh();
        return o;
    }
};

TEST_F(EditorLargeTexts, AStretchAndAHandleDrawTheTextOnceAsQtFillsIt)
{
    frmGrafik &ed = open();
    ASSERT_DOUBLE_EQ(gDblZoomFactor, 1);
    auto o = addTrackText(QStringLiteral("Side\r\nA"));

    // Stretched from the popup menu across the cover: some 18-fold, past Qt's glyph cache (64
    // pixels square).
    const long before = platform::imaging::textDrawings();
    chooseInRealMenu({"mnuPopUpStretchText"}, [&] { click({o->X() + o->W() / 2, o->Y() + o->H() / 2}, Qt::RightButton); });
    EXPECT_EQ(platform::imaging::textDrawings() - before, 1);
    EXPECT_NEAR(o->W(), 631, 1);
    EXPECT_GT(o->mSnglWidthInPercent, 1300);
    // Within two levels of a channel of Qt's own fill of the glyphs.
    EXPECT_LE(testsupport::largestChannelDifference(o->mImgXPicture->qimage(), drawnByQtPath(*o, 1)), 2);

    // The bottom-right handle dragged down: the moves draw nothing, letting go draws once.
    const QPoint handle(o->X() + o->W() - 3, o->Y() + o->H() - 3);
    const long atPress = platform::imaging::textDrawings();
    QTest::mousePress(ed.igxMain, Qt::LeftButton, {}, handle);
    for (int step = 1; step <= 5; ++step)
        QTest::mouseMove(ed.igxMain, handle + QPoint(0, 40 * step));
    EXPECT_EQ(platform::imaging::textDrawings(), atPress);
    const int reached = o->H();
    QTest::mouseRelease(ed.igxMain, Qt::LeftButton, {}, handle + QPoint(0, 200));
    EXPECT_EQ(platform::imaging::textDrawings() - atPress, 1);
    EXPECT_GT(o->fontSize(), 14);
    EXPECT_NEAR(o->H(), reached, 3);
    EXPECT_LE(testsupport::largestChannelDifference(o->mImgXPicture->qimage(), drawnByQtPath(*o, 1)), 2);
}

TEST_F(EditorLargeTexts, ATextWhoseGlyphsWouldTakeTooLongToFillIsRefusedAndKeepsItsPicture)
{
    open();
    // 49,750 large "@", each drawn on the one before: a small picture, but every glyph's
    // outline to fill, far past the work a text may take.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(533); // 400 points
    clsTextObject t;
    t.mfntFont.setFamily(QStringLiteral("Liberation Sans"));
    t.setFontSize(400);
    t.mdblAntiAlias = 1;
    t.mLngCharSpace = -int(QFontMetricsF(f).horizontalAdvance(u'@'));
    t.mstrText = QStringList(25, QString(1990, u'@')).join(QStringLiteral("\r\n"));
    model().AddClsTextObject(t);
    const auto o = std::static_pointer_cast<clsTextObject>(focused());
    ASSERT_TRUE(platform::withinPictureLimits(platform::imaging::measureText(
        clsTextObject::textStyle(o->mfntFont, 400, 100, o->mLngCharSpace, 0, 1), o->mstrText)));
    const auto had = o->mImgXPicture;
    prompter->shown.clear();
    editor->adaptObjectSizeToZoom(o->mstrIndex);
    EXPECT_EQ(o->mImgXPicture, had);
    ASSERT_EQ(prompter->shown.size(), 1u);
    // Told as what it is, not as a picture too large or a text too long.
    EXPECT_TRUE(prompter->shown[0].prompt.startsWith("The text is too much to fill at this size: drawing its letters "
                                                     "would take more than about 3 seconds"))
        << prompter->shown[0].prompt.toStdString();
}

} // namespace
