// The commands of the main window that open the program's other windows, step back an image
// change, switch the always-on-top state, open the help and end the program.
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "canvas/clsMoveableObjects.h"
#include "mainwindow/Globals.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/frmPelmora.h"
#include "mainwindow/frmQuickLoad.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/ui/UrlOpener.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

using platform::setPointer;

namespace {

void dropTopmost(QWidget *w) { setMainFormTopmost(w, false, true); }

} // namespace

void frmPelmora::cmdEditor_Click(int side)
{
    dropTopmost(this);
    mBoolReady = false;
    mIntActualSide = std::int16_t(side);
    QApplication::processEvents();
    setPointer(platform::Pointer::Hourglass);
    // The main window goes only once the editor is there: a failure keeps it in front.
    bool opened = false;
    try {
        opened = MainWindowServices::get().openEditor(this);
    } catch (...) {
        opened = false;
        reportErrorText(QStringLiteral("Error cmdEditor_Click"), QStringLiteral("frmPelmora.cmdEditor_Click"));
    }
    if (opened) {
        hide();
    } else {
        mBoolReady = true;
        setPointer(platform::Pointer::Default);
    }
    QApplication::processEvents();
}

void frmPelmora::cmdNewCover_Click(int side)
{
    const size_t k = size_t(side);
    mBoolNewCoverCancelled = true;
    mBoolReady = false;
    mIntActualSide = std::int16_t(side);
    dropTopmost(this);
    const QSize before = igxBackup[k] ? QSize(igxBackup[k]->width(), igxBackup[k]->height()) : QSize();
    MainWindowServices::get().showModal(MainWindowServices::Window::NewCover, this);
    setPointer(platform::Pointer::Hourglass);
    QApplication::processEvents();
    mBoolReady = true;
    if (!mBoolNewCoverCancelled) {
        lblLoadPic[k]->hide();
        if (sideHoldsObjects(k)) {
            clsEnvAll &lang = gObjLanguageStore();
            const int answer = platform::Prompter::get().msgBox(
                lang.getVar(QStringLiteral("MESSAGES.MSG_NEWCOVER"), QStringLiteral("Keep all Objects ?")),
                platform::MsgStyle::YesNo, lang.getVar(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message")));
            if (answer == platform::MsgAnswer::No) {
                gObjPartMoveableObjects[k] = newMoveableObjects();
                gBoolPartHasObjects[k] = false;
            }
        }
        keepSideObjectsOnCover(k, before);
        convertImageSizeToCover(std::int16_t(side));
        QApplication::processEvents();
        QApplication::processEvents();
    }
    setPointer(platform::Pointer::Default);
}

void frmPelmora::cmdPreview_Click()
{
    dropTopmost(this);
    mBoolReady = false;
    MainWindowServices::get().showModal(MainWindowServices::Window::Browse, this);
    mBoolReady = true;
}

void frmPelmora::cmdRefresh_Click(int side)
{
    try {
        setPointer(platform::Pointer::Hourglass);
        platform::ImgxImage *image = igxBackup[size_t(side)].get();
        if (image && image->undoCount() > 0) {
            const QSize before(image->width(), image->height());
            image->undo();
            keepSideObjectsOnCover(size_t(side), before);
        }
        convertImageSizeToCover(std::int16_t(side));
        setPointer(platform::Pointer::Default);
    } catch (...) {
        reportError(QStringLiteral("ERR_REFRESH"), QStringLiteral("frmPelmora.cmdRefresh_Click"));
    }
}

void frmPelmora::cmdSearch_Click()
{
    dropTopmost(this);
    mBoolReady = false;
    MainWindowServices::get().showSearch(this);
    mBoolReady = true;
}

void frmPelmora::menuSearch_Click()
{
    dropTopmost(this);
    mBoolReady = false;
    MainWindowServices::get().showSearch(this);
    mBoolReady = true;
    restoreMainFormTopmost(this);
}

void frmPelmora::cmdQuickLoad_Click()
{
    dropTopmost(this);
    frmQuickLoad::open(*this);
}

void frmPelmora::mnuUpdateCheck_Click()
{
    dropTopmost(this);
    MainWindowServices::get().showModal(MainWindowServices::Window::UpdateCheck, this);
}

void frmPelmora::menuTip_Click()
{
    dropTopmost(this);
    mBoolReady = false;
    MainWindowServices::get().showTipOfTheDay(this, false);
    mBoolReady = true;
}

void frmPelmora::menuInfo_Click()
{
    dropTopmost(this);
    mBoolReady = false;
    MainWindowServices::get().showModal(MainWindowServices::Window::About, this);
    mBoolReady = true;
}

void frmPelmora::menuOptions_Click()
{
    dropTopmost(this);
    mBoolReady = false;
    MainWindowServices::get().showModal(MainWindowServices::Window::Options, this);
    mBoolReady = true;
}

void frmPelmora::menuForeground_Click()
{
    try {
        // The new state holds for the running program; the options file is not written.
        const bool onTop = gByteForeground != 1;
        setMainFormTopmost(this, onTop, true);
        gByteForeground = onTop ? 1 : 0;
        menuForeground->setChecked(onTop);
    } catch (...) {
        reportErrorText(QStringLiteral("Error menuForeground_Click"), QStringLiteral("frmPelmora.menuForeground_Click"));
    }
}

void frmPelmora::cmdExit_Click()
{
    int cancel = 0;
    Form_Unload(cancel);
}

void frmPelmora::menuExit_Click()
{
    if (validateSizeBoxes())
        cmdExit_Click();
}

void frmPelmora::menuHelp_Click()
{
    try {
        openHelpFile();
    } catch (...) {
        reportError(QStringLiteral("ERR_OPEN_HELPFILE"), QStringLiteral("frmPelmora.menuHelp_Click"));
    }
}

void frmPelmora::menuFAQ_Click() { platform::UrlOpener::get().open(gStrFaqURL); }
