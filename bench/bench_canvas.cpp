// The canvas while the user drags: painting fifty objects on a 12 cm cover at 300 dpi,
// rendering one text object with shadow and gradient, and hovering over focused objects.
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsPictureObject.h"
#include "canvas/clsTextObject.h"
#include "core/AppPath.h"
#include "platform/imaging/ImgxCanvas.h"

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

// The stretch of a text to the width of the canvas (250 pixels at zoom 0.5) from the editor's
// Edit menu: one letter, a short word, a word, a line, and a line with shadow. "missing" is the
// canvas pixels the stretched text ends short of the target (negative: beyond it).
void BM_stretchToWidth(benchmark::State &state)
{
    static const char *const texts[] = {"W", "CD", "Rock", "Stretch me", "Track 1 - a title with a shadow"};
    constexpr int target = 250;
    gDblZoomFactor = 0.5;
    clsTextObject t = styledText(QString::fromLatin1(texts[state.range(0)]));
    t.mObjTextGradient->mBoolIsActive = false;
    t.mObjTextShadow->mBoolIsActive = state.range(0) == 4;
    for (auto _ : state) {
        t.mSnglWidthInPercent = 100;
        t.stretchToWidth(target, nullptr);
    }
    t.renderAtZoom(gDblZoomFactor, nullptr);
    state.counters["missing"] = target - t.W();
    state.SetLabel(texts[state.range(0)]);
    gDblZoomFactor = 1;
}
BENCHMARK(BM_stretchToWidth)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

class BenchServices final : public CanvasServices {
public:
    explicit BenchServices(platform::ImgxCanvas &c) : canvas(c) {}
    platform::ImgxCanvas &editorCanvas() override { return canvas; }
    void adaptObjectSizeToZoom(const QString &) override {}
    platform::ImgxCanvas &canvas;
};

// The mouse hovers over the canvas of the editor with a focused text and a picture on it:
// range(0) moves first, then the time of 200 further moves and one repaint is measured.
// The time stays the same whatever the number of moves before.
void BM_hoverThenRepaint(benchmark::State &state)
{
    platform::ImgxCanvas canvas;
    canvas.resize(800, 600);
    canvas.image()->blank(800, 600, 0xFFFFFF, 255, 6, platform::kNoUndo);
    CanvasServices::install(std::make_unique<BenchServices>(canvas));
    auto &m = gObjMoveableObjects();
    m->Class_intialize();
    clsTextObject t = styledText(QStringLiteral("Hover over me"));
    t.TextToImgX(nullptr);
    t.mObjPointMousePos->mLngX = 100;
    t.mObjPointMousePos->mLngY = 100;
    m->AddClsTextObject(t);
    m->AddClsPictureObject([] {
        QImage img(200, 150, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(30, 90, 200));
        auto p = platform::ImgxImage::create();
        p->setQImage(img, platform::kNoUndo);
        return p;
    }());
    m->object(QString::number(m->lngIndexNumber))->mObjPointMousePos->mLngX = 400;
    const QString textKey = QString::number(m->lngIndexNumber - 1);
    m->mStrFocusedObjectIndex = textKey;
    QObject::connect(&canvas, &platform::ImgxCanvas::paint,
                     [&m](platform::imaging::DeviceContext &dc) { m->renderObjects(dc); });
    canvas.refresh();
    auto hover = [&](int moves) {
        for (int i = 0; i < moves; ++i)
            m->doDragObjects(canvas, 120 + i % 50, 110 + i % 7);
    };
    hover(int(state.range(0)));
    for (auto _ : state) {
        hover(200);
        benchmark::DoNotOptimize(canvas.renderToImage());
    }
    state.counters["overlay"] = double(canvas.overlay().items().size());
    m.reset();
    CanvasServices::reset();
}
BENCHMARK(BM_hoverThenRepaint)->Arg(0)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
