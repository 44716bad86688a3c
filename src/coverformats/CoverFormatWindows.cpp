#include "coverformats/CoverFormatWindows.h"

#include "coverformats/frmBrowse.h"
#include "coverformats/frmEditCover.h"

void showCoverFormatEditor(QWidget *owner, const QString &caption)
{
    frmEditCover dialog(owner);
    dialog.setWindowTitle(caption);
    dialog.exec();
}

void showImageBrowser(QWidget *owner)
{
    frmBrowse dialog(owner);
    dialog.exec();
}
