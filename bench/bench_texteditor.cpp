// The text editor: one preview of a three-line text of 250 characters at 14 pt into a
// 400 x 120 preview, plain and with shadow and gradient; numbers on and off over a text of
// 10,000 lines (both list commands with their previews); OK on a text of 16 MiB, refused,
// and on the largest text of track lines whose picture fits, with the peak memory of each;
// OK on texts whose characters cost more to lay out than their size shows (an "a" with
// 4 million accents, 16 million zero-width spaces: refused; the costliest texts within the
// bounds: drawn), each within 5 s of CPU, and the preview of the accents.
#include "BenchCanvas.h"
#include "PeakMemory.h"
#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsTextGradient.h"
#include "canvas/clsTextShadow.h"
#include "platform/ProcessMemory.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/ui/Prompter.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/frmTextedit.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

#include <ctime>

#include "BenchMain.h"

namespace {

std::unique_ptr<frmTextedit> openEditor()
{
    auto f = std::make_unique<frmTextedit>();
    f->mBoolNewText = true;
    f->igxPreview->resize(400, 120);
    f->Form_Load();
    return f;
}

QString threeLines()
{
    QString line = QStringLiteral("Track list of the summer tour, side one and two; ");
    QString text;
    while (text.size() < 250)
        text += line;
    text.truncate(248);
    text.replace(82, 2, QStringLiteral("\r\n"));
    text.replace(166, 2, QStringLiteral("\r\n"));
    return text;
}

void BM_Preview(benchmark::State &state)
{
    auto f = openEditor();
    f->txtText->setText(threeLines());
    f->cboSize->setCurrentIndex(f->cboSize->findText(QStringLiteral("14")));
    const bool effects = state.range(0) != 0;
    gObjTextShadow()->mBoolIsActive = effects;
    gObjTextGradient()->mBoolIsActive = effects;
    gObjTextGradient()->mlngColor1 = 0x0000FF;
    for (auto _ : state)
        f->doPreview();
    state.SetLabel(effects ? "shadow and gradient" : "plain");
    f->reject();
}
BENCHMARK(BM_Preview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NumbersOnAndOff(benchmark::State &state)
{
    auto f = openEditor();
    QStringList lines;
    for (int i = 0; i < state.range(0); ++i)
        lines << QStringLiteral("Artist %1 - Title of track %1").arg(i);
    f->txtText->setText(lines.join(QStringLiteral("\r\n")));
    for (auto _ : state) {
        f->cmdCountList_Click();
        f->cmdCountList_Click();
    }
    f->reject();
}
BENCHMARK(BM_NumbersOnAndOff)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Enter in the middle of a numbered list of 20,000 lines (the lines after it are renumbered).
void BM_EnterInLongList(benchmark::State &state)
{
    auto f = openEditor();
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines << QStringLiteral("Artist %1 - Title of track %1").arg(i);
    f->txtText->setText(lines.join(QStringLiteral("\r\n")));
    f->cmdCountList_Click();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    for (auto _ : state) {
        f->txtText->setSelStart(int(f->txtText->text().indexOf(QStringLiteral("track 9999"))));
        QApplication::sendEvent(f->txtText, &enter);
        QApplication::sendEvent(f->txtText, &back);
    }
    state.SetLabel("Enter and Backspace");
    f->reject();
}
BENCHMARK(BM_EnterInLongList)->Unit(benchmark::kMillisecond);


// Track lines of the editor's font: `lines` of them, or (with 0) as many as a picture holds.
QString trackLines(frmTextedit &f, int lines)
{
    const auto text = [](int n) {
        QString t;
        for (int i = 1; i <= n; ++i)
            t += QStringLiteral("Track %1 - Some Artist - A Title Of Some Length\r\n").arg(i, 5, 10, QLatin1Char('0'));
        t.chop(2);
        return t;
    };
    if (lines > 0)
        return text(lines);
    const auto st = clsTextObject::textStyle(f.txtText->font(), f.cboSize->currentText().toDouble(), 100, 0, 0, 1);
    int low = 1, high = 4096;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (platform::imaging::measureText(st, text(mid)).height() <= platform::kMaxImageSide)
            low = mid;
        else
            high = mid - 1;
    }
    return text(low);
}

// OK on the text: the time and the peak growth of the commit, and the program's peak memory,
// which must stay under 1 GiB. With a bound, OK must take less CPU time than that (the
// process's, all threads).
void commit(benchmark::State &state, const std::function<QString(frmTextedit &)> &textOf, bool fits,
            double cpuBoundSeconds = 0)
{
    CanvasServices::install(std::make_unique<bench::Canvas>(500, 400));
    auto &messages = platform::Seam<platform::Prompter>::install(std::make_unique<bench::CountedMessages>());
    double programMiB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A model of its own for each OK: the texts added before are gone.
        gObjMoveableObjects() = std::make_shared<clsMoveableObjects>();
        gObjMoveableObjects()->Class_intialize();
        auto f = openEditor();
        f->txtText->setText(textOf(*f));
        messages.shown = 0;
        state.ResumeTiming();
        const double cpuBefore = bench::processCpuSeconds();
        if (!bench::measurePeak(state, [&] { f->cmdOK_Click(); }))
            return;
        const double cpu = bench::processCpuSeconds() - cpuBefore;
        state.PauseTiming();
        // The mark was reset before OK: it is the highest the program reached during it.
        programMiB = std::max(programMiB, double(platform::processStatusKb("VmHWM:")) / 1024.0);
        const bool added = gObjMoveableObjects()->colMoveableObjects.count() == 1;
        state.counters["lines"] = double(f->txtText->document()->blockCount());
        f->reject();
        if (added != fits || messages.shown != (fits ? 0 : 1)) {
            state.SkipWithError(fits ? "the text that fits was not added" : "the text was not refused with one message");
            break;
        }
        if (cpuBoundSeconds > 0 && cpu >= cpuBoundSeconds) {
            state.SkipWithError("OK took longer than its bound of CPU time");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["program_peak_MiB"] = programMiB;
    if (programMiB >= 1024)
        state.SkipWithError("the program's peak memory reached 1 GiB");
    platform::Seam<platform::Prompter>::reset();
    CanvasServices::reset();
}

void commit(benchmark::State &state, int lines, bool fits)
{
    commit(state, [lines](frmTextedit &f) { return trackLines(f, lines); }, fits);
}

void BM_CommitTextOf16MiB(benchmark::State &state)
{
    // About 16 MiB of track lines of 52 and 53 bytes.
    commit(state, int(16LL * 1024 * 1024 / 53), false);
}
BENCHMARK(BM_CommitTextOf16MiB)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CommitLargestTextThatFits(benchmark::State &state) { commit(state, 0, true); }
BENCHMARK(BM_CommitLargestTextThatFits)->Unit(benchmark::kMillisecond)->Iterations(2);

// Texts whose characters cost more to lay out than their size shows, each one line: an "a"
// with 4 million combining accents and 16 million zero-width spaces, refused with one message;
// and the costliest texts at the bounds, drawn: characters of many scripts mixed (a font
// looked up for nearly every one), as many as the bounds let through, and 50,000 characters of
// letters with 64 accents each. OK on each must take less than 5 s of CPU.
QString unboundedText(int which)
{
    switch (which) {
    case 0: return "a" + QString(4'000'000, QChar(0x301));
    case 1: return QString(16'000'000, QChar(0x200B));
    case 2: {
        // Lines of 500 characters, so that the picture fits.
        QString t;
        std::uint32_t seed = 7;
        for (int n = 0; t.size() < platform::imaging::kMaxTextCharacters;) {
            seed = seed * 1103515245u + 12345u;
            const char16_t c = char16_t(0x20 + (seed >> 8) % (0xD7FF - 0x20));
            const QChar::Category k = QChar::category(char32_t(c));
            if (k == QChar::Other_NotAssigned || QChar::isMark(char32_t(c)) || k == QChar::Separator_Line
                || k == QChar::Separator_Paragraph)
                continue;
            t += QChar(c);
            if (++n % 500 == 0 && t.size() + 2 < platform::imaging::kMaxTextCharacters)
                t += QStringLiteral("\r\n");
        }
        // The longest beginning of it within the bounds.
        qsizetype low = 0, high = t.size();
        while (low < high) {
            const qsizetype mid = low + (high - low + 1) / 2;
            if (platform::imaging::beyondTextBounds(platform::imaging::TextStyle{}, t.left(mid)))
                high = mid - 1;
            else
                low = mid;
        }
        return t.left(low);
    }
    case 4: {
        // 50,000 characters of track lines of 160 characters.
        QString t;
        const QString line = QStringLiteral("07 - An artist of songs - A title of a song ").repeated(4).left(160);
        while (t.size() + line.size() + 2 <= platform::imaging::kMaxTextCharacters)
            t += line + QStringLiteral("\r\n");
        return t;
    }
    default: return bench::accentedLetters();
    }
}

void BM_CommitCostlyCharacters(benchmark::State &state)
{
    const int which = int(state.range(0));
    const QString text = unboundedText(which);
    const bool fits = which >= 2;
    commit(state, [&](frmTextedit &) { return text; }, fits, 5.0);
    static const char *const labels[] = {"a + 4M accents, refused", "16M zero-width spaces, refused",
                                         "mixed scripts, drawn", "50000 with 64 accents each, drawn"};
    state.SetLabel(labels[which]);
}
BENCHMARK(BM_CommitCostlyCharacters)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();

// Edit > Stretch text to 16000 pixels on the costliest texts of many scripts within the
// bounds and on 50,000 characters of track lines, which measures them some twenty times:
// less than 5 s of CPU each.
void BM_StretchCostlyCharacters(benchmark::State &state)
{
    auto &messages = platform::Seam<platform::Prompter>::install(std::make_unique<bench::CountedMessages>());
    clsTextObject t;
    t.mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
    t.setFontSize(8);
    t.mstrText = unboundedText(int(state.range(0)));
    for (auto _ : state) {
        t.mSnglWidthInPercent = 100;
        const double cpuBefore = bench::processCpuSeconds();
        t.stretchToWidth(16000, nullptr);
        if (bench::processCpuSeconds() - cpuBefore >= 5.0) {
            state.SkipWithError("the stretch took longer than 5 s of CPU time");
            break;
        }
    }
    state.counters["width"] = t.W();
    state.counters["messages"] = messages.shown;
    platform::Seam<platform::Prompter>::reset();
    state.SetLabel(state.range(0) == 2 ? "mixed scripts" : "50000 of track lines");
}
BENCHMARK(BM_StretchCostlyCharacters)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();

// The preview of the text of 4 million accents, as each key typed draws it.
void BM_PreviewOfCostlyCharacters(benchmark::State &state)
{
    auto f = openEditor();
    f->txtText->setPlainText(unboundedText(0));
    for (auto _ : state)
        f->doPreview();
    state.SetLabel("a + 4M accents");
    f->reject();
}
BENCHMARK(BM_PreviewOfCostlyCharacters)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
