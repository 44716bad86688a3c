// The graphics editor: dragging one of 20 objects over a 1417 x 1417 background on the
// 631 x 631 canvas (one mouse move with its full repaint), opening the editor on a
// 4000 x 4000 side with 20 objects, sharpening a 4000 x 4000 background and undoing it,
// saving a 1417 x 1417 side with 20 objects as PNG, turning a 1417 x 1417 picture; the
// brightness and sharpen/soften dialogs on a 4000 x 4000 picture (set-up and one preview step
// of a moved bar) and the new-background dialog (OK at 2000 x 2000, its preview).
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/AppPath.h"
#include "editor/frmBrightness.h"
#include "editor/frmGrafik.h"
#include "editor/frmNewCover.h"
#include "editor/frmSharpSoft.h"
#include "editor/frmRotate.h"
#include "mainwindow/Globals.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Choosers.h"
#include "platform/widgets/ButtonPlus.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

QImage filled(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// A side with a background of a size and 20 objects, half texts and half pictures.
void prepareSide(int size)
{
    igxBackup[0] = platform::ImgxImage::create();
    igxBackup[0]->setQImage(filled(size, size, QColor(40, 90, 160)), platform::kNoUndo);
    auto side = newMoveableObjects();
    for (int i = 0; i < 10; ++i) {
        clsTextObject t;
        t.mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
        t.setFontSize(24);
        t.mstrText = QStringLiteral("Track %1").arg(i + 1);
        t.TextToImgX(nullptr);
        t.mObjPointMousePos->mLngX = 20 + i * 50;
        t.mObjPointMousePos->mLngY = 30 + i * 40;
        side->AddClsTextObject(t);
        auto p = platform::ImgxImage::create();
        p->setQImage(filled(160, 120, QColor(200, 40 + i * 15, 40)), platform::kNoUndo);
        side->AddClsPictureObject(p);
        auto o = side->object(side->mStrFocusedObjectIndex);
        o->mObjPointMousePos->mLngX = 300 - i * 20;
        o->mObjPointMousePos->mLngY = 40 + i * 45;
    }
    gObjPartMoveableObjects[0] = side;
    gBoolPartHasObjects[0] = true;
}

// A picture with detail, so that the filters have edges to work on.
QImage patterned(int w, int h)
{
    // Premultiplied, as the decoders deliver pictures.
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255);
    }
    return img;
}

// The save dialog answers with one file.
class FixedChooser final : public platform::Choosers {
public:
    explicit FixedChooser(QString path) : path_(std::move(path)) {}
    std::optional<platform::FileDialogResult> chooseFile(const platform::FileDialogRequest &) override
    {
        return platform::FileDialogResult{path_, 2};
    }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return std::nullopt; }

private:
    QString path_;
};

frmGrafik *openEditor()
{
    auto *editor = new frmGrafik(nullptr);
    editor->show();
    QApplication::processEvents();
    return editor;
}

void send(QWidget *w, QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), b, bs, {});
    QApplication::sendEvent(w, &e);
}

