#include "editor/frmBrightness.h"

#include "core/ErrorReport.h"
#include "core/libLanguage.h"
#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

namespace {

QScrollBar *makeBar(const char *name, QWidget *parent)
{
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(-100, 100);
    bar->setPageStep(10);
    bar->setValue(0);
    bar->setMinimumWidth(240);
    return bar;
}

QLabel *makeLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

frmBrightness::frmBrightness(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBrightness"));
    setWindowTitle(QStringLiteral("Helligkeit & Kontrast"));

    lblTitle = makeLabel("lblTitle",
                         QStringLiteral("Klicken Sie auf einen der Pfeile bzw. in die Balken, um das Bild "
                                        "heller/dunler zu machen bzw. den Kontrast zu erhöhen/verringern."),
                         this);
    lblTitle->setWordWrap(true);
    picPreview = new PictureBox(this);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setFixedSize(200, 150);
    lblBrightness = makeLabel("lblBrightness", QStringLiteral("Helligkeit"), this);
    lblContrast = makeLabel("lblContrast", QStringLiteral("Kontrast"), this);
    lblBrightnessLess = makeLabel("lblBrightnessLess", QStringLiteral("dunkler"), this);
    lblBrightnessMore = makeLabel("lblBrightnessMore", QStringLiteral("heller"), this);
    lblContrastLess = makeLabel("lblContrastLess", QStringLiteral("weniger"), this);
    lblContrastMore = makeLabel("lblContrastMore", QStringLiteral("mehr"), this);
    scrBrightness = makeBar("scrBrightness", this);
    scrContrast = makeBar("scrContrast", this);
    chkRealTimePreview = new QCheckBox(QStringLiteral("Real-Time Preview"), this);
    chkRealTimePreview->setObjectName(QStringLiteral("chkRealTimePreview"));
    chkRealTimePreview->setChecked(true);
    chkDelayedPreview = new QCheckBox(QStringLiteral("Delayed Preview"), this);
    chkDelayedPreview->setObjectName(QStringLiteral("chkDelayedPreview"));
    cmdOK = new ButtonPlus(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setText(QStringLiteral("OK"));
    cmdCancel = new ButtonPlus(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setText(QStringLiteral("Abbrechen"));

    auto *bars = new QGridLayout;
    bars->addWidget(lblBrightness, 0, 0, 1, 3, Qt::AlignHCenter);
    bars->addWidget(lblBrightnessLess, 1, 0);
    bars->addWidget(scrBrightness, 1, 1);
    bars->addWidget(lblBrightnessMore, 1, 2);
    bars->addWidget(lblContrast, 2, 0, 1, 3, Qt::AlignHCenter);
    bars->addWidget(lblContrastLess, 3, 0);
    bars->addWidget(scrContrast, 3, 1);
    bars->addWidget(lblContrastMore, 3, 2);
    auto *checks = new QHBoxLayout;
    checks->addWidget(chkRealTimePreview);
    checks->addWidget(chkDelayedPreview);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(picPreview, 0, Qt::AlignHCenter);
    layout->addLayout(bars);
    layout->addLayout(checks);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(scrBrightness, &QScrollBar::valueChanged, this, [this] { preview(scrBrightness); });
    connect(scrContrast, &QScrollBar::valueChanged, this, [this] { preview(scrContrast); });
    connect(chkRealTimePreview, &QCheckBox::clicked, this, [this] { preview(nullptr); });
    connect(cmdOK, &QPushButton::clicked, this, &frmBrightness::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBrightness::cmdCancel_Click);

    Form_Load();
}

frmBrightness::~frmBrightness() = default;

void frmBrightness::Form_Load()
{
    changeLanguage(this);
    cmdOK->setButtonStyle(4);
    cmdCancel->setButtonStyle(4);
    lblBrightness->setText(lblBrightness->text() + QStringLiteral(": 0"));
    lblContrast->setText(lblContrast->text() + QStringLiteral(": 0"));
}

void frmBrightness::Setup(const platform::ImgxImagePtr &image)
{
    try {
        const platform::Screen &screen = platform::Screen::get();
        const int w = int(picPreview->widthTwips() / screen.twipsPerPixelX());
        const int h = int(picPreview->heightTwips() / screen.twipsPerPixelY());
        const int s = std::max(1, std::min(w, h));
        mImgXTarget = image;
        mImgXPreview.reset();
        if (!image || image->isEmpty())
            throw std::runtime_error("There is no picture to change");
        auto copy = platform::ImgxImage::create();
        copy->importImage(*image, QString());
        copy->resizeToWidth(s, 4, QString());
        mImgXPreview = copy;
        picPreview->setPicture(mImgXPreview->qimage());
    } catch (...) {
        mImgXTarget.reset();
        reportError(QStringLiteral("ERR_IMPORT_BRIGHTNESS"), QStringLiteral("frmBrightness.Setup"));
    }
}

void frmBrightness::preview(QScrollBar *moved)
{
    clsEnvAll &lang = gObjLanguageStore();
    if (moved == scrBrightness)
        lblBrightness->setText(lang.getVar(QStringLiteral("frmBrightness.lblBrightness"), QStringLiteral("Brightness")) +
                               QStringLiteral(": ") + QString::number(moved->value()));
    else if (moved == scrContrast)
        lblContrast->setText(lang.getVar(QStringLiteral("frmBrightness.lblContrast"), QStringLiteral("Contrast")) +
                             QStringLiteral(": ") + QString::number(moved->value()));
    if (!mImgXPreview)
        return;
    mImgXPreview->brightnessContrast(scrBrightness->value(), scrContrast->value(), QString());
    picPreview->setPicture(mImgXPreview->qimage());
    mImgXPreview->undo();
}

void frmBrightness::cmdOK_Click()
{
    mImgXPreview.reset();
    platform::setPointer(platform::Pointer::Hourglass);
    hide();
    QApplication::processEvents();
    try {
        if (mImgXTarget) {
            mImgXTarget->brightnessContrast(scrBrightness->value(), scrContrast->value(), QString());
            if (mBoolCalledFromEditor && applyInEditor)
                applyInEditor(scrBrightness->value(), scrContrast->value());
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGES"), QStringLiteral("frmBrightness.cmdOk_Click"));
    }
    platform::setPointer(platform::Pointer::Default);
    accept();
}

void frmBrightness::cmdCancel_Click()
{
    hide();
    reject();
}
