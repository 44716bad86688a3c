// The canvas commands that draw a text larger than the text editor's OK made it, at Liberation
// Sans 14 as the editor commits it, each within 5 s of CPU (the stretch of 50 track lines within
// 2 s) and drawing the text once:
// - Edit > Stretch text to a cover 16000 pixels wide (the canvas at zoom 1, where the command
//   draws the text as wide as the cover):
//   50 and 308 track lines of 160 characters (308 are 50,000 characters), letters with 64
//   accents, 20 to a line, and 36,600 characters of letters between bidi embedding controls;
//   700 lines of 36 characters stretched to 3400 pixels (12-fold);
//   5000 colour emoji, 100 to a line;
// - 23,900 ideographs at 2 points stretched 57500 %, drawn once or refused as too costly to draw
//   (within 3.5 s);
// - the 308 lines, once stretched, drawn at full scale into the cover (printing, saving);
// - the bottom-right handle of 100 such lines dragged until the text is 8000 pixels high.
// Each reports its CPU time, the drawings it made and its peak memory.
#include "BenchCanvas.h"
#include "PeakMemory.h"
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/ui/Prompter.h"

#include <benchmark/benchmark.h>

#include <ctime>

#include "BenchMain.h"

namespace {



QString trackLines(int lines, int length)
{
    const QString line = QStringLiteral("07 - An artist of songs - A title of a song ").repeated(4).left(length);
    QStringList all;
    for (int i = 0; i < lines; ++i)
        all << line;
    return all.join(QStringLiteral("\r\n"));
}

// Letters each followed by one of the embedding and override controls, 80 letters a line.
QString embeddedLetters()
{
    static const char16_t controls[] = {0x202A, 0x202B, 0x202C, 0x202D, 0x202E};
    QString t;
    for (int n = 0; t.size() < 36600; ++n) {
        t += QChar(char16_t(u'a' + n % 26));
        t += QChar(controls[n % 5]);
        if (n % 80 == 79)
            t += QStringLiteral("\r\n");
    }
    return t.left(36600);
}

// count characters from first on, lines of perLine, each a code point after the one before,
// wrapping around after span of them.
QString codePoints(char32_t first, int span, int count, int perLine)
{
    QString t;
    for (int n = 0; n < count; ++n) {
        if (n > 0 && n % perLine == 0)
            t += QStringLiteral("\r\n");
        const char32_t c = first + char32_t(n % span);
        t += QString::fromUcs4(&c, 1);
    }
    return t;
}

// 5000 colour emoji, 100 to a line, of the 848 from U+1F300 on.
QString colourEmoji() { return codePoints(0x1F300, 848, 5000, 100); }

QString textOf(int which)
{
    switch (which) {
    case 0: return trackLines(50, 160);
    case 1: return trackLines(308, 160);
    case 2: return trackLines(700, 36);
    case 3: return bench::accentedLetters();
    case 4: return embeddedLetters();
    default: return colourEmoji();
    }
}

const char *const kLabels[] = {"50 track lines to 16000 px", "308 track lines (50000 characters) to 16000 px",
                               "700 lines of 36 to 3400 px", "letters with 64 accents to 16000 px",
                               "36600 with bidi embeddings to 16000 px", "5000 colour emoji to 16000 px"};

// A text of the editor's model, as OK in the text editor commits it, at the canvas zoom.
struct EditorText {
    explicit EditorText(const QString &text, double zoom)
    {
        CanvasServices::install(std::make_unique<bench::Canvas>(631, 631));
        gObjMoveableObjects() = std::make_shared<clsMoveableObjects>();
        gObjMoveableObjects()->Class_intialize();
        gDblZoomFactor = zoom;
        clsTextObject t;
        t.mfntFont.setFamily(QStringLiteral("Liberation Sans"));
        t.setFontSize(14);
        t.mdblAntiAlias = 1;
        t.mstrText = text;
        gObjMoveableObjects()->AddClsTextObject(t);
        key = gObjMoveableObjects()->mStrFocusedObjectIndex;
        object().renderAtZoom(zoom, gObjMoveableObjects()->objEffects.get());
    }
    ~EditorText()
    {
        gObjUndos().reset();
        gObjMoveableObjects() = std::make_shared<clsMoveableObjects>();
        CanvasServices::reset();
        gDblZoomFactor = 1;
    }
    clsTextObject &object() { return static_cast<clsTextObject &>(*gObjMoveableObjects()->object(key)); }
    QString key;
};

// Runs a command once an iteration and reports it; an error when it took bound seconds of CPU
// or more, drew the text more than once, or was refused unless mayRefuse.
void command(benchmark::State &state, double boundSeconds, const std::function<void()> &prepare,
             const std::function<void()> &run, bool mayRefuse = false)
{
    auto &messages = platform::Seam<platform::Prompter>::install(std::make_unique<bench::CountedMessages>());
    double worst = 0;
    long drawings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        messages.shown = 0;
        state.ResumeTiming();
        const long drawingsBefore = platform::imaging::textDrawings();
        const double cpuBefore = bench::processCpuSeconds();
        if (!bench::measurePeak(state, run))
            break;
        worst = std::max(worst, bench::processCpuSeconds() - cpuBefore);
        drawings = platform::imaging::textDrawings() - drawingsBefore;
        if (worst >= boundSeconds) {
            state.SkipWithError("the command took longer than its bound of CPU time");
            break;
        }
        if (drawings > 1) {
            state.SkipWithError("the command drew the text more than once");
            break;
        }
        if (messages.shown != 0 && !mayRefuse) {
            state.SkipWithError("the text was refused");
            break;
        }
    }
    state.counters["cpu_s"] = worst;
    state.counters["drawings"] = double(drawings);
    state.counters["refused"] = double(messages.shown);
    platform::Seam<platform::Prompter>::reset();
}

