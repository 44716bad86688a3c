#pragma once
// The graphics editor opened over the main window, with its windows and dialogs recorded or
// worked by the test instead of shown.
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "editor/EditorDialogRunner.h"
#include "editor/EditorGlobals.h"
#include "editor/EditorWindows.h"
#include "editor/frmGrafik.h"
#include "mainwindow/Globals.h"
#include "platform/imaging/ImgxCanvas.h"

#include "MainWindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QDialog>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <deque>
#include <functional>

namespace editortest {

using namespace mainwindowtest;

// Works each dialog the editor shows with the next action, which closes it; with none left
// the dialog is closed at once.
class ScriptedDialogRunner final : public EditorDialogRunner {
public:
    int run(QDialog &dialog) override
    {
        shown.push_back(dialog.objectName());
        bool closed = false;
        QObject::connect(&dialog, &QDialog::finished, &dialog, [&closed] { closed = true; });
        if (!actions.empty()) {
            auto act = std::move(actions.front());
            actions.pop_front();
            act(dialog);
        }
        if (!closed)
            dialog.done(QDialog::Rejected);
        return dialog.result();
    }
    std::deque<std::function<void(QDialog &)>> actions;
    std::vector<QString> shown;
};

class RecordingEditorWindows final : public EditorWindows {
public:
    void showModal(const QString &form, QWidget *, bool newText) override
    {
        opened.push_back(form + (newText ? QStringLiteral(" new") : QString()));
    }
    std::vector<QString> opened;
};

class EditorTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        editorWindows = &platform::Seam<EditorWindows>::install(std::make_unique<RecordingEditorWindows>());
        dialogs = &platform::Seam<EditorDialogRunner>::install(std::make_unique<ScriptedDialogRunner>());
        start();
        window->show();
        QImage red(400, 400, QImage::Format_RGB32);
        red.fill(Qt::red);
        igxBackup[0]->setQImage(red, platform::kNoUndo);
        igxBackup[0]->clearUndo();
    }
    void TearDown() override
    {
        if (editor)
            delete editor.data();
        platform::Seam<EditorWindows>::reset();
        platform::Seam<EditorDialogRunner>::reset();
        gObjMoveableObjects().reset();
        gObjUndos().reset();
        gObjStartMoveableObjects.reset();
        MainWindowTest::TearDown();
    }

    frmGrafik &open()
    {
        editor = new frmGrafik(nullptr);
        editor->show();
        QApplication::processEvents();
        return *editor;
    }
    clsMoveableObjects &model() { return *gObjMoveableObjects(); }
    std::shared_ptr<clsCanvasObject> focused() { return model().object(model().mStrFocusedObjectIndex); }
    QColor canvasColor(QPoint p) { return QColor(editor->igxMain->grab().toImage().pixel(p)); }
    // Inserts a one-coloured picture through the open dialog.
    void insertPicture(const QString &name, QColor color, int size = 100)
    {
        choosers->files.push_back(platform::FileDialogResult{pngFile(name, size, size, color), 1});
        editor->cmdPicture_Click();
    }
    void addText(double angle)
    {
        clsTextObject t;
        t.mfntFont.setFamily(QStringLiteral("DejaVu Sans"));
        t.setFontSize(20);
        t.mstrText = QStringLiteral("Cover");
        t.mDblAngle = angle;
        t.TextToImgX(nullptr);
        model().AddClsTextObject(t);
    }
    bool enabled(const char *name) { return editor->menuEntry(QLatin1String(name))->isEnabled(); }
    bool visible(const char *name) { return editor->menuEntry(QLatin1String(name))->isVisible(); }
    // The mouse moved over the canvas with no button down.
    void moveOverCanvas(QPoint p)
    {
        QMouseEvent e(QEvent::MouseMove, p, editor->igxMain->mapToGlobal(p), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(editor->igxMain, &e);
    }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(editor->igxMain, b, {}, p);
        QTest::mouseRelease(editor->igxMain, b, {}, p);
    }

    // The real menu that the canvas or a button pops up, worked with the mouse: each name in
    // turn is the entry or the sub-menu to click in the menu that is open. A menu still open
    // after a while (an entry missing or disabled) is closed and fails the test.
    void chooseInRealMenu(QStringList path, const std::function<void()> &popUp)
    {
        platform::Seam<platform::PopupMenus>::install(platform::makeQtPopupMenus());
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&path] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || path.isEmpty())
                return;
            for (QAction *a : menu->actions())
                if (a->objectName() == path.front() || (a->menu() && a->menu()->objectName() == path.front())) {
                    const QPoint at = menu->actionGeometry(a).center();
                    QTest::mouseMove(menu, at);
                    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
                    path.pop_front();
                    return;
                }
        });
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [&path] {
            ADD_FAILURE() << "the menu is still open at " << path.join(' ').toStdString();
            // Every open menu of the chain, the innermost first.
            for (int i = 0; i < 10 && QApplication::activePopupWidget(); ++i)
                QApplication::activePopupWidget()->close();
        });
        driver.start(20);
        deadline.start(20000);
        popUp();
        driver.stop();
        deadline.stop();
        EXPECT_TRUE(path.isEmpty()) << "not reached: " << path.join(' ').toStdString();
        popups = &platform::Seam<platform::PopupMenus>::install(std::make_unique<testsupport::ScriptedPopupMenus>());
    }

    QPointer<frmGrafik> editor;
    RecordingEditorWindows *editorWindows = nullptr;
    ScriptedDialogRunner *dialogs = nullptr;
};


} // namespace editortest
