// The graphics editor's menus: the entries by name, the commands of the menu bar, the toolbar
// and the canvas wired to them, and the context and effects menus.
#include "canvas/Globals.h"
#include "canvas/clsCanvasObject.h"
#include "canvas/clsMoveableObjects.h"
#include "core/ErrorReport.h"
#include "editor/frmGrafik.h"
#include "editor/frmRotate.h"
#include "core/mdlUtil.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/PopupMenus.h"
#include "platform/widgets/ButtonPlus.h"

#include <QAction>
#include <QMenu>

namespace {

QString source(const char *procedure) { return QStringLiteral("frmGrafik.") + QLatin1String(procedure); }

} // namespace

QAction *frmGrafik::menuEntry(const QString &name) const
{
    const auto it = mActions.find(name);
    return it == mActions.end() ? nullptr : it->second;
}

QMenu *frmGrafik::menu(const QString &name) const { return findChild<QMenu *>(name); }

void frmGrafik::wireCommands()
{
    // An entry of the menu bar runs its command when triggered; an entry of the popup tree is
    // run by doPopUpMenu, which runs the command of the entry the popup returns.
    const auto on = [this](const char *name, auto f) {
        QAction *a = menuEntry(QLatin1String(name));
        if (!a)
            return;
        std::function<void()> command;
        if constexpr (std::is_member_function_pointer_v<decltype(f)>)
            command = [this, f] { (this->*f)(); };
        else
            command = f;
        if (QLatin1String(name).startsWith(QLatin1String("mnuPopUp"), Qt::CaseInsensitive))
            mPopUpCommands[a] = std::move(command);
        else
            connect(a, &QAction::triggered, this, std::move(command));
    };
    connect(cmdOK, &QPushButton::clicked, this, &frmGrafik::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmGrafik::cmdCancel_Click);
    connect(cmdPicture, &QPushButton::clicked, this, &frmGrafik::cmdPicture_Click);
    connect(cmdText, &QPushButton::clicked, this, &frmGrafik::cmdText_Click);
    connect(cmdEditText, &QPushButton::clicked, this, &frmGrafik::editFocusedText);
    connect(cmdEffects, &QPushButton::clicked, this, [this] {
        const QRect g = cmdEffects->geometry();
        doPopUpMenu(g.x() + g.width(), g.y(), 1);
    });
    connect(cmdRotate, &QPushButton::clicked, this, &frmGrafik::cmdRotate_Click);
    connect(cmdRotateLeft, &QPushButton::clicked, this, [this] {
        frmRotate::doRotate(-90.0);
        igxMain->setFocus();
    });
    connect(cmdRotateRight, &QPushButton::clicked, this, [this] {
        frmRotate::doRotate(90.0);
        igxMain->setFocus();
    });
    connect(cmdSharpen, &QPushButton::clicked, this, [this] { doSharpen(50); });
    connect(cmdSoften, &QPushButton::clicked, this, [this] { doSoften(50); });
    connect(cmdSave, &QPushButton::clicked, this, &frmGrafik::mnuSave_Click);
    connect(cmdUndoOverview, &QPushButton::clicked, this, &frmGrafik::cmdUndoOverview_Click);
    connect(cmdBackColor, &QPushButton::clicked, this, &frmGrafik::doNewCover);
    connect(cmdBlankSheet, &QPushButton::clicked, this, &frmGrafik::cmdBlankSheet_Click);

    on("mnuExit", &frmGrafik::mnuExit_Click);
    on("mnuDelete", &frmGrafik::doDeleteSelectedItem);
    on("mnuPopupDelete", &frmGrafik::doDeleteSelectedItem);
    on("mnuEditText", &frmGrafik::editFocusedText);
    on("mnuPopUpEditText", &frmGrafik::editFocusedText);
    on("mnuConvertTextToPicture", &frmGrafik::convertTextToPicture);
    on("mnuPopUpConvertTextToPicture", &frmGrafik::convertTextToPicture);
    on("mnuStretchText", &frmGrafik::doStretch);
    on("mnuPopUpStretchText", &frmGrafik::doStretch);
    on("mnuInsertGrafik", &frmGrafik::cmdPicture_Click);
    on("mnuInsertText", &frmGrafik::cmdText_Click);
    on("mnuPopUpLayerToForeground", &frmGrafik::moveToForeground);
    on("mnuPopUpLayerToBackground", &frmGrafik::moveToBackground);
    on("mnuPopUpCenterHorizontal", [this] { doCenterObject(1); });
    on("mnuPopUpCenterVertical", [this] { doCenterObject(2); });
    on("mnuPopUpCenterBoth", [this] { doCenterObject(0); });
    on("mnuLoad", &frmGrafik::mnuLoad_Click);
    on("mnuSave", &frmGrafik::mnuSave_Click);
    on("mnuSaveAs", &frmGrafik::mnuSaveAs_Click);
    connect(menu(QStringLiteral("mnuEdit")), &QMenu::aboutToShow, this, &frmGrafik::mnuEdit_Click);
    on("mnuUndo", &frmGrafik::mnuUndo_Click);
    on("mnuCopy", &frmGrafik::mnuCopy_Click);
    on("mnuPopUpCopy", &frmGrafik::mnuCopy_Click);
    on("mnuPaste", &frmGrafik::mnuPaste_Click);
    on("mnuPopUpPaste", &frmGrafik::mnuPaste_Click);
    on("mnuDeleteAll", &frmGrafik::mnuDeleteAll_Click);
    on("mnuPopupRotate", &frmGrafik::cmdRotate_Click);
    for (const char *prefix : {"", "PopUp"}) {
        const auto entry = [prefix](const char *name) { return QByteArray("mnu") + prefix + name; };
        on(entry("AutoBrightness").constData(), &frmGrafik::doAutoBrightness);
        on(entry("Grayscale").constData(), &frmGrafik::doGrayscale);
        on(entry("Negative").constData(), &frmGrafik::doNegativ);
        on(entry("FlipHorizontal").constData(), [this] { doFlip(0); });
        on(entry("FlipVertical").constData(), [this] { doFlip(1); });
        // The percentage of an entry is its index.
        for (const char *pct : {"25", "50", "75", "100"}) {
            const QByteArray sharpen = entry("SharpenPercent_") + pct, soften = entry("SoftenPercent_") + pct;
            if (QAction *a = menuEntry(QString::fromLatin1(sharpen)))
                on(sharpen.constData(), [this, a] { doSharpen(a->property("index").toInt()); });
            if (QAction *a = menuEntry(QString::fromLatin1(soften)))
                on(soften.constData(), [this, a] { doSoften(a->property("index").toInt()); });
        }
    }
    on("mnuNewCover", &frmGrafik::doNewCover);
    on("mnuManualBrightness", &frmGrafik::editBrightness);
    on("mnuPopUpManualBrightness", &frmGrafik::editBrightness);
    on("mnuSharpenPercentManual", [this] { doSharpSoft(true); });
    on("mnuPopUpSharpenPercentManual", [this] { doSharpSoft(true); });
    on("mnuSoftenPercentManual", [this] { doSharpSoft(false); });
    on("mnuPopUpSoftenPercentManual", [this] { doSharpSoft(false); });

    connect(igxMain, &platform::ImgxCanvas::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) { igxMain_MouseDown(b, x, y); });
    connect(igxMain, &platform::ImgxCanvas::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) { igxMain_MouseMove(x, y); });
    connect(igxMain, &platform::ImgxCanvas::mouseUp, this, [this] { igxMain_MouseUp(); });
    connect(igxMain, &platform::ImgxCanvas::doubleClicked, this, &frmGrafik::editFocusedText);
    connect(igxMain, &platform::ImgxCanvas::keyDown, this, [this](int key, Qt::KeyboardModifiers) { igxMain_KeyDown(key); });
    // The objects, then the fold lines of the side's format over them, at every repaint.
    connect(igxMain, &platform::ImgxCanvas::paint, this, [this](platform::imaging::DeviceContext &hdc) {
        gObjMoveableObjects()->renderObjects(hdc);
        if (!mBoolUnloaded)
            gObjCover().SetBorderIgX(hdc);
    });
    connect(igxMain, &platform::ImgxCanvas::filesDropped, this,
            [this](const QStringList &paths, int x, int y) {
                igxMain_FilesDropped(paths);
                if (auto o = focusedObject(); o && mBoolDropPending) {
                    o->mObjPointMousePos->mLngX = x;
                    o->mObjPointMousePos->mLngY = y;
                    igxMain->refresh();
                    gObjMoveableObjects()->showFocus(*igxMain);
                }
                mBoolDropPending = false;
            });
}

