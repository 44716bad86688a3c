#include "editor/EditorDialogs.h"

#include "editor/frmBrightness.h"
#include "editor/frmNewCover.h"
#include "editor/frmSharpSoft.h"

void showNewCover(QWidget *owner)
{
    frmNewCover dialog(owner);
    dialog.exec();
}

void showBrightness(QWidget *owner, const platform::ImgxImagePtr &image, bool calledFromEditor)
{
    frmBrightness dialog(owner);
    dialog.mBoolCalledFromEditor = calledFromEditor;
    dialog.Setup(image);
    dialog.exec();
}

void showSharpSoft(QWidget *owner, const platform::ImgxImagePtr &image, bool sharpen, bool calledFromEditor)
{
    frmSharpSoft dialog(owner);
    dialog.mBoolSharpen = sharpen;
    dialog.mBoolCalledFromEditor = calledFromEditor;
    dialog.Form_Load();
    dialog.Setup(image);
    dialog.exec();
}
