#include "editor/frmIgxView.h"

#include "core/libLanguage.h"
#include "platform/imaging/ImgxCanvas.h"
#include "ui_frmIgxView.h"

#include <algorithm>

frmIgxView::frmIgxView(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::frmIgxView>())
{
    ui->setupUi(this);
    igxView = ui->igxView;
    changeLanguage(this);
}

frmIgxView::~frmIgxView() = default;

platform::ImgxImagePtr &frmIgxView::image()
{
    if (!mImgX)
        mImgX = platform::ImgxImage::create();
    return mImgX;
}

void frmIgxView::showEvent(QShowEvent *e)
{
    if (!mBoolLoaded) {
        mBoolLoaded = true;
        Form_Load();
    }
    QWidget::showEvent(e);
}

void frmIgxView::Form_Load()
{
    const platform::ImgxImagePtr &shown = image();
    // A white sheet of the image's size first, then the image itself.
    auto sheet = platform::ImgxImage::create();
    sheet->blank(std::max(1, shown->width()), std::max(1, shown->height()), 0xFFFFFF, 255, 5, QString());
    igxView->setImage(sheet);
    igxView->setImage(shown);
}
