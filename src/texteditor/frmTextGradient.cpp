#include "texteditor/frmTextGradient.h"
#include "ui_frmTextGradient.h"

#include "canvas/Globals.h"
#include "core/ErrorReport.h"
#include "core/libLanguage.h"
#include "platform/Rounding.h"
#include "platform/imaging/Colors.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "texteditor/Globals.h"
#include "texteditor/TextEditorSeams.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>

namespace {

clsTextGradient &defaultGradient()
{
    if (!gObjDefaultTextGradient)
        gObjDefaultTextGradient = std::make_shared<clsTextGradient>();
    return *gObjDefaultTextGradient;
}

platform::imaging::GradientColors gradientColors(const clsTextGradient &g)
{
    using namespace platform::imaging;
    if (g.mBoolRainbow)
        return GradientColors::rainbow();
    return GradientColors::twoColors(fromColorRef(std::uint32_t(g.mlngColor1), 255),
                                     fromColorRef(std::uint32_t(g.mlngColor2), 255));
}

} // namespace

frmTextGradient::frmTextGradient(texteditor::TextEditorHost &editor)
    : QDialog(editor.window()), ui(std::make_unique<Ui::frmTextGradient>()), mEditor(editor)
{
    ui->setupUi(this);
    fraOthers = ui->fraOthers;
    fraGradient = ui->fraGradient;
    lblColor1 = ui->lblColor1;
    lblColor2 = ui->lblColor2;
    lblPreview = ui->lblPreview;
    cmdSwitchColors = ui->cmdSwitchColors;
    chkRainbow = ui->chkRainbow;
    cmdUpLeft = ui->cmdUpLeft;
    cmdUp = ui->cmdUp;
    cmdUpRight = ui->cmdUpRight;
    cmdLeft = ui->cmdLeft;
    cmdCenter = ui->cmdCenter;
    cmdRight = ui->cmdRight;
    cmdDownLeft = ui->cmdDownLeft;
    cmdDown = ui->cmdDown;
    cmdDownRight = ui->cmdDownRight;
    cmdRemoveGradient = ui->cmdRemoveGradient;
    cmdSetDefaultGradient = ui->cmdSetDefaultGradient;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    picPreview = ui->picPreview;
    setFixedSize(size());

    for (QLabel *swatch : {lblColor1, lblColor2})
        swatch->installEventFilter(this);
    connect(cmdSwitchColors, &QPushButton::clicked, this, &frmTextGradient::cmdSwitchColors_Click);
    connect(chkRainbow, &QCheckBox::toggled, this, &frmTextGradient::chkRainbow_Click);
    connect(cmdUp, &QPushButton::clicked, this, [this] { setDirection(0, 0, 0, 255, false); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { setDirection(0, 255, 0, 0, false); });
    connect(cmdLeft, &QPushButton::clicked, this, [this] { setDirection(0, 0, 255, 0, false); });
    connect(cmdRight, &QPushButton::clicked, this, [this] { setDirection(255, 0, 0, 0, false); });
    connect(cmdUpLeft, &QPushButton::clicked, this, [this] { setDirection(0, 0, 255, 255, false); });
    connect(cmdUpRight, &QPushButton::clicked, this, [this] { setDirection(255, 0, 0, 255, false); });
    connect(cmdDownLeft, &QPushButton::clicked, this, [this] { setDirection(0, 255, 255, 0, false); });
    connect(cmdDownRight, &QPushButton::clicked, this, [this] { setDirection(255, 255, 0, 0, false); });
    connect(cmdCenter, &QPushButton::clicked, this, [this] { setDirection(0, 0, 0, 0, true); });
    connect(cmdRemoveGradient, &QPushButton::clicked, this, &frmTextGradient::cmdRemoveGradient_Click);
    connect(cmdSetDefaultGradient, &QPushButton::clicked, this, &frmTextGradient::cmdSetDefaultGradient_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTextGradient::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTextGradient::cmdCancel_Click);

    Form_Load();
}

frmTextGradient::~frmTextGradient() = default;

std::uint32_t frmTextGradient::swatchColor(const QLabel *swatch) { return gradientswatches::color(swatch); }

void frmTextGradient::setSwatch(QLabel *swatch, std::uint32_t color) { gradientswatches::setColor(swatch, color); }

void frmTextGradient::Form_Load()
{
    mBoolValuesShown = false;
    try {
        changeLanguage(this);
    } catch (...) {
    }
    QFont bold(QStringLiteral("MS Sans Serif"), 10);
    bold.setBold(true);
    cmdSwitchColors->setFont(bold);
    for (ButtonPlus *b : {cmdCancel, cmdOK, cmdRemoveGradient, cmdSetDefaultGradient})
        b->setButtonStyle(4);
    mObjWorkGradient = std::make_shared<clsTextGradient>();
    mObjBackupGradient = std::make_shared<clsTextGradient>();
    mObjWorkGradient->copy(*gObjTextGradient());
    mObjBackupGradient->copy(*gObjTextGradient());
    mLngRememberedColor1 = std::uint32_t(mObjBackupGradient->mlngColor1);
    mLngRememberedColor2 = std::uint32_t(mObjBackupGradient->mlngColor2);
    showGradientData();
    applyGradient();
    mBoolChanged = false;
}

void frmTextGradient::showGradientData()
{
    mBoolValuesShown = false;
    // Ticking the box runs its click handling, during which nothing is saved.
    const bool rainbow = mObjWorkGradient->mBoolRainbow;
    setRainbowMode(rainbow);
    chkRainbow->setChecked(rainbow);
    mLngRememberedColor1 = std::uint32_t(mObjBackupGradient->mlngColor1);
    mLngRememberedColor2 = std::uint32_t(mObjBackupGradient->mlngColor2);
    mBoolValuesShown = true;
}

void frmTextGradient::setRainbowMode(bool rainbow)
{
    gradientswatches::setRainbow(lblColor1, lblColor2, cmdSwitchColors, rainbow, mLngRememberedColor1, mLngRememberedColor2);
}

void frmTextGradient::saveGradientData()
{
    if (!mBoolValuesShown)
        return;
    const bool rainbow = chkRainbow->isChecked();
    clsTextGradient &g = *mObjWorkGradient;
    g.mlngColor1 = std::int32_t(rainbow ? mLngRememberedColor1 : swatchColor(lblColor1));
    g.mlngColor2 = std::int32_t(rainbow ? mLngRememberedColor2 : swatchColor(lblColor2));
    g.mBoolRainbow = rainbow;
}

void frmTextGradient::applyGradient()
{
    mObjWorkGradient->mBoolIsActive = true;
    mBoolChanged = true;
    if (!mEditor.autoPreview())
        return;
    gObjTextGradient()->copy(*mObjWorkGradient);
    drawSample();
    mEditor.doPreview();
}

void frmTextGradient::drawSample()
{
    const platform::Screen &screen = platform::Screen::get();
    const int pw = roundToInt(picPreview->widthTwips() / screen.twipsPerPixelX());
    const int ph = roundToInt(picPreview->heightTwips() / screen.twipsPerPixelY());
    if (pw <= 0 || ph <= 0)
        return;
    const clsTextGradient &g = *mObjWorkGradient;
    if (!mImgXSample)
        mImgXSample = platform::ImgxImage::create();
    if (!g.mBoolCenter) {
        // 255 is the far edge of the sample, 0 its near edge.
        const auto x = [pw](std::int32_t v) { return v == 255 ? pw : v; };
        const auto y = [ph](std::int32_t v) { return v == 255 ? ph : v; };
        mImgXSample->linearGradient(pw, ph, QPointF(x(g.mObjPointStart->mLngX), y(g.mObjPointStart->mLngY)),
                                    QPointF(x(g.mObjPointEnd->mLngX), y(g.mObjPointEnd->mLngY)), gradientColors(g),
                                    platform::kNoUndo);
    } else {
        mImgXSample->centredGradient(pw, ph, QPointF(roundToInt(pw / 2.0), roundToInt(ph / 2.0)), pw / 2.0,
                                     gradientColors(g), platform::kNoUndo);
    }
    picPreview->setPicture(mImgXSample->qimage());
}

void frmTextGradient::setDirection(int startX, int startY, int endX, int endY, bool centre)
{
    clsTextGradient &g = *mObjWorkGradient;
    g.mObjPointStart->mLngX = startX;
    g.mObjPointStart->mLngY = startY;
    g.mObjPointEnd->mLngX = endX;
    g.mObjPointEnd->mLngY = endY;
    g.mBoolCenter = centre;
    applyGradient();
}

bool frmTextGradient::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *swatch = qobject_cast<QLabel *>(watched);
        const auto *e = static_cast<QMouseEvent *>(event);
        if (swatch && e->button() == Qt::LeftButton && swatch->rect().contains(e->position().toPoint()))
            chooseColor(swatch);
    }
    return QDialog::eventFilter(watched, event);
}