constexpr double kCoverWidth = 16000;
constexpr double kZoom = 631 / kCoverWidth;

void BM_StretchToCover(benchmark::State &state)
{
    const int which = int(state.range(0));
    const QString text = textOf(which);
    // The 700 short lines are stretched to a cover 3400 pixels wide. The canvas at zoom 1, where
    // it draws the stretched text at full scale, as printing does.
    const double cover = which == 2 ? 3400 : kCoverWidth;
    const double zoom = 1;
    std::unique_ptr<EditorText> editor;
    command(
        state, which == 0 ? 2.0 : 5.0,
        [&] {
            editor.reset();
            editor = std::make_unique<EditorText>(text, zoom);
        },
        [&] {
            // As the Edit menu's command does.
            auto &o = editor->object();
            o.stretchToWidth(roundToInt(cover * zoom), gObjMoveableObjects()->objEffects.get());
        });
    if (editor) {
        state.counters["width"] = editor->object().W();
        state.counters["percent"] = editor->object().mSnglWidthInPercent;
    }
    editor.reset();
    state.SetLabel(kLabels[which]);
}
BENCHMARK(BM_StretchToCover)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();

// The 308 lines stretched to the cover, then drawn at full scale into it, as printing and saving
// draw a side: the cover 16000 pixels wide, the canvas at its zoom.
void BM_DrawStretchedAtFullScale(benchmark::State &state)
{
    EditorText editor(textOf(1), 1);
    editor.object().stretchToWidth(int(kCoverWidth), gObjMoveableObjects()->objEffects.get());
    editor.object().renderAtZoom(kZoom, gObjMoveableObjects()->objEffects.get());
    gDblZoomFactor = kZoom;
    auto cover = platform::ImgxImage::create();
    command(
        state, 5.0, [&] { cover->blank(int(kCoverWidth), 7000, 0xFFFFFF, 255, 6, platform::kNoUndo); },
        [&] { editor.object().DrawToImgX(*cover, kZoom, gObjMoveableObjects()->objEffects.get()); });
    state.SetLabel("308 track lines stretched, at full scale");
}
BENCHMARK(BM_DrawStretchedAtFullScale)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();

// 23,900 ideographs, 10 to a line, at 2 points stretched 57500 %, drawn at zoom 1: glyphs 3
// pixels high and 1500 wide, lines 15000 pixels wide. With a font that has them, they are too
// many to fill within the bound, and the text is refused as too costly.
void BM_IdeographsStretched(benchmark::State &state)
{
    std::unique_ptr<EditorText> editor;
    command(
        state, 3.5,
        [&] {
            editor.reset();
            editor = std::make_unique<EditorText>(codePoints(0x4E00, 20000, 23900, 10), 1);
            editor->object().setFontSize(2);
            editor->object().mSnglWidthInPercent = 57500;
        },
        [&] { editor->object().renderAtZoom(1, gObjMoveableObjects()->objEffects.get()); }, true);
    if (editor) {
        state.counters["width"] = editor->object().W();
        state.counters["height"] = editor->object().H();
    }
    editor.reset();
    state.SetLabel("23900 ideographs at 2 pt stretched 57500 %");
}
BENCHMARK(BM_IdeographsStretched)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();

// 100 track lines at zoom 1, their bottom-right handle dragged down and out in steps until the
// text would be 8000 pixels high, then let go: the fit of font size and width.
void BM_HandleDragTo8000High(benchmark::State &state)
{
    std::unique_ptr<EditorText> editor;
    int moves = 0;
    command(
        state, 5.0,
        [&] {
            editor.reset();
            editor = std::make_unique<EditorText>(trackLines(100, 160), 1.0);
        },
        [&] {
            auto &model = *gObjMoveableObjects();
            auto &canvas = CanvasServices::get().editorCanvas();
            auto &o = editor->object();
            const int x = o.X() + o.W() - 2, y = o.Y() + o.H() - 2;
            model.startDragObjects(canvas, x, y, nullptr);
            // Each move takes the corner half way to the mouse.
            for (moves = 0; moves < 40 && o.H() < 8000; ++moves)
                model.doDragObjects(canvas, x, o.Y() + 2 * 8000);
            model.stopDragObjects(canvas);
        });
    if (editor && editor->object().H() < 8000)
        state.SkipWithError("the text did not reach 8000 pixels high");
    if (editor) {
        state.counters["height"] = editor->object().H();
        state.counters["moves"] = moves;
        state.counters["font_pt"] = editor->object().fontSize();
    }
    editor.reset();
    state.SetLabel("100 track lines to 8000 px high");
}
BENCHMARK(BM_HandleDragTo8000High)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
