// Saves the gradient dialog with the auto-preview on, beside the window it is opened over,
// whose preview shows a text with a shadow and the dialog's gradient, as one PNG file. The
// owner is a plain window drawing the preview the way the text editor does (a blank
// background with the text object's own rendering on it).
//
//   pelmora_screenshot_texteffects <resources folder> <output folder>
#include "canvas/Globals.h"
#include "canvas/clsTextObject.h"
#include "core/libLanguage.h"
#include "platform/imaging/ImgxImage.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "texteditor/Globals.h"
#include "texteditor/TextEditorSeams.h"
#include "texteditor/frmTextGradient.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class PreviewWindow final : public texteditor::TextEditorHost {
public:
    PreviewWindow()
    {
        owner.setWindowTitle(QStringLiteral("Text-Editor"));
        owner.setFixedSize(420, 200);
        auto *label = new QLabel(QStringLiteral("Preview:"), &owner);
        label->setGeometry(8, 8, 200, 17);
        box = new PictureBox(&owner);
        box->setGeometry(8, 28, 404, 164);
        object.mfntFont.setFamily(QStringLiteral("Arial"));
        object.mfntFont.setBold(true);
        object.setFontSize(40);
        object.mstrText = QStringLiteral("Summer Mix\r\n2026");
        object.mbyteAlignment = 1;
        object.mdblAntiAlias = 2;
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
        auto preview = platform::ImgxImage::create();
        preview->blank(box->width(), box->height(), 0xFFFFFF, 255, platform::ImgxImage::kTypeInMemory,
                       platform::kNoUndo);
        object.mObjTextShadow->copy(*gObjTextShadow());
        object.mObjTextGradient->copy(*gObjTextGradient());
        object.TextToImgX(nullptr);
        preview->drawImage(*object.mImgXPicture, (box->width() - object.mImgXPicture->width()) / 2, 1, platform::kNoUndo);
        box->setPicture(preview->qimage());
    }

    QWidget owner;
    PictureBox *box = nullptr;
    clsTextObject object;
};

// A window as it would stand on the desktop: its caption above its contents.
QImage framed(QWidget &w)
{
    const QImage inside = w.grab().toImage();
    QImage out(inside.width() + 2, inside.height() + 24, QImage::Format_ARGB32);
    out.fill(QColor(90, 90, 90));
    QPainter p(&out);
    p.fillRect(1, 1, inside.width(), 22, QColor(60, 90, 150));
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold));
    p.drawText(QRect(8, 1, inside.width() - 8, 22), Qt::AlignVCenter | Qt::AlignLeft, w.windowTitle());
    p.drawImage(1, 23, inside);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <resources folder> <output folder>\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    if (!screenshot::makeProgramFolder(home))
        return 1;
    QApplication app(argc, argv);
    if (!screenshot::seedProgramFolder(home, QString::fromLocal8Bit(argv[1])))
        return 1;
    setLanguage(home.path() + QStringLiteral("/language/English.dll"));

    // The records as the text editor's opening writes them, with a shadow already chosen.
    clsTextShadow &shadow = *gObjTextShadow();
    shadow.mLngX = 4;
    shadow.mLngY = 4;
    shadow.mDblBlurLevel = 3;
    shadow.mByteOpacitiy = 170;
    shadow.mBoolIsActive = true;
    gObjDefaultTextGradient = std::make_shared<clsTextGradient>();
    clsTextGradient &d = *gObjDefaultTextGradient;
    d.mlngColor1 = 0xFFFFFF;
    d.mlngColor2 = 0;
    d.mObjPointStart->mLngX = 0;
    d.mObjPointStart->mLngY = 0;
    d.mObjPointEnd->mLngX = 255;
    d.mObjPointEnd->mLngY = 0;
    clsTextGradient &g = *gObjTextGradient();
    g.copy(d);
    g.mlngColor1 = 0x2060F0;   // orange
    g.mlngColor2 = 0x902020;   // dark blue
    g.mObjPointEnd->mLngX = 0;
    g.mObjPointEnd->mLngY = 255;

    PreviewWindow editor;
    editor.owner.show();
    frmTextGradient dialog(editor);
    dialog.show();
    screenshot::settle();
    dialog.cmdUp->click();
    screenshot::settle();

    const QImage left = framed(editor.owner);
    const QImage right = framed(dialog);
    QImage shot(left.width() + right.width() + 36, std::max(left.height(), right.height()) + 24,
                QImage::Format_ARGB32);
    shot.fill(QColor(225, 228, 232));
    QPainter p(&shot);
    p.drawImage(12, 12, left);
    p.drawImage(left.width() + 24, 12, right);
    p.end();
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    return shot.save(out + QStringLiteral("/text-effects.png"), "PNG") ? 0 : 1;
}
