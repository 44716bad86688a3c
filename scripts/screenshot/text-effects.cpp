// Saves the gradient dialog with the auto-preview on, beside the text editor it is opened
// over, whose preview shows a text with a shadow and the dialog's gradient, as one PNG file.
//
//   pelmora_screenshot_texteffects <resources folder> <output folder>
#include "canvas/Globals.h"
#include "core/libLanguage.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/frmTextGradient.h"
#include "texteditor/frmTextedit.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPainter>

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output folder>", 2, 2);
    if (!session.ok())
        return session.exitCode();
    setLanguage(session.home() + QStringLiteral("/language/English.dll"));

    auto *editor = new frmTextedit(nullptr);
    editor->mBoolNewText = true;
    editor->show();
    editor->Form_Load();
    screenshot::settle();
    editor->cboFont->setCurrentIndex(editor->cboFont->findText(QStringLiteral("DejaVu Sans")));
    editor->cboSize->setCurrentIndex(editor->cboSize->findText(QStringLiteral("28")));
    editor->cmdBold->click();
    editor->cmdAlignCenter->click();
    editor->cboAntiAlias->setCurrentIndex(2);
    editor->txtText->setText(QStringLiteral("Summer Mix\r\n2026"));

    // A shadow already chosen, and the gradient the dialog is about to change.
    clsTextShadow &shadow = *gObjTextShadow();
    shadow.mLngX = 4;
    shadow.mLngY = 4;
    shadow.mDblBlurLevel = 3;
    shadow.mByteOpacitiy = 170;
    shadow.mBoolIsActive = true;
    clsTextGradient &g = *gObjTextGradient();
    g.mlngColor1 = 0x2060F0;   // orange
    g.mlngColor2 = 0x902020;   // dark blue
    g.mObjPointEnd->mLngX = 0;
    g.mObjPointEnd->mLngY = 255;
    editor->doPreview();
    screenshot::settle();

    auto *dialog = new frmTextGradient(editor->host());
    dialog->show();
    screenshot::settle();
    dialog->cmdUp->click();
    // The colour button as the effects list leaves it after the dialog with the gradient on.
    editor->cmdColor->setEnabled(false);
    screenshot::settle();

    const QImage left = screenshot::framed(*editor);
    const QImage right = screenshot::framed(*dialog);
    QImage shot(left.width() + right.width() + 36, std::max(left.height(), right.height()) + 24,
                QImage::Format_ARGB32);
    shot.fill(QColor(225, 228, 232));
    QPainter p(&shot);
    p.drawImage(12, 12, left);
    p.drawImage(left.width() + 24, 12, right);
    p.end();
    const QString out = session.argument(2);
    QDir().mkpath(out);
    const bool ok = shot.save(out + QStringLiteral("/text-effects.png"), "PNG");
    dialog->cmdOK->click();
    delete dialog;
    editor->reject();
    delete editor;
    return ok ? 0 : 1;
}