void frmTextGradient::chooseColor(QLabel *swatch)
{
    // The swatches are greyed while the rainbow is on and offer no choice.
    if (chkRainbow->isChecked())
        return;
    const std::optional<std::uint32_t> chosen = platform::Choosers::get().chooseColor(0);
    if (!chosen)
        return;
    setSwatch(swatch, *chosen & 0xFFFFFF);
    saveGradientData();
    applyGradient();
}

void frmTextGradient::cmdSwitchColors_Click()
{
    gradientswatches::swapColors(lblColor1, lblColor2);
    cmdOK->setFocus();
    saveGradientData();
    applyGradient();
}

void frmTextGradient::chkRainbow_Click()
{
    setRainbowMode(chkRainbow->isChecked());
    saveGradientData();
    applyGradient();
}

void frmTextGradient::cmdSetDefaultGradient_Click()
{
    const clsTextGradient &d = defaultGradient();
    mObjWorkGradient->copy(d);
    gObjTextGradient()->copy(d);
    mObjBackupGradient->copy(d);
    mLngRememberedColor1 = std::uint32_t(mObjWorkGradient->mlngColor1);
    mLngRememberedColor2 = std::uint32_t(mObjWorkGradient->mlngColor2);
    showGradientData();
    applyGradient();
}

void frmTextGradient::cmdOK_Click()
{
    try {
        mObjWorkGradient->mBoolIsActive = true;
        gObjTextGradient()->copy(*mObjWorkGradient);
        gObjTextGradient()->mBoolIsActive = true;
        saveGradientData();
        applyGradient();
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVEDATA_GRADIENT"), QStringLiteral("frmTextGradient.cmdOk_Click"));
        return;
    }
    closeWith(Accepted);
}

void frmTextGradient::cmdCancel_Click()
{
    // The current gradient goes back to what it was at opening (or to the default after the
    // default button), active flag included.
    gObjTextGradient()->copy(*mObjBackupGradient);
    mEditor.doPreview();
    closeWith(Rejected);
}

void frmTextGradient::cmdRemoveGradient_Click()
{
    gObjTextGradient()->mBoolIsActive = false;
    mEditor.doPreview();
    closeWith(Rejected);
}

void frmTextGradient::reject()
{
    if (mBoolClosed)
        QDialog::reject();
    else
        cmdCancel_Click();
}

void frmTextGradient::closeWith(int result)
{
    mBoolClosed = true;
    done(result);
}
