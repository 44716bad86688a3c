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

class Importers final : public texteditor::TextImporters {
public:
    explicit Importers(std::shared_ptr<RecordingSeams> r) : r_(std::move(r)) {}
    void listMp3(texteditor::TextEditorHost &e) override { r_->run("mp3", e); }
    void listPlaylist(texteditor::TextEditorHost &e) override { r_->run("m3u", e); }
    void listFiles(texteditor::TextEditorHost &e) override { r_->run("files", e); }
    void loadTextFromFile(texteditor::TextEditorHost &e, const QString &p) override { r_->run("drop:" + p, e); }

private:
    std::shared_ptr<RecordingSeams> r_;
};

class Wizard final : public texteditor::CdTrackListWizard {
public:
    explicit Wizard(std::shared_ptr<RecordingSeams> r) : r_(std::move(r)) {}
    void showModal(texteditor::TextEditorHost &e) override { r_->run("cddb", e); }

private:
    std::shared_ptr<RecordingSeams> r_;
};

class Effects final : public texteditor::TextEffectDialogs {
public:
    explicit Effects(std::shared_ptr<RecordingSeams> r) : r_(std::move(r)) {}
    void showShadow(texteditor::TextEditorHost &e) override { r_->run("shadow", e); }
    void showGradient(texteditor::TextEditorHost &e) override { r_->run("gradient", e); }

private:
    std::shared_ptr<RecordingSeams> r_;
};

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
    seams = std::make_shared<RecordingSeams>();
    platform::Seam<texteditor::TextImporters>::install(std::make_unique<Importers>(seams));
    platform::Seam<texteditor::CdTrackListWizard>::install(std::make_unique<Wizard>(seams));
    platform::Seam<texteditor::TextEffectDialogs>::install(std::make_unique<Effects>(seams));
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
