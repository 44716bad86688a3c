// The graphics editor: dragging one of 20 objects over a 1417 x 1417 background on the
// 631 x 631 canvas (one mouse move with its full repaint), and opening the editor on a
// 4000 x 4000 side with 20 objects.
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "editor/frmGrafik.h"
#include "mainwindow/Globals.h"
#include "platform/imaging/ImgxCanvas.h"

#include <QApplication>
#include <QMouseEvent>
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

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
