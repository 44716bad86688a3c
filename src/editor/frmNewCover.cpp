#include "editor/frmNewCover.h"
#include "ui_frmNewCover.h"

#include "canvas/Globals.h"
#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "editor/GradientSwatches.h"
#include "mainwindow/Globals.h"
#include "mainwindow/frmPelmora.h"
#include "platform/Rounding.h"
#include "platform/imaging/Colors.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

namespace {

double tppX() { return platform::Screen::get().twipsPerPixelX(); }
double tppY() { return platform::Screen::get().twipsPerPixelY(); }

// Vertical geometry in twips, as the layout is worked out.
double topOf(const QWidget *w) { return w->y() * tppY(); }
double heightOf(const QWidget *w) { return w->height() * tppY(); }
double bottomOf(const QWidget *w) { return topOf(w) + heightOf(w); }
void setTop(QWidget *w, double twips) { w->move(w->x(), roundToInt(twips / tppY())); }

// The side's aspect: its preview box's width over its height, to the nearest whole number and
// at least 1; a box of height 0 counts as 1 high.
std::int32_t sideRatioOf(const frmPelmora *main)
{
    if (!main)
        return 1;
    const PictureBox *box = main->picVisible[size_t(std::clamp<int>(main->mIntActualSide, 0, 1))];
    if (!box)
        return 1;
    const double h = std::max(1.0, box->heightTwips());
    return std::max(1, roundToInt(box->widthTwips() / h));
}

platform::imaging::GradientColors gradientColors(const clsTextGradient &g)
{
    if (g.mBoolRainbow)
        return platform::imaging::GradientColors::rainbow();
    return platform::imaging::GradientColors::twoColors(platform::imaging::fromColorRef(std::uint32_t(g.mlngColor1), 255),
                                                        platform::imaging::fromColorRef(std::uint32_t(g.mlngColor2), 255));
}

} // namespace

