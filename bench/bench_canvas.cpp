// The canvas while the user drags: painting fifty objects on a 12 cm cover at 300 dpi, and
// rendering one text object with shadow and gradient.
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsPictureObject.h"
#include "canvas/clsTextObject.h"
#include "core/AppPath.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

clsTextObject styledText(const QString &s)
{
    clsTextObject t;
    t.mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
    t.setFontSize(18);
    t.mstrText = s;
    t.mdblAntiAlias = 1;
    t.mObjTextShadow->mBoolIsActive = true;
    t.mObjTextShadow->mLngX = 6;
    t.mObjTextShadow->mLngY = 6;
    t.mObjTextShadow->mByteOpacitiy = 170;
    t.mObjTextShadow->mDblBlurLevel = 40;
    t.mObjTextGradient->mBoolIsActive = true;
    t.mObjTextGradient->mlngColor1 = 0x0000FF;
    t.mObjTextGradient->mlngColor2 = 0xFF0000;
    t.mObjTextGradient->mObjPointEnd->mLngX = 255;
    return t;
}

void BM_renderObjects50On1417(benchmark::State &state)
{
    clsMoveableObjects m;
    m.Class_intialize();
    for (int i = 0; i < 25; ++i) {
        clsTextObject t = styledText(QStringLiteral("Track %1 - a title").arg(i + 1));
        t.TextToImgX(nullptr);
        t.mObjPointMousePos->mLngX = (i * 53) % 1200;
        t.mObjPointMousePos->mLngY = (i * 97) % 1300;
        m.AddClsTextObject(t);
        QImage img(180, 140, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(30 + i * 8, 90, 200 - i * 6));
        auto p = platform::ImgxImage::create();
        p->setQImage(img, platform::kNoUndo);
        m.AddClsPictureObject(p);
        auto o = m.object(QString::number(m.lngIndexNumber));
        o->mObjPointMousePos->mLngX = (i * 131) % 1200;
        o->mObjPointMousePos->mLngY = (i * 71) % 1250;
    }
    QImage canvas(1417, 1417, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        platform::imaging::PainterContext dc(p);
        m.renderObjects(dc);
    }
}
BENCHMARK(BM_renderObjects50On1417)->Unit(benchmark::kMillisecond);

void BM_TextToImgXTenLinesShadowGradient(benchmark::State &state)
{
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines << QStringLiteral("%1. A song title of some length").arg(i);
    clsTextObject t = styledText(lines.join(QStringLiteral("\r\n")));
    for (auto _ : state)
        t.TextToImgX(nullptr);
}
BENCHMARK(BM_TextToImgXTenLinesShadowGradient)->Unit(benchmark::kMillisecond);

void BM_TextToImgXTenLinesPlain(benchmark::State &state)
{
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines << QStringLiteral("%1. A song title of some length").arg(i);
    clsTextObject t = styledText(lines.join(QStringLiteral("\r\n")));
    t.mObjTextShadow->mBoolIsActive = state.range(0) & 1;
    t.mObjTextGradient->mBoolIsActive = state.range(0) & 2;
    for (auto _ : state)
        t.TextToImgX(nullptr);
}
BENCHMARK(BM_TextToImgXTenLinesPlain)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
