// Work on a large background: the hourglass from before the first pixel changes until the
// canvas and the side's image both have their result, and Undo giving back the very pixels.
#include "EditorTestSupport.h"

#include "editor/frmBrightness.h"
#include "editor/frmRotate.h"
#include "platform/print/PrintLibrary.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"

#include <QDir>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace editortest;

namespace {

// What the program had made of its pictures each time it set the pointer.
struct Mark {
    int pointer = 0;
    std::vector<qint64> pictures;
};

class MarkingScreen final : public testsupport::FakeScreen {
public:
    void showMousePointer(int p) override
    {
        FakeScreen::showMousePointer(p);
        marks.push_back({p, state ? state() : std::vector<qint64>{}});
    }
    std::function<std::vector<qint64>()> state;
    std::vector<Mark> marks;
};

// A picture with detail in every pixel, so that each filter changes it everywhere.
QImage detailed(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = qRgb((x * 7 + y) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255);
    }
    return img;
}

class LargePictureWork : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        marking = &platform::Seam<platform::Screen>::install(std::make_unique<MarkingScreen>());
        igxBackup[0]->setQImage(detailed(1800, 1350), platform::kNoUndo);
        igxBackup[0]->clearUndo();
    }
    // The pictures' states: the canvas's and the side's, and how often the canvas was drawn.
    std::vector<qint64> pictures() const
    {
        return {editor->igxMain->image()->qimage().cacheKey(), igxBackup[0]->qimage().cacheKey(), paints};
    }
    // Runs work and checks that the pointer became the hourglass before any picture changed,
    // that no picture changed while it was the default (a step that ends on the default is
    // followed at once by the hourglass again) and that it became the default for good only
    // once the pictures named in changed all had their result and the canvas was drawn anew.
    void expectHourglassThroughout(const char *what, const std::function<void()> &work, std::vector<bool> changed)
    {
        SCOPED_TRACE(what);
        marking->state = [this] { return editor ? pictures() : std::vector<qint64>{}; };
        marking->marks.clear();
        const std::vector<qint64> before = pictures();
        work();
        const std::vector<Mark> marks = marking->marks;
        marking->state = nullptr;
        ASSERT_GE(marks.size(), 2u);
        EXPECT_EQ(marks.front().pointer, platform::Pointer::Hourglass);
        EXPECT_EQ(marks.front().pictures[0], before[0]);
        EXPECT_EQ(marks.front().pictures[1], before[1]);
        for (size_t i = 0; i + 1 < marks.size(); ++i)
            if (marks[i].pointer != platform::Pointer::Hourglass) {
                EXPECT_EQ(marks[i + 1].pointer, platform::Pointer::Hourglass) << "set " << i;
                EXPECT_EQ(marks[i + 1].pictures, marks[i].pictures) << "set " << i;
            }
        EXPECT_EQ(marks.back().pointer, platform::Pointer::Default);
        const std::vector<qint64> after = pictures();
        EXPECT_EQ(marks.back().pictures, after);
        for (size_t k = 0; k < changed.size(); ++k)
            EXPECT_EQ(after[k] != before[k], bool(changed[k])) << "picture " << k;
        EXPECT_GT(after[2], marks.front().pictures[2]) << "the canvas was not drawn before the pointer came back";
    }
    void undoByMenu()
    {
        editor->mnuEdit_Click();
        editor->menuEntry("mnuUndo")->trigger();
    }
    MarkingScreen *marking = nullptr;
    qint64 paints = 0;
};

} // namespace

