#include "mainwindow/ImageFit.h"

#include "canvas/clsMoveableObjects.h"
#include "core/Numbers.h"
#include "mainwindow/Globals.h"
#include "mainwindow/frmPelmora.h"
#include "platform/imaging/ImgxImage.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/PictureBox.h"

#include <algorithm>

QSize fittedImageSize(QSize image, QSize box)
{
    if (image.isEmpty() || box.isEmpty())
        return image;
    const double iw = image.width(), ih = image.height();
    const double pw = box.width(), ph = box.height();
    if (iw >= ih)
        return {image.width(), toInt32(ih * ((iw / ih) / (pw / ph)))};
    return {toInt32(iw * ((ih / iw) / (ph / pw))), image.height()};
}

QSize previewBoxPixels(int side)
{
    frmPelmora *w = frmPelmora::instance();
    if (!w || side < 0 || side > 1)
        return {};
    const PictureBox *box = w->picVisible[size_t(side)];
    const auto &screen = platform::Screen::get();
    return {toInt32(box->widthTwips() / screen.twipsPerPixelX()), toInt32(box->heightTwips() / screen.twipsPerPixelY())};
}

void adaptImageSizeOnInit(platform::ImgxImage &image, int side)
{
    try {
        if (side == -1) {
            frmPelmora *w = frmPelmora::instance();
            side = w ? w->mIntActualSide : 0;
        }
        const QSize target = fittedImageSize(QSize(image.width(), image.height()), previewBoxPixels(side));
        if (!target.isEmpty() && target != QSize(image.width(), image.height()))
            image.resize(target.width(), target.height(), 13, platform::kNoUndo);
    } catch (...) {
        // A size that does not fit a 32-bit number leaves the image as it was.
    }
}

std::shared_ptr<platform::ImgxImage> sidePictureWithObjects(const platform::ImgxImage &picture, int side, QSize needed)
{
    auto copy = platform::ImgxImage::create();
    copy->setUndoLevels(0);
    copy->importImage(picture, platform::kNoUndo);
    const QSize fitted = fittedImageSize(QSize(picture.width(), picture.height()), previewBoxPixels(side));
    double scale = 1.0;
    if (!copy->isEmpty() && !fitted.isEmpty() && !needed.isEmpty())
        scale = std::max(double(needed.width()) / fitted.width(), double(needed.height()) / fitted.height());
    if (scale < 1.0) {
        const int w = std::max(1, roundToInt(fitted.width() * scale));
        const int h = std::max(1, roundToInt(fitted.height() * scale));
        copy->resize(w, h, 13, platform::kNoUndo);
    } else {
        scale = 1.0;
        adaptImageSizeOnInit(*copy, side);
    }
    const size_t k = size_t(side);
    if (k < 2 && gBoolPartHasObjects[k] && gObjPartMoveableObjects[k])
        gObjPartMoveableObjects[k]->drawObjects(*copy, gObjPartMoveableObjects[k]->dblZoomFactor, scale);
    return copy;
}
