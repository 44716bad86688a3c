#include "MainWindowTestSupport.h"

#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "canvas/CanvasServices.h"
#include "mainwindow/clsPrintBorders.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/widgets/LineOverlay.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QCoreApplication>
#include <QListWidget>

using mainwindowtest::MainWindowTest;
using Item = platform::imaging::RecordingContext::Item;

TEST(PrintBorders, RoundsHalfToEvenAndDrawsLinesOrRectangles)
{
    platform::imaging::RecordingContext dc;
    clsPrintBorders b;
    b.singleLine(1, 1, 2, 2); // no canvas yet: nothing, no failure
    b.setCanvas([&dc]() -> platform::imaging::DeviceContext & { return dc; });
    b.setLineColor(0x0000FF);
    b.setLineStyle(2);
    b.setThickness(6);
    b.singleLine(10.5f, 11.5f, 20.5f, 21.5f);
    b.Rectangle(10.5f, 11.5f, 20.5f, 21.5f);
    ASSERT_EQ(dc.items().size(), 2u);
    EXPECT_EQ(dc.items()[0].kind, Item::Line);
    EXPECT_EQ(dc.items()[0].a, QPoint(10, 12));
    EXPECT_EQ(dc.items()[0].b, QPoint(20, 22));
    EXPECT_EQ(dc.items()[0].pen.width, 6);
    EXPECT_EQ(dc.items()[0].pen.style, 2);
    EXPECT_EQ(dc.items()[0].pen.color, 0x0000FFu);
    EXPECT_EQ(dc.items()[1].kind, Item::Rect);
    b.Ellipse(0, 0, 10, -1);
    ASSERT_EQ(dc.items().size(), 3u);
    EXPECT_EQ(dc.items()[2].image.width(), 20);
    EXPECT_EQ(dc.items()[2].image.height(), 20);
}

namespace {

class FoldLines : public MainWindowTest {
protected:
    // The x positions of the lines drawn on a surface, and their lengths.
    static std::vector<std::pair<int, int>> lines(const platform::imaging::RecordingContext &dc)
    {
        std::vector<std::pair<int, int>> out;
        for (const Item &i : dc.items())
            if (i.kind == Item::Line)
                out.emplace_back(i.a.x(), i.b.y() - i.a.y());
        return out;
    }
    // A 12 cm format with its first fold 1 cm in and a second fold, in the user table.
    frmPelmora &withFoldedFormat(const QByteArray &margins)
    {
        writeFile("data/mycover.dat", "Folded;12;12;1;1;1;1;0;0;0;0;1;0,5;0;2\r\nPlain;12;12;1;1;1;1;0;0;0;0;0;0;0;0\r\n");
        options("PRINTMARGIN=1\r\nPRINTBORDER=0\r\nLASTMEDIUM=5\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=1\r\n" + margins);
        return start();
    }
};

} // namespace

TEST_F(FoldLines, FullHeightLinesAtTheCreaseRatio)
{
    frmPelmora &w = withFoldedFormat("MARGINTYPE=0\r\n");
    PictureBox *pic = w.picVisible[0];
    pic->setWidthTwips(600 * 15);
    pic->setHeightTwips(300 * 15);
    gObjCover().setBorder(0);
    EXPECT_EQ(lines(pic->overlay()), (std::vector<std::pair<int, int>>{{50, 300}, {550, 300}}));
    EXPECT_TRUE(lines(w.picVisible[1]->overlay()).empty()); // a format without folds
    EXPECT_TRUE(w.shpBorder[0]->isHidden());
}

TEST_F(FoldLines, ShortTicksAndTicksAboveThePreview)
{
    frmPelmora &w = withFoldedFormat("MARGINTYPE=1\r\n");
    PictureBox *pic = w.picVisible[0];
    pic->setWidthTwips(600 * 15);
    pic->setHeightTwips(200 * 15);
    gObjCover().setBorder(0);
    EXPECT_EQ(lines(pic->overlay()), (std::vector<std::pair<int, int>>{{50, 10}, {550, 10}}));

    gByteMarginType = 2;
    gObjCover().setBorder(0);
    EXPECT_TRUE(lines(pic->overlay()).empty());
    const auto outside = lines(w.windowLines->lines());
    ASSERT_EQ(outside.size(), 2u);
    const QPoint at = pic->mapTo(w.centralWidget(), QPoint(0, 0));
    EXPECT_EQ(outside[0].first, at.x() + 50);
    EXPECT_EQ(outside[0].second, at.y());
}

TEST_F(FoldLines, TicksAboveThePreviewsAreInPlaceFromTheStart)
{
    frmPelmora &w = withFoldedFormat("MARGINTYPE=2\r\n");
    w.show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    PictureBox *pic = w.picVisible[0];
    const QPoint at = pic->mapTo(w.centralWidget(), QPoint(0, 0));
    ASSERT_NE(at, QPoint(0, 0));
    const int inset = roundToInt(pic->widthTwips() / 12.0 / 15.0); // the fold 1 cm into 12 cm
    EXPECT_EQ(lines(w.windowLines->lines()),
              (std::vector<std::pair<int, int>>{{at.x() + inset, at.y()}, {at.x() + pic->width() - inset, at.y()}}));
}

namespace {
class EditorCanvasServices final : public CanvasServices {
public:
    explicit EditorCanvasServices(platform::ImgxCanvas &c) : canvas(c) {}
    platform::ImgxCanvas &editorCanvas() override { return canvas; }
    void adaptObjectSizeToZoom(const QString &) override {}
    platform::ImgxCanvas &canvas;
};
} // namespace

TEST_F(FoldLines, TheEditorCanvasGetsTheFoldLinesOfTheEditedSide)
{
    frmPelmora &w = withFoldedFormat("MARGINTYPE=0\r\n");
    QWidget editor;
    auto *igx = new platform::ImgxCanvas(&editor);
    igx->setGeometry(30, 40, 600, 400);
    CanvasServices::install(std::make_unique<EditorCanvasServices>(*igx));
    w.mIntActualSide = 0;
    // On the canvas as it paints; nothing above it.
    platform::imaging::RecordingContext painted;
    gObjCover().SetBorderIgX(painted);
    EXPECT_EQ(lines(painted), (std::vector<std::pair<int, int>>{{50, 400}, {550, 400}}));
    gObjCover().SetBorderIgXWindow();
    auto *surface = editor.findChild<LineOverlay *>("foldLines");
    ASSERT_TRUE(surface);
    EXPECT_TRUE(lines(surface->lines()).empty());

    // Outside: above the canvas on the window, nothing on the canvas.
    gByteMarginType = 2;
    gObjCover().SetBorderIgXWindow();
    EXPECT_EQ(lines(surface->lines()), (std::vector<std::pair<int, int>>{{80, 40}, {580, 40}}));
    platform::imaging::RecordingContext outside;
    gObjCover().SetBorderIgX(outside);
    EXPECT_TRUE(lines(outside).empty());

    w.mIntActualSide = 1; // a format without folds
    gObjCover().SetBorderIgXWindow();
    EXPECT_TRUE(lines(surface->lines()).empty());
    EXPECT_EQ(editor.findChildren<LineOverlay *>().size(), 1);
    CanvasServices::reset();
}
