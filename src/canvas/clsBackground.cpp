#include "canvas/clsBackground.h"

void clsBackground::doBackupImgX(platform::ImgxCanvas &igxCtrl)
{
    mImgXBackup->importImage(*igxCtrl.image(), platform::kNoUndo);
    mImgXBackup->setUndoLevels(15);
}

void clsBackground::doRestoreFromBackup(platform::ImgxCanvas &igxCtrl)
{
    igxCtrl.image()->importImage(*mImgXBackup, platform::kNoUndo);
    igxCtrl.refresh();
}

void clsBackground::copy(const clsBackground &objCopyBackground)
{
    mBoolIsRotated = objCopyBackground.mBoolIsRotated;
    mDblAngle = objCopyBackground.mDblAngle;
    mIgxCtrlRefToBackground = objCopyBackground.mIgxCtrlRefToBackground;
    if (objCopyBackground.mImgXBackup && !objCopyBackground.mImgXBackup->isEmpty())
        mImgXBackup->importImage(*objCopyBackground.mImgXBackup, platform::kNoUndo);
}
