// The cover images of the two sides: their stores, loading from the open dialog, from a
// dropped file or a dropped address, and the rendering of a side's preview.
#include "mainwindow/frmPelmora.h"

#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsMoveableObjects.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/modURLDownload.h"
#include "mainwindow/Globals.h"
#include "mainwindow/DroppedImage.h"
#include "mainwindow/ImageFit.h"
#include "mainwindow/clsCover.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/PictureBox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

using platform::setPointer;

namespace {

// A side image keeps as many steps as the editor's undo stack holds entries, so that the
// two stay in step.
constexpr int kSideUndoLevels = 16;

} // namespace

void frmPelmora::initBackupIgx()
{
    try {
        for (size_t s = 0; s < 2; ++s) {
            igxBackup[s] = platform::ImgxImage::create();
            igxBackup[s]->setUndoLevels(kSideUndoLevels);
            gBoolPartHasObjects[s] = false;
            gObjPartMoveableObjects[s] = newMoveableObjects();
            mSizeFitBase[s] = mSizeFitted[s] = QSize();
        }
    } catch (...) {
        reportErrorText(QStringLiteral("Error initBackupIgx"), QStringLiteral("frmPelmora.initBackupIgx"));
    }
}

void frmPelmora::loadCover(std::int16_t side, const platform::ImgxImage &image)
{
    const size_t k = size_t(side);
    try {
        if (side < 0 || side > 1)
            throw AppError(ErrNo::SubscriptOutOfRange);
        if (sideHoldsObjects(k)) {
            const int answer = platform::Prompter::get().msgBox(
                gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_NEWCOVER"), QStringLiteral("Kepp all Objects ?")),
                platform::MsgStyle::YesNo, gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message")));
            if (answer == platform::MsgAnswer::No) {
                gBoolPartHasObjects[k] = false;
                gObjPartMoveableObjects[k] = newMoveableObjects();
                gObjMoveableObjects() = newMoveableObjects();
            }
        }
        setPointer(platform::Pointer::Hourglass);
        const QSize before(igxBackup[k]->width(), igxBackup[k]->height());
        // The load is the side's one step: Undo brings the old picture back. The steps made
        // on the old picture go, so that it is kept once, not once per step.
        igxBackup[k]->clearUndo();
        igxBackup[k]->importImage(image, QString());
        keepSideObjectsOnCover(k, before);
        mSizeFitBase[k] = mSizeFitted[k] = QSize(); // a new base for the refits
        QCoreApplication::processEvents();
        convertImageSizeToCover(side);
        QCoreApplication::processEvents();
        lblLoadPic[k]->hide();
        setPointer(platform::Pointer::Default);
    } catch (...) {
        reportErrorText(QStringLiteral("loadCover"), QStringLiteral("frmPelmora.loadCover"));
    }
}

void frmPelmora::keepSideObjectsOnCover(size_t side, QSize before)
{
    const std::shared_ptr<clsMoveableObjects> &model = gObjPartMoveableObjects[side];
    if (!gBoolPartHasObjects[side] || !model || !igxBackup[side])
        return;
    // The objects' coordinates belong to the picture fitted to the side's box: as many times
    // larger as that grows, they stand for a zoom as many times smaller.
    const QSize box = previewBoxPixels(int(side));
    const QSize from = fittedImageSize(before, box);
    const QSize to = fittedImageSize(QSize(igxBackup[side]->width(), igxBackup[side]->height()), box);
    if (from.isEmpty() || to.isEmpty() || from == to)
        return;
    const double zoom = model->dblZoomFactor > 0 ? model->dblZoomFactor : 1.0;
    keepObjectsOnCover(*model, zoom, zoom * from.width() / to.width());
}

void frmPelmora::convertImageSizeToCover(std::int16_t side)
{
    const size_t k = size_t(side);
    try {
        if (side < 0 || side > 1)
            throw AppError(ErrNo::SubscriptOutOfRange);
        PictureBox *box = picVisible[k];
        box->hide();
        auto copy = platform::ImgxImage::create();
        if (igxBackup[k])
            copy->importImage(*igxBackup[k], platform::kNoUndo);
        if (gBoolPartHasObjects[k] && gObjPartMoveableObjects[k]) {
            adaptObjectSizesToZoom(&gObjPartMoveableObjects[k]);
            // The objects drawn onto the picture as large as the box shows it.
            copy = sidePictureWithObjects(*copy, side, previewBoxPixels(side));
        }
        box->setPicture(copy->qimage());
        stretchPictureBox(side);
        box->show();
    } catch (...) {
        if (side >= 0 && side <= 1)
            picVisible[k]->show();
        reportErrorText(QStringLiteral("Error convertImageSizeToCover"), QStringLiteral("frmPelmora.convertImageSizeToCover"));
    }
}

void frmPelmora::pic_Click(int side)
{
    mBoolReady = false;
    try {
        platform::FileDialogRequest request;
        request.filter = gStrOpenImageFilter;
        if (!gStrStandardPath.isEmpty() && fileExistsByAssociation(gStrStandardPath))
            request.initialDir = gStrStandardPath;
        localiseImgxDialog(request);
        const auto chosen = platform::Choosers::get().chooseFile(request);
        if (chosen && !chosen->path.isEmpty()) {
            auto image = platform::ImgxImage::create();
            const platform::CodecResult read = image->loadFile(chosen->path, QString());
            if (read.error == platform::CodecError::Busy) {
                mBoolReady = true;
                return;
            }
            if (!read || image->isEmpty()) {
                platform::Prompter::get().msgBox(
                    unreadablePictureText(read), platform::MsgStyle::OkOnly,
                    getMessageText(QStringLiteral("MSG_INVALID_IMAGE_TITLE"), QStringLiteral("Invalid Image")));
                mBoolReady = true;
                return;
            }
            gObjCover().chkType(splitPath(chosen->path).fileName, std::int16_t(side));
            QCoreApplication::processEvents();
            loadCover(std::int16_t(side), *image);
            setPointer(platform::Pointer::Default);
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_OPEN_PIC"), QStringLiteral("frmPelmora.pic_Click"));
    }
    mBoolReady = true;
}

void frmPelmora::pic_OLEDragDrop(int side, const QMimeData &data, Qt::DropAction)
{
    try {
        const DroppedImage dropped = droppedImageOf(data);
        if (dropped.file.isEmpty() && !dropped.address.isEmpty()) {
            // An address, as a web browser drops an image or a link.
            if (!isURL(dropped.address))
                return;
            if (!hasImageAddressEnding(dropped.address)) {
                platform::Prompter::get().msgBox(getMessageText(QStringLiteral("MSG_WRONG_FORMAT"), QStringLiteral("Falsches Format")),
                                                 platform::MsgStyle::OkOnly, QString());
                return;
            }
            const auto image = loadDroppedAddress(dropped.address, addressDownloadLimits, this);
            if (image) // else cancelled: the side stays as it was
                loadCover(std::int16_t(side), *image);
            return;
        }
        // Files: the first one is taken.
        if (const auto image = loadDroppedFile(dropped.file)) // else another picture is being read
            loadCover(std::int16_t(side), *image);
    } catch (...) {
        const FailureInfo f = currentFailure();
        setPointer(platform::Pointer::Default);
        showError(dropFailureText(), platform::MsgStyle::Critical,
                  QStringLiteral("frmPelmora.pic_OLEDragDrop"), f.description, f.number);
    }
}
