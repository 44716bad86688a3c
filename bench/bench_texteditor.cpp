// The text editor: one preview of a three-line text of 250 characters at 14 pt into a
// 400 x 120 preview, plain and with shadow and gradient; numbers on and off over a text of
// 10,000 lines (both list commands with their previews).
#include "canvas/Globals.h"
#include "canvas/clsTextGradient.h"
#include "canvas/clsTextShadow.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/frmTextedit.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

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

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