void frmGrafik::doPopUpMenu(int x, int y, int mode)
{
    QAction *chosen = nullptr;
    try {
        const auto show = [this](const char *name, bool on) {
            if (QAction *a = menuEntry(QLatin1String(name)))
                a->setVisible(on);
        };
        const auto o = focusedObject();
        QString type;
        if (!o) {
            type = QStringLiteral("clsPictureObject");
            for (const char *n : {"mnuPopupDelete", "mnuPopupRotate", "mnuPopUpCopy", "mnuPopUpCenter",
                                  "mnuPopUpConvertTextToPicture", "mnuPopUpStretchText", "mnuPopUpLayerToForeground",
                                  "mnuPopUpLayerToBackground"})
                show(n, false);
            show("mnuPopUpEffects", true);
        } else {
            for (const char *n : {"mnuPopupDelete", "mnuPopupRotate", "mnuPopUpLine1", "mnuPopUpCopy", "mnuPopUpCenter",
                                  "mnuPopUpLayerToForeground", "mnuPopUpLayerToBackground"})
                show(n, true);
            type = o->typeName();
        }
        if (mode == 1)
            type = QStringLiteral("Effects");

        QMenu *target = nullptr;
        QPoint at;
        if (type == QLatin1String("clsPictureObject")) {
            show("mnuPopUpEditText", false);
            show("mnuPopUpConvertTextToPicture", false);
            show("mnuPopUpStretchText", false);
            show("mnuPopUpEffects", true);
            show("mnuPopUpSharpenEffects", true);
            show("mnuPopUpSoftenEffects", true);
            target = menu(QStringLiteral("mnuPopUpMenu"));
            at = igxMain->mapToGlobal(QPoint(x, y));
        } else if (type == QLatin1String("clsTextObject")) {
            show("mnuPopUpEditText", true);
            show("mnuPopUpConvertTextToPicture", true);
            show("mnuPopUpStretchText", rotationClass(o->mDblAngle) > 0);
            show("mnuPopUpEffects", false);
            show("mnuPopUpSharpenEffects", false);
            show("mnuPopUpSoftenEffects", false);
            target = menu(QStringLiteral("mnuPopUpMenu"));
            at = igxMain->mapToGlobal(QPoint(x, y));
        } else if (type == QLatin1String("Effects")) {
            show("mnuPopUpEditText", false);
            show("mnuPopUpConvertTextToPicture", false);
            show("mnuPopUpStretchText", false);
            show("mnuPopUpSharpenEffects", true);
            show("mnuPopUpSoftenEffects", true);
            show("mnuPopUpCenter", false);
            show("mnuPopUpLayerToForeground", false);
            show("mnuPopUpLayerToBackground", false);
            target = menu(QStringLiteral("mnuPopUpEffects"));
            at = centralWidget()->mapToGlobal(QPoint(x, y));
        } else {
            show("mnuPopUpEditText", false);
            show("mnuPopUpSharpenEffects", false);
            show("mnuPopUpSoftenEffects", false);
            show("mnuPopUpLayerToForeground", false);
            show("mnuPopUpLayerToBackground", false);
            show("mnuPopUpLine1", false);
        }
        if (target)
            chosen = platform::PopupMenus::get().popup(*target, at);
    } catch (...) {
        reportError(QStringLiteral("ERR_POPUPMENU"), source("doPopUpMenu"));
        return;
    }
    // The chosen entry's command runs here, outside the menu, once.
    if (chosen)
        if (const auto command = mPopUpCommands.find(chosen); command != mPopUpCommands.end())
            command->second();
}
