#include "dialogs/DialogWindows.h"

#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "dialogs/frmTip.h"
#include "dialogs/frmUpdateCheck.h"

void showOptionsDialog(QWidget *owner)
{
    frmOptions dialog(owner);
    dialog.exec();
}

void showUpdateCheck(QWidget *owner)
{
    frmUpdateCheck dialog(owner);
    dialog.exec();
}

void showAboutBox(QWidget *owner)
{
    frmAbout dialog(owner);
    dialog.exec();
}

void showTipOfTheDay(QWidget *owner)
{
    frmTip dialog(owner);
    dialog.exec();
}
