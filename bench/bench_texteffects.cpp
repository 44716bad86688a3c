// The text effect dialogs with the auto-preview on: one step of the shadow's offset spinner
// (save, apply and the text editor's preview of a 250-character text with the shadow), and one
// direction button of the gradient dialog (its sample plus the text editor's preview with the
// gradient). The text editor's preview is drawn here as the text editor draws it: a copy of
// its blank background with the text rendered by the text object's own drawing on it.
#include "canvas/Globals.h"
#include "canvas/clsTextObject.h"
#include "platform/imaging/ImgxImage.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextEditorSeams.h"
#include "texteditor/frmTextGradient.h"
#include "texteditor/frmTextShadow.h"

#include <QScrollBar>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

namespace {

// A track list of 250 characters, line breaks included: as much as the preview draws.
QString trackList()
{
    QString text;
    for (int i = 1; text.size() < 250; ++i)
        text += QStringLiteral("%1. Artist - Song Title\r\n").arg(i, 2, 10, QLatin1Char('0'));
    return text.left(250);
}

class PreviewingEditor final : public texteditor::TextEditorHost {
public:
    PreviewingEditor()
    {
        blank->blank(540, 180, 0xFFFFFF, 0, platform::ImgxImage::kTypeInMemory, platform::kNoUndo);
        object.mfntFont.setFamily(QStringLiteral("Arial"));
        object.setFontSize(12);
        object.mstrText = trackList();
    }
    QWidget *window() override { return &owner; }
    QString text() const override { return object.mstrText; }
    void setText(const QString &) override {}
    void focusTextAtEnd() override {}
    bool previewEnabled() const override { return true; }
    void setPreviewEnabled(bool) override {}
    bool autoPreview() const override { return true; }
    void doPreview() override
    {
        preview->importImage(*blank, platform::kNoUndo);
        object.mObjTextShadow->copy(*gObjTextShadow());
        object.mObjTextGradient->copy(*gObjTextGradient());
        object.TextToImgX(nullptr);
        preview->drawImage(*object.mImgXPicture, 0, 1, platform::kNoUndo);
        benchmark::DoNotOptimize(preview->qimage().constBits());
    }

    QWidget owner;
    clsTextObject object;
    platform::ImgxImagePtr blank = platform::ImgxImage::create();
    platform::ImgxImagePtr preview = platform::ImgxImage::create();
};

void BM_shadowSpinnerStep(benchmark::State &state)
{
    writeDefaultTextEffects(); // the records as the text editor's opening writes them
    PreviewingEditor editor;
    frmTextShadow dlg(editor);
    bool up = true;
    for (auto _ : state) {
        dlg.updXPos->triggerAction(up ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        up = !up;
    }
    state.counters["blur"] = dlg.workShadow().mDblBlurLevel;
}
BENCHMARK(BM_shadowSpinnerStep)->Unit(benchmark::kMillisecond);

void BM_gradientDirectionButton(benchmark::State &state)
{
    writeDefaultTextEffects();
    PreviewingEditor editor;
    frmTextGradient dlg(editor);
    ButtonPlus *const buttons[] = {dlg.cmdUp, dlg.cmdDownRight, dlg.cmdCenter, dlg.cmdLeft};
    size_t i = 0;
    for (auto _ : state)
        buttons[i++ % 4]->click();
}
BENCHMARK(BM_gradientDirectionButton)->Unit(benchmark::kMillisecond);

// The sample alone: the gradient dialog's direction button with the text editor's preview free.
void BM_gradientSampleOnly(benchmark::State &state)
{
    writeDefaultTextEffects();
    PreviewingEditor editor;
    frmTextGradient dlg(editor);
    editor.object.mstrText = QStringLiteral(" ");
    ButtonPlus *const buttons[] = {dlg.cmdUp, dlg.cmdDownRight, dlg.cmdCenter, dlg.cmdLeft};
    size_t i = 0;
    for (auto _ : state)
        buttons[i++ % 4]->click();
}
BENCHMARK(BM_gradientSampleOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runGuiBenchmarks(argc, argv); }