void BM_dragOneOf20On1417(benchmark::State &state)
{
    prepareSide(1417);
    auto *editor = new frmGrafik(nullptr);
    editor->show();
    QApplication::processEvents();
    platform::ImgxCanvas *canvas = editor->igxMain;
    auto &model = *gObjMoveableObjects();
    auto o = model.object(model.colObjectLayers.begin()->second);
    QPoint at(o->X() + 5, o->Y() + 5);
    send(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    int step = 1;
    for (auto _ : state) {
        at += QPoint(step, step);
        step = -step;
        send(canvas, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        canvas->repaint();
    }
    send(canvas, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    delete editor;
    gObjUndos().reset();
}
BENCHMARK(BM_dragOneOf20On1417)->Unit(benchmark::kMillisecond);

void BM_openEditorOn4000With20Objects(benchmark::State &state)
{
    prepareSide(4000);
    for (auto _ : state) {
        auto *editor = new frmGrafik(nullptr);
        editor->show();
        QApplication::processEvents();
        state.PauseTiming();
        delete editor;
        state.ResumeTiming();
    }
    gObjUndos().reset();
}
BENCHMARK(BM_openEditorOn4000With20Objects)->Unit(benchmark::kMillisecond);

// Sharpen 50 % with nothing focused: the canvas and the side's image, and the undo entry.
// Argument 1: the side's image differs from the canvas (fitted to another shape), so it is
// filtered on its own.
void BM_sharpen50On4000Background(benchmark::State &state)
{
    prepareSide(4000);
    igxBackup[0]->setQImage(patterned(4000, 4000), platform::kNoUndo);
    frmGrafik *editor = openEditor();
    if (state.range(0) == 1)
        igxBackup[0]->setQImage(patterned(4000, 3990), platform::kNoUndo);
    gObjMoveableObjects()->mStrFocusedObjectIndex.clear();
    for (auto _ : state) {
        editor->doSharpen(50);
        state.PauseTiming();
        editor->mnuUndo_Click();
        state.ResumeTiming();
    }
    delete editor;
    gObjUndos().reset();
}
BENCHMARK(BM_sharpen50On4000Background)->Arg(0)->Arg(1)->ArgName("otherSide")->Unit(benchmark::kMillisecond);

void BM_undoSharpen50On4000Background(benchmark::State &state)
{
    prepareSide(4000);
    igxBackup[0]->setQImage(patterned(4000, 4000), platform::kNoUndo);
    frmGrafik *editor = openEditor();
    gObjMoveableObjects()->mStrFocusedObjectIndex.clear();
    for (auto _ : state) {
        state.PauseTiming();
        editor->doSharpen(50);
        state.ResumeTiming();
        editor->mnuUndo_Click();
    }
    delete editor;
    gObjUndos().reset();
}
BENCHMARK(BM_undoSharpen50On4000Background)->Unit(benchmark::kMillisecond);

void BM_saveAsPngOf1417With20Objects(benchmark::State &state)
{
    prepareSide(1417);
    igxBackup[0]->setQImage(patterned(1417, 1417), platform::kNoUndo);
    QTemporaryDir out;
    platform::Seam<platform::Choosers>::install(std::make_unique<FixedChooser>(out.filePath(QStringLiteral("side.png"))));
    frmGrafik *editor = openEditor();
    for (auto _ : state)
        editor->mnuSaveAs_Click();
    delete editor;
    platform::Seam<platform::Choosers>::reset();
    gObjUndos().reset();
}
BENCHMARK(BM_saveAsPngOf1417With20Objects)->Unit(benchmark::kMillisecond);

// Each turn starts from the unrotated backup and turns it by the total angle.
void BM_rotate1417PictureBy30FromBackup(benchmark::State &state)
{
    prepareSide(1417);
    frmGrafik *editor = openEditor();
    auto &model = *gObjMoveableObjects();
    model.AddClsPictureObject(platform::ImgxImage::create());
    auto o = model.object(model.mStrFocusedObjectIndex);
    o->mImgXPicture->setQImage(patterned(1417, 1417), platform::kNoUndo);
    frmRotate::doRotate(30);
    for (auto _ : state) {
        frmRotate::doRotate(30);
        state.PauseTiming();
        o->mDblAngle = 360; // the next turn is by 390, the same as 30
        state.ResumeTiming();
    }
    delete editor;
    gObjUndos().reset();
}
BENCHMARK(BM_rotate1417PictureBy30FromBackup)->Unit(benchmark::kMillisecond);

platform::ImgxImagePtr photo4000()
{
    static const QImage pixels = patterned(4000, 4000);
    auto image = platform::ImgxImage::create();
    image->setQImage(pixels, platform::kNoUndo);
    return image;
}

void BM_brightnessSetupOn4000(benchmark::State &state)
{
    const auto image = photo4000();
    frmBrightness dialog;
    for (auto _ : state)
        dialog.Setup(image);
}
BENCHMARK(BM_brightnessSetupOn4000)->Unit(benchmark::kMillisecond);

// One step of a dragged bar: the filter on the scaled copy, the picture shown, the step undone.
void BM_brightnessPreviewStep(benchmark::State &state)
{
    frmBrightness dialog;
    dialog.Setup(photo4000());
    int value = 1;
    for (auto _ : state) {
        dialog.scrBrightness->setValue(value);
        value = value % 100 + 1;
    }
}
BENCHMARK(BM_brightnessPreviewStep)->Unit(benchmark::kMillisecond);

void BM_sharpSoftSetupOn4000(benchmark::State &state)
{
    const auto image = photo4000();
    frmSharpSoft dialog;
    dialog.mBoolSharpen = true;
    dialog.Form_Load();
    for (auto _ : state)
        dialog.Setup(image);
}
BENCHMARK(BM_sharpSoftSetupOn4000)->Unit(benchmark::kMillisecond);

void BM_sharpSoftPreviewStep(benchmark::State &state)
{
    frmSharpSoft dialog;
    dialog.mBoolSharpen = state.range(0) != 0;
    dialog.Form_Load();
    dialog.Setup(photo4000());
    int value = 1;
    for (auto _ : state) {
        dialog.scrSharpSoft->setValue(value);
        value = value % 100 + 1;
    }
}
BENCHMARK(BM_sharpSoftPreviewStep)->Arg(1)->Arg(0)->ArgName("sharpen")->Unit(benchmark::kMillisecond);

// OK of the new-background dialog: a 2000 x 2000 background (no main window: ratio 1) with
// its JPEG round trip through the data folder. 0 linear, 1 radial, 2 rainbow.
void BM_newCoverOk2000(benchmark::State &state)
{
    QDir().mkpath(appPath() + QStringLiteral("/data"));
    frmNewCover dialog;
    dialog.chkGradient->click();
    if (state.range(0) == 1)
        dialog.cmdCenter->click();
    if (state.range(0) == 2)
        dialog.chkRainbow->click();
    for (auto _ : state)
        dialog.cmdOk_Click();
    igxBackup[0].reset();
}
BENCHMARK(BM_newCoverOk2000)->Arg(0)->Arg(1)->Arg(2)->ArgName("kind")->Unit(benchmark::kMillisecond);

// The preview drawn anew, as a direction button does.
void BM_drawNewCoverPreview(benchmark::State &state)
{
    frmNewCover dialog;
    dialog.chkGradient->click();
    bool up = false;
    for (auto _ : state) {
        (up ? dialog.cmdUp : dialog.cmdDownRight)->click();
        up = !up;
    }
}
BENCHMARK(BM_drawNewCoverPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