frmNewCover::frmNewCover(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::frmNewCover>())
{
    ui->setupUi(this);
    lblBackColorText = ui->lblBackColorText;
    lblBackColor = ui->lblBackColor;
    lblColor1 = ui->lblColor1;
    lblColor2 = ui->lblColor2;
    lblPreview = ui->lblPreview;
    cmdMarginColor = ui->cmdMarginColor;
    cmdSetDefaultGradient = ui->cmdSetDefaultGradient;
    cmdSwitchColors = ui->cmdSwitchColors;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    cmdUpLeft = ui->cmdUpLeft;
    cmdUp = ui->cmdUp;
    cmdUpRight = ui->cmdUpRight;
    cmdLeft = ui->cmdLeft;
    cmdCenter = ui->cmdCenter;
    cmdRight = ui->cmdRight;
    cmdDownLeft = ui->cmdDownLeft;
    cmdDown = ui->cmdDown;
    cmdDownRight = ui->cmdDownRight;
    chkGradient = ui->chkGradient;
    chkRainbow = ui->chkRainbow;
    fraOthers = ui->fraOthers;
    fraGradient = ui->fraGradient;
    picPreview = ui->picPreview;

    for (QLabel *swatch : {lblBackColor, lblColor1, lblColor2})
        swatch->installEventFilter(this);
    connect(cmdMarginColor, &QPushButton::clicked, this, [this] { chooseColor(lblBackColor); });
    connect(cmdSetDefaultGradient, &QPushButton::clicked, this, [this] { setDefaultGradient(); });
    connect(cmdSwitchColors, &QPushButton::clicked, this, [this] { cmdSwitchColors_Click(); });
    connect(chkGradient, &QCheckBox::toggled, this, [this] { chkGradient_Click(); });
    connect(chkRainbow, &QCheckBox::toggled, this, [this] { chkRainbow_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, &frmNewCover::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmNewCover::cmdCancel_Click);
    const auto W = [this] { return mLngBackgroundWidth; };
    const auto H = [this] { return backgroundHeight(); };
    connect(cmdUp, &QPushButton::clicked, this, [=, this] { setDirection(0, 0, 0, H(), false); });
    connect(cmdDown, &QPushButton::clicked, this, [=, this] { setDirection(0, H(), 0, 0, false); });
    connect(cmdLeft, &QPushButton::clicked, this, [=, this] { setDirection(0, 0, W(), 0, false); });
    connect(cmdRight, &QPushButton::clicked, this, [=, this] { setDirection(W(), 0, 0, 0, false); });
    connect(cmdUpLeft, &QPushButton::clicked, this, [=, this] { setDirection(0, 0, W(), H(), false); });
    connect(cmdUpRight, &QPushButton::clicked, this, [=, this] { setDirection(W(), 0, 0, H(), false); });
    connect(cmdDownLeft, &QPushButton::clicked, this, [=, this] { setDirection(0, H(), W(), 0, false); });
    connect(cmdDownRight, &QPushButton::clicked, this, [=, this] { setDirection(W(), H(), 0, 0, false); });
    connect(cmdCenter, &QPushButton::clicked, this, [this] { setDirection(0, 0, 0, 0, true); });

    Form_Load();
}

frmNewCover::~frmNewCover() = default;

std::int32_t frmNewCover::backgroundHeight() const
{
    return roundToInt(double(mLngBackgroundWidth) / double(mLngSideRatio));
}

std::uint32_t frmNewCover::swatchColor(const QLabel *swatch) { return gradientswatches::color(swatch); }

void frmNewCover::setSwatch(QLabel *swatch, std::uint32_t color) { gradientswatches::setColor(swatch, color); }

void frmNewCover::Form_Load()
{
    changeLanguage(this);
    for (ButtonPlus *b : {cmdCancel, cmdOK, cmdUp, cmdDown, cmdSetDefaultGradient})
        b->setButtonStyle(4);
    QFont bold(QStringLiteral("MS Sans Serif"), 10);
    bold.setBold(true);
    cmdSwitchColors->setFont(bold);
    mLngGradientFrameTop = topOf(fraGradient);
    resize(width(), height() - fraGradient->height());
    mLngBackgroundWidth = 2000;
    mLngSideRatio = sideRatioOf(frmPelmora::instance());
    setDefaultGradient();
    arrangeNewCoverControls();
    mObjNewCoverGradient->copy(*gObjDefaultTextGradient);
    mLngRememberedColor1 = std::uint32_t(mObjNewCoverGradient->mlngColor1);
    mLngRememberedColor2 = std::uint32_t(mObjNewCoverGradient->mlngColor2);
    loadGradientControls();
    drawNewCoverPreview();
    cmdOK->setFocus();
}

void frmNewCover::setDefaultGradient()
{
    if (!mObjNewCoverGradient)
        mObjNewCoverGradient = std::make_shared<clsTextGradient>();
    loadGradientControls();
    if (!gObjDefaultTextGradient)
        gObjDefaultTextGradient = std::make_shared<clsTextGradient>();
    clsTextGradient &d = *gObjDefaultTextGradient;
    d.mBoolCenter = false;
    d.mlngColor1 = 0xFFFFFF;
    d.mlngColor2 = 0;
    d.mObjPointStart->mLngX = 0;
    d.mObjPointStart->mLngY = 0;
    d.mObjPointEnd->mLngX = mLngBackgroundWidth;
    d.mObjPointEnd->mLngY = 0;
    d.mBoolRainbow = false;
    d.mBoolIsActive = false;
    mLngRememberedColor1 = 0xFFFFFF;
    mLngRememberedColor2 = 0;
    setSwatch(lblColor1, 0xFFFFFF);
    setSwatch(lblColor2, 0);
    setSwatch(lblBackColor, 0xFFFFFF);
    chkRainbow->setChecked(false);
    chkGradient->setChecked(false);
    mObjNewCoverGradient->copy(d);
    drawNewCoverPreview();
}

void frmNewCover::loadGradientControls()
{
    const bool rainbow = mObjNewCoverGradient->mBoolRainbow;
    enableColorLabels(rainbow);
    {
        const QSignalBlocker block(chkRainbow);
        chkRainbow->setChecked(rainbow);
    }
    mLngRememberedColor1 = std::uint32_t(mObjNewCoverGradient->mlngColor1);
    mLngRememberedColor2 = std::uint32_t(mObjNewCoverGradient->mlngColor2);
}

void frmNewCover::storeGradientSettings()
{
    const bool rainbow = chkRainbow->isChecked();
    mObjNewCoverGradient->mlngColor1 = std::int32_t(rainbow ? mLngRememberedColor1 : swatchColor(lblColor1));
    mObjNewCoverGradient->mlngColor2 = std::int32_t(rainbow ? mLngRememberedColor2 : swatchColor(lblColor2));
    mObjNewCoverGradient->mBoolRainbow = rainbow;
}

void frmNewCover::enableColorLabels(bool rainbow)
{
    gradientswatches::setRainbow(lblColor1, lblColor2, cmdSwitchColors, rainbow, mLngRememberedColor1, mLngRememberedColor2);
}

void frmNewCover::chkGradient_Click()
{
    picPreview->hide();
    drawNewCoverPreview();
    arrangeNewCoverControls();
    picPreview->show();
    chkRainbow->setChecked(false);
}

void frmNewCover::chkRainbow_Click()
{
    enableColorLabels(chkRainbow->isChecked());
    storeGradientSettings();
    drawNewCoverPreview();
}

void frmNewCover::cmdSwitchColors_Click()
{
    gradientswatches::swapColors(lblColor1, lblColor2);
    cmdOK->setFocus();
    storeGradientSettings();
    drawNewCoverPreview();
}

void frmNewCover::chooseColor(QLabel *swatch)
{
    // The gradient's swatches are greyed while the rainbow is on and offer no choice.
    if (swatch != lblBackColor && chkRainbow->isChecked())
        return;
    const std::optional<std::uint32_t> chosen = platform::Choosers::get().chooseColor(swatchColor(swatch));
    if (!chosen)
        return;
    if (swatch == lblBackColor) {
        setSwatch(swatch, *chosen & 0xFFFFFF);
        drawNewCoverPreview();
    } else {
        setSwatch(swatch, *chosen & 0xFFFFFF);
        storeGradientSettings();
        drawNewCoverPreview();
    }
}

bool frmNewCover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *swatch = qobject_cast<QLabel *>(watched);
        const auto *e = static_cast<QMouseEvent *>(event);
        if (swatch && swatch->isEnabled() && e->button() == Qt::LeftButton &&
            swatch->rect().contains(e->position().toPoint()))
            chooseColor(swatch);
    }
    return QDialog::eventFilter(watched, event);
}

