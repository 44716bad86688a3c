#include "mainwindow/Globals.h"

#include "canvas/clsMoveableObjects.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"
#include "core/AppPath.h"
#include "core/Globals.h"
#include "core/mdlUtil.h"

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