TEST_F(LargePictureWork, EachOperationShowsTheHourglassUntilItsResultAndUndoGivesThePixelsBack)
{
    frmGrafik &ed = open();
    QObject::connect(ed.igxMain, &platform::ImgxCanvas::paint, ed.igxMain, [this] { ++paints; });
    const QImage canvasAtStart = ed.igxMain->image()->qimage();
    const QImage sideAtStart = igxBackup[0]->qimage();

    // The toolbar's effects on the background: canvas and side's image, then Undo.
    for (ButtonPlus *button : {ed.cmdSharpen, ed.cmdSoften}) {
        expectHourglassThroughout(button == ed.cmdSharpen ? "sharpen" : "soften",
                                  [&] { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); },
                                  {true, true});
        EXPECT_NE(ed.igxMain->image()->qimage(), canvasAtStart);
        undoByMenu();
        EXPECT_EQ(ed.igxMain->image()->qimage(), canvasAtStart);
        EXPECT_EQ(igxBackup[0]->qimage(), sideAtStart);
    }

    // Brightness through its dialog.
    dialogs->actions.push_back([](QDialog &d) {
        auto &dlg = static_cast<frmBrightness &>(d);
        dlg.scrBrightness->setValue(30);
        QTest::mouseClick(dlg.cmdOK, Qt::LeftButton, {}, dlg.cmdOK->rect().center());
    });
    expectHourglassThroughout("brightness", [&] { ed.menuEntry("mnuManualBrightness")->trigger(); }, {true, true});
    undoByMenu();
    EXPECT_EQ(ed.igxMain->image()->qimage(), canvasAtStart);
    EXPECT_EQ(igxBackup[0]->qimage(), sideAtStart);

    // A quarter turn through the rotate dialog turns the canvas; Undo turns it back exactly.
    dialogs->actions.push_back([](QDialog &d) {
        auto &dlg = static_cast<frmRotate &>(d);
        QTest::mouseClick(dlg.cmdRotateRight, Qt::LeftButton, {}, dlg.cmdRotateRight->rect().center());
    });
    expectHourglassThroughout("rotate", [&] { ed.cmdRotate_Click(); }, {true, false});
    EXPECT_EQ(ed.igxMain->image()->qimage().size(), canvasAtStart.size().transposed());
    undoByMenu();
    EXPECT_EQ(ed.igxMain->image()->qimage(), canvasAtStart);

    // OK writes the canvas back to the side under the hourglass.
    marking->marks.clear();
    QTest::mouseClick(ed.cmdOK, Qt::LeftButton, {}, ed.cmdOK->rect().center());
    ASSERT_FALSE(marking->marks.empty());
    EXPECT_EQ(marking->marks.front().pointer, platform::Pointer::Hourglass);
    EXPECT_EQ(marking->marks.back().pointer, platform::Pointer::Default);
    EXPECT_EQ(igxBackup[0]->qimage(), canvasAtStart);
}

namespace {

class LargePicturePrinting : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        marking = &platform::Seam<platform::Screen>::install(std::make_unique<MarkingScreen>());
        ASSERT_TRUE(out.isValid());
        platform::Seam<platform::PrintLibrary>::install(platform::makePdfPrintLibrary(out.path(), {"PDF"}, 150));
    }
    void TearDown() override
    {
        platform::Seam<platform::PrintLibrary>::reset();
        MainWindowTest::TearDown();
    }
    qsizetype documents() const { return QDir(out.path()).entryList({"print-*.pdf"}, QDir::Files).size(); }
    MarkingScreen *marking = nullptr;
    QTemporaryDir out;
};

} // namespace

TEST_F(LargePicturePrinting, TheHourglassShowsUntilTheDocumentIsWrittenAndEachSideGoesAtTheCoversDots)
{
    options("PRINTERNAME=PDF\r\nPRINTERID=1\r\nLASTMEDIUM=0\r\nLASTCOVERLEFT=0\r\nLASTCOVERRIGHT=4\r\n");
    frmPelmora &w = start();
    for (size_t s = 0; s < 2; ++s)
        igxBackup[s]->setQImage(detailed(1800, 1350), platform::kNoUndo);
    marking->state = [&] { return std::vector<qint64>{documents()}; };
    marking->marks.clear();
    w.cmdPrint_Click(2);
    marking->state = nullptr;
    ASSERT_EQ(documents(), 1);
    EXPECT_TRUE(prompts().isEmpty()) << prompts().join("|").toStdString();
    // The hourglass from before the document is begun until it is written.
    const std::vector<Mark> &marks = marking->marks;
    const auto busy = std::find_if(marks.begin(), marks.end(),
                                   [](const Mark &m) { return m.pointer == platform::Pointer::Hourglass; });
    ASSERT_NE(busy, marks.end());
    EXPECT_EQ(busy->pictures, std::vector<qint64>{0});
    for (auto m = busy; m + 1 < marks.end(); ++m)
        EXPECT_EQ(m->pointer, platform::Pointer::Hourglass);
    EXPECT_EQ(marks.back().pointer, platform::Pointer::Default);
    EXPECT_EQ(marks.back().pictures, std::vector<qint64>{1});

    // The front cover (12 cm) has 709 dots a side at 150 dpi and the disc label (11,8 cm) 697:
    // the document holds each side's picture at those sizes, not at the picture's 1800 x 1350.
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), QDir(out.path()).filePath("print-1.pdf")});
    ASSERT_TRUE(list.waitForFinished(30000));
    QStringList sizes;
    for (const QString &line : QString::fromLatin1(list.readAllStandardOutput()).split(u'\n').mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() > 4 && f[2] == QLatin1String("image"))
            sizes << f[3] + u'x' + f[4];
    }
    EXPECT_EQ(sizes, (QStringList{"709x709", "697x697"}));
}