void frmNewCover::setDirection(int startX, int startY, int endX, int endY, bool centre)
{
    clsTextGradient &g = *mObjNewCoverGradient;
    g.mObjPointStart->mLngX = startX;
    g.mObjPointStart->mLngY = startY;
    g.mObjPointEnd->mLngX = endX;
    g.mObjPointEnd->mLngY = endY;
    g.mBoolCenter = centre;
    drawNewCoverPreview();
}

void frmNewCover::arrangeNewCoverControls()
{
    const bool gradient = chkGradient->isChecked();
    fraGradient->setVisible(gradient);
    fraOthers->setVisible(gradient);
    for (QWidget *w : {static_cast<QWidget *>(lblBackColor), static_cast<QWidget *>(lblBackColorText),
                       static_cast<QWidget *>(cmdMarginColor)})
        w->setEnabled(!gradient);
    if (gradient) {
        setTop(fraGradient, bottomOf(chkGradient) + 20);
        setTop(fraOthers, topOf(fraGradient));
        setTop(lblPreview, bottomOf(fraGradient) + 20);
    } else {
        setTop(fraGradient, mLngGradientFrameTop);
        setTop(fraOthers, mLngGradientFrameTop);
        setTop(chkGradient, bottomOf(lblBackColor));
        setTop(lblPreview, bottomOf(chkGradient) + 20);
    }
    setTop(picPreview, bottomOf(lblPreview) + 20);
    setTop(cmdCancel, bottomOf(picPreview) + 20);
    setTop(cmdOK, topOf(cmdCancel));
    setFixedHeight(roundToInt((topOf(cmdCancel) + heightOf(cmdCancel) + 500) / tppY()));
}

