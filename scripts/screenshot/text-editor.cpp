// Starts the program offscreen on a temporary program folder, opens the text editor for a new
// text, writes a numbered track list with a gradient fill and saves it as a PNG file.
//
//   pelmora_screenshot_texteditor <resources folder> <output folder>
#include "core/libInitialize.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/frmTextedit.h"

#include "ScreenshotSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    screenshot::Session session(argc, argv, "<resources folder> <output folder>", 2, 2);
    if (!session.ok())
        return session.exitCode();
    const QString resources = session.argument(1);
    if (!session.writeOptions("[OPTIONS]\r\nLANGUAGE=English.dll\r\nSHOWTIPS=0\r\nLASTMEDIUM=0\r\n"))
        return 1;

    StartupHooks hooks;
    hooks.createCover = [] { gObjCover(); };
    hooks.createMainWindow = [] { return static_cast<QWidget *>(new frmPelmora); };
    auto *window = qobject_cast<frmPelmora *>(Main(hooks));
    if (!window)
        return 1;
    window->timTip->stop();
    window->hide();
    screenshot::settle();

    auto *editor = new frmTextedit(nullptr);
    editor->mBoolNewText = true;
    editor->show();
    editor->Form_Load();
    screenshot::settle();
    editor->cboFont->setCurrentIndex(editor->cboFont->findText(QStringLiteral("DejaVu Sans")));
    editor->cboSize->setCurrentIndex(editor->cboSize->findText(QStringLiteral("20")));
    editor->cmdBold->click();
    editor->txtText->setText(QStringLiteral("Intro\r\nSummer Nights\r\nOcean Drive\r\nLast Dance"));
    editor->cmdCountList_Click();
    clsTextGradient &g = *gObjTextGradient();
    g.mBoolIsActive = true;
    g.mlngColor1 = 0xC03010;  // blue
    g.mlngColor2 = 0x2060E0;  // orange
    g.mObjPointEnd->mLngX = 0;
    g.mObjPointEnd->mLngY = 255;
    editor->cmdColor->setEnabled(false);
    editor->doPreview();
    screenshot::settle();

    const QString out = session.argument(2);
    QDir().mkpath(out);
    const bool ok = editor->grab().save(out + QStringLiteral("/text-editor.png"), "PNG");
    editor->reject();
    delete editor;
    delete window;
    return ok ? 0 : 1;
}
