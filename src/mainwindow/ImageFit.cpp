#include "mainwindow/ImageFit.h"

#include "core/Numbers.h"
#include "mainwindow/frmPelmora.h"
#include "platform/imaging/ImgxImage.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/PictureBox.h"

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