void frmNewCover::drawNewCoverPreview()
{
    if (!mObjNewCoverGradient)
        return;
    const int pw = std::max(1, roundToInt(picPreview->widthTwips() / tppX()));
    const int ph = std::max(1, roundToInt(picPreview->heightTwips() / tppY()));
    const clsTextGradient &g = *mObjNewCoverGradient;
    QImage image;
    if (chkGradient->isChecked()) {
        if (!g.mBoolCenter) {
            const auto x = [&](std::int32_t v) { return v == mLngBackgroundWidth ? pw : v; };
            const auto y = [&](std::int32_t v) { return v == backgroundHeight() ? ph : v; };
            image = platform::imaging::linearGradient(pw, ph, QPointF(x(g.mObjPointStart->mLngX), y(g.mObjPointStart->mLngY)),
                                                      QPointF(x(g.mObjPointEnd->mLngX), y(g.mObjPointEnd->mLngY)),
                                                      gradientColors(g));
        } else {
            image = platform::imaging::centredGradient(pw, ph, QPointF(roundToInt(pw / 2.0), roundToInt(ph / 2.0)),
                                                       pw / 2.0, gradientColors(g));
        }
    } else {
        image = QImage(pw, ph, QImage::Format_ARGB32_Premultiplied);
        image.fill(platform::imaging::fromColorRef(swatchColor(lblBackColor), 255));
    }
    picPreview->setPicture(image);
}

void frmNewCover::cmdOk_Click()
{
    frmPelmora *main = frmPelmora::instance();
    const size_t side = main ? size_t(std::clamp<int>(main->mIntActualSide, 0, 1)) : 0;
    platform::setPointer(platform::Pointer::Hourglass);
    QString temporary;
    try {
        const int w = mLngBackgroundWidth;
        const int h = backgroundHeight();
        auto background = platform::ImgxImage::create();
        const clsTextGradient &g = *mObjNewCoverGradient;
        if (chkGradient->isChecked()) {
            if (!g.mBoolCenter)
                background->linearGradient(w, h, QPointF(g.mObjPointStart->mLngX, g.mObjPointStart->mLngY),
                                           QPointF(g.mObjPointEnd->mLngX, g.mObjPointEnd->mLngY), gradientColors(g),
                                           platform::kNoUndo);
            else
                background->centredGradient(
                    w, h, QPointF(roundToInt(w / 2.0), roundToInt(double(w) / double(mLngSideRatio) / 2.0)), w / 2.0,
                    gradientColors(g), platform::kNoUndo);
        } else {
            background->blank(w, h, swatchColor(lblBackColor), 255, platform::ImgxImage::kTypeInMemory,
                              platform::kNoUndo);
        }
        QApplication::processEvents();
        temporary = getTempFileName(addBackslash(appPath()) + QStringLiteral("data"));
        if (temporary.isEmpty())
            throw AppError(ErrNo::PathFileAccess, QStringLiteral("No temporary file could be made in the data folder"));
        platform::CodecResult result = background->saveFile(temporary, 1);
        if (!result)
            throw AppError(ErrNo::PathFileAccess, result.message);
        QFile saved(temporary);
        if (!saved.open(QIODevice::ReadOnly))
            throw AppError(ErrNo::PathFileAccess, saved.errorString());
        result = background->loadData(saved.readAll(), QStringLiteral("background.jpg"), platform::kNoUndo);
        saved.close();
        if (!result)
            throw AppError(ErrNo::PathFileAccess, result.message);
        QFile::remove(temporary);
        temporary.clear();
        if (!igxBackup[side])
            igxBackup[side] = platform::ImgxImage::create();
        igxBackup[side]->clearUndo();
        igxBackup[side]->importImage(*background, platform::kNoUndo);
        if (main)
            main->mBoolNewCoverCancelled = false;
    } catch (...) {
        if (!temporary.isEmpty())
            QFile::remove(temporary);
        reportError(QStringLiteral("ERR_CHANGES"), QStringLiteral("frmNewCover.cmdOk_Click"));
    }
    platform::setPointer(platform::Pointer::Default);
    accept();
}

void frmNewCover::cmdCancel_Click()
{
    if (frmPelmora *main = frmPelmora::instance())
        main->mBoolNewCoverCancelled = true;
    reject();
}

void frmNewCover::done(int result)
{
    if (!mBoolUnloaded) {
        mBoolUnloaded = true;
        platform::setPointer(platform::Pointer::Default);
        if (frmPelmora *main = frmPelmora::instance())
            restoreMainFormTopmost(main);
    }
    QDialog::done(result);
}
