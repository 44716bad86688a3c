#include "mainwindow/Globals.h"

#include "canvas/clsMoveableObjects.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"
#include "core/AppPath.h"
#include "core/Globals.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/mdlUtil.h"
#include "platform/ui/UrlOpener.h"

#include <QUrl>

namespace {
std::unique_ptr<clsCover> &coverSlot()
{
    static std::unique_ptr<clsCover> c;
    return c;
}
} // namespace

clsCover &gObjCover()
{
    auto &c = coverSlot();
    if (!c)
        c = std::make_unique<clsCover>();
    return *c;
}

std::shared_ptr<clsMoveableObjects> newMoveableObjects()
{
    auto m = std::make_shared<clsMoveableObjects>();
    m->Class_intialize();
    return m;
}

bool sideHoldsObjects(size_t side)
{
    return side < 2 && gBoolPartHasObjects[side] && gObjPartMoveableObjects[side]
        && gObjPartMoveableObjects[side]->holdsVisibleObjects();
}

void chooseHelpFile()
{
    const QString helpFolder = addBackslash(appPath()) + QStringLiteral("help/");
    const QString named = helpFolder + gObjLanguageStore().getVar(QStringLiteral("GENERAL.HELPFILE"));
    if (FileExists(named)) {
        gStrHelpFile = named;
        gStrApplicationHelpFile = named;
    } else {
        gStrHelpFile = helpFolder + QStringLiteral("Deutsch.html");
        gStrApplicationHelpFile = FileExists(gStrHelpFile) ? gStrHelpFile : QString();
    }
}

void openHelpFile(int topic)
{
    if (gStrApplicationHelpFile.isEmpty() || !FileExists(gStrApplicationHelpFile))
        throw AppError(ErrNo::FileNotFound,
                       getMessageText(QStringLiteral("MSG_HELP_NOT_FOUND"), QStringLiteral("The help file was not found: %1"))
                           .arg(gStrHelpFile));
    QString address = gStrApplicationHelpFile;
    if (topic != 0) {
        QUrl page = QUrl::fromLocalFile(gStrApplicationHelpFile);
        page.setFragment(QStringLiteral("topic") + QString::number(topic));
        address = page.toString(QUrl::FullyEncoded);
    }
    if (!platform::UrlOpener::get().open(address))
        throw AppError(ErrNo::PathFileAccess,
                       getMessageText(QStringLiteral("MSG_HELP_NOT_OPENED"), QStringLiteral("No program opened the help file.")));
}

namespace mainwindow {
void resetForTests()
{
    coverSlot().reset();
    igxBackup = {};
    gObjPartMoveableObjects = {};
    gBoolPartHasObjects = {false, false};
    gStrHelpFile.clear();
    gStrApplicationHelpFile.clear();
    platform::Seam<MainWindowServices>::reset();
}
} // namespace mainwindow
