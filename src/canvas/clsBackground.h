#pragma once
// The canvas background of the side being edited: the editor's canvas control shows the
// image; the background keeps its rotation and an unrotated copy of it.
#include "canvas/clsElement.h"
#include "platform/imaging/ImgxCanvas.h"

#include <QPointer>

class clsBackground final : public clsElement {
public:
    QString typeName() const override { return QStringLiteral("clsBackground"); }

    QPointer<platform::ImgxCanvas> mIgxCtrlRefToBackground;
    double mDblAngle = 0;
    bool mBoolIsRotated = false;
    platform::ImgxImagePtr mImgXBackup = platform::ImgxImage::create();

    void doBackupImgX(platform::ImgxCanvas &igxCtrl);
    void doRestoreFromBackup(platform::ImgxCanvas &igxCtrl);
    void copy(const clsBackground &objCopyBackground);
};
