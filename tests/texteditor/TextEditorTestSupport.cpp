#include "TextEditorTestSupport.h"

#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "texteditor/Globals.h"

namespace texteditortest {
namespace {

class Services final : public CanvasServices {
public:
    Services(platform::ImgxCanvas &c, int &adapts) : canvas_(c), adapts_(adapts) {}
    platform::ImgxCanvas &editorCanvas() override { return canvas_; }
    void adaptObjectSizeToZoom(const QString &key) override
    {
        ++adapts_;
        ::adaptObjectSizeToZoom(*gObjMoveableObjects(), key);
    }

private:
    platform::ImgxCanvas &canvas_;
    int &adapts_;
};

// Hand the one recorder to the three seams.
class ImportersProxy final : public texteditor::TextImporters {
public:
    explicit ImportersProxy(RecordingSeams &s) : s_(s) {}
    void listMp3(texteditor::TextEditorHost &e) override { s_.listMp3(e); }
    void listPlaylist(texteditor::TextEditorHost &e) override { s_.listPlaylist(e); }
    void listFiles(texteditor::TextEditorHost &e) override { s_.listFiles(e); }
    void loadTextFromFile(texteditor::TextEditorHost &e, const QString &p) override { s_.loadTextFromFile(e, p); }

private:
    RecordingSeams &s_;
};

class WizardProxy final : public texteditor::CdTrackListWizard {
public:
    explicit WizardProxy(RecordingSeams &s) : s_(s) {}
    void showModal(texteditor::TextEditorHost &e) override { s_.showModal(e); }

private:
    RecordingSeams &s_;
};

class EffectsProxy final : public texteditor::TextEffectDialogs {
public:
    explicit EffectsProxy(RecordingSeams &s) : s_(s) {}
    void showShadow(texteditor::TextEditorHost &e) override { s_.showShadow(e); }
    void showGradient(texteditor::TextEditorHost &e) override { s_.showGradient(e); }

private:
    RecordingSeams &s_;
};

RecordingSeams &recorder()
{
    static RecordingSeams r;
    return r;
}

} // namespace

void TextEditorTest::SetUp()
{
    ProgramTest::SetUp();
    static const bool registered = [] {
        testsupport::addStateReset([] { texteditor::resetForTests(); });
        return true;
    }();
    (void)registered;
    canvas::resetForTests();
    texteditor::resetForTests();
    canvas = std::make_unique<platform::ImgxCanvas>();
    canvas->resize(500, 400);
    canvas->image()->blank(500, 400, 0xFFFFFF, 255, 6, platform::kNoUndo);
    CanvasServices::install(std::make_unique<Services>(*canvas, adaptCalls));
    auto &model = gObjMoveableObjects();
    model->Class_intialize();
    model->mObjBackground->mIgxCtrlRefToBackground = canvas.get();
    seams = &recorder();
    seams->calls.clear();
    seams->action = nullptr;
    platform::Seam<texteditor::TextImporters>::install(std::make_unique<ImportersProxy>(*seams));
    platform::Seam<texteditor::CdTrackListWizard>::install(std::make_unique<WizardProxy>(*seams));
    platform::Seam<texteditor::TextEffectDialogs>::install(std::make_unique<EffectsProxy>(*seams));
}

void TextEditorTest::TearDown()
{
    platform::Seam<texteditor::TextImporters>::reset();
    platform::Seam<texteditor::CdTrackListWizard>::reset();
    platform::Seam<texteditor::TextEffectDialogs>::reset();
    CanvasServices::reset();
    canvas::resetForTests();
    canvas.reset();
    ProgramTest::TearDown();
}

std::unique_ptr<frmTextedit> TextEditorTest::open(bool newText)
{
    auto f = std::make_unique<frmTextedit>();
    f->mBoolNewText = newText;
    f->show();
    f->Form_Load();
    return f;
}

QRect TextEditorTest::ink(const QImage &image)
{
    QRect r;
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace texteditortest
