#include "CanvasTestSupport.h"

namespace canvastest {

void CanvasTest::SetUp()
{
    ProgramTest::SetUp();
    canvas::resetForTests();
    canvas = std::make_unique<platform::ImgxCanvas>();
    canvas->resize(500, 400);
    canvas->image()->blank(500, 400, 0xFFFFFF, 255, 6, platform::kNoUndo);
    auto s = std::make_unique<TestServices>(*canvas);
    services = s.get();
    CanvasServices::install(std::move(s));
}

void CanvasTest::TearDown()
{
    canvas::resetForTests();
    canvas.reset();
    ProgramTest::TearDown();
}

std::shared_ptr<clsMoveableObjects> CanvasTest::editorModel()
{
    auto &m = gObjMoveableObjects();
    m->Class_intialize();
    m->mObjBackground->mIgxCtrlRefToBackground = canvas.get();
    return m;
}

platform::ImgxImagePtr CanvasTest::picture(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(color);
    auto p = platform::ImgxImage::create();
    p->setQImage(img, platform::kNoUndo);
    return p;
}

clsTextObject CanvasTest::text(const QString &s, double size)
{
    clsTextObject t;
    t.mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
    t.setFontSize(size);
    t.mstrText = s;
    t.TextToImgX(nullptr);
    return t;
}

} // namespace canvastest
