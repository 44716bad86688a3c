#include "mainwindow/Globals.h"

#include "canvas/clsMoveableObjects.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"

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
