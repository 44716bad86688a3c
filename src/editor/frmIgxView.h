#pragma once
// A bare image window: one imaging control showing the window's public image. Nothing in the
// program opens it.
#include "platform/imaging/ImgxImage.h"

#include <QWidget>
#include <memory>

namespace platform { class ImgxCanvas; }
namespace Ui { class frmIgxView; }

class frmIgxView : public QWidget {
    Q_OBJECT
public:
    explicit frmIgxView(QWidget *parent = nullptr);
    ~frmIgxView() override;

    // The image the window shows; made when first asked for. Set it before showing.
    platform::ImgxImagePtr &image();

    platform::ImgxCanvas *igxView = nullptr;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmIgxView> ui;
    platform::ImgxImagePtr mImgX;
    bool mBoolLoaded = false;
};
