#include "texteditor/frmTextShadow.h"
#include "ui_frmTextShadow.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/Numbers.h"
#include "core/mdlUtil.h"
#include "mainwindow/LocaleNumbers.h"
#include "platform/Rounding.h"
#include "platform/widgets/ButtonPlus.h"
#include "texteditor/Globals.h"
#include "texteditor/TextEditorSeams.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

// A box's text with "." for the decimal point: "." and "," both count as one, and so does the
// user's decimal sign (no box holds a number large enough for digit grouping).
QString withPoint(const QString &text)
{
    QString t = text;
    if (!gStrDecimalSeparator.isEmpty() && gStrDecimalSeparator != QLatin1String("."))
        t.replace(gStrDecimalSeparator, QStringLiteral("."));
    t.replace(u',', u'.');
    return t;
}

// The number a box starts with, as the program reads numbers typed by the user: blanks are
// skipped, a text without a leading number is 0. A number too large for a double reads as
// infinite (so it clamps to the range's end) rather than overflowing.
double readBoxNumber(const QString &text) { return safeValSaturating(withPoint(text)); }

// A box's text while the user types in it: a whole number, else nothing. A partial entry
// ("-", "2.", "2,", nothing at all) is no number yet.
std::optional<double> typedNumber(const QString &text) { return parseDataNumber(withPoint(text)); }

} // namespace

frmTextShadow::frmTextShadow(texteditor::TextEditorHost &editor)
    : QDialog(editor.window()), ui(std::make_unique<Ui::frmTextShadow>()), mEditor(editor)
{
    ui->setupUi(this);
    fraPosition = ui->fraPosition;
    fraOthers = ui->fraOthers;
    lblXPos = ui->lblXPos;
    lblYPos = ui->lblYPos;
    lblBlur = ui->lblBlur;
    lblTransparency = ui->lblTransparency;
    txtXPos = ui->txtXPos;
    txtYPos = ui->txtYPos;
    txtBlur = ui->txtBlur;
    txtTransparency = ui->txtTransparency;
    updXPos = ui->updXPos;
    updYPos = ui->updYPos;
    updBlur = ui->updBlur;
    updTransparency = ui->updTransparency;
    cmdUp = ui->cmdUp;
    cmdDown = ui->cmdDown;
    cmdLeft = ui->cmdLeft;
    cmdRight = ui->cmdRight;
    cmdUpLeft = ui->cmdUpLeft;
    cmdUpRight = ui->cmdUpRight;
    cmdDownLeft = ui->cmdDownLeft;
    cmdDownRight = ui->cmdDownRight;
    cmdCenter = ui->cmdCenter;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    cmdRemoveShadow = ui->cmdRemoveShadow;
    cmdSetDefaultShadow = ui->cmdSetDefaultShadow;
    setFixedSize(size());

    // The opacity bar keeps the scroll bar's own range; SaveData brings its numbers back to 255.
    mSpinners = {{txtXPos, updXPos, 200}, {txtYPos, updYPos, 200}, {txtBlur, updBlur, 255},
                 {txtTransparency, updTransparency, 32767}};
    const int ranges[] = {400, 400, 255, 32767};
    for (size_t i = 0; i < mSpinners.size(); ++i) {
        const Spinner s = mSpinners[i];
        s.bar->setRange(0, ranges[i]);
        s.bar->setSingleStep(1);
        s.bar->setPageStep(1);
        s.box->installEventFilter(this);
        connect(s.box, &QLineEdit::textChanged, this, [this, s] { boxChanged(s); });
        // Leaving a box shows what was taken from it; Enter does the same (eventFilter).
        connect(s.box, &QLineEdit::editingFinished, this, [this] { normaliseBoxes(); });
        connect(s.bar, &QScrollBar::valueChanged, this, [this, s] { spinnerChanged(s); });
    }

    const auto direction = [this](ButtonPlus *b, int sx, int sy) {
        connect(b, &QPushButton::clicked, this, [this, sx, sy] {
            const clsTextShadow &d = *gObjDefaultTextShadow();
            setOffset(sx * d.mLngX, sy * d.mLngY);
        });
    };
    direction(cmdUp, 0, -1);
    direction(cmdDown, 0, 1);
    direction(cmdLeft, -1, 0);
    direction(cmdRight, 1, 0);
    direction(cmdUpLeft, -1, -1);
    direction(cmdUpRight, 1, -1);
    direction(cmdDownLeft, -1, 1);
    direction(cmdDownRight, 1, 1);
    connect(cmdCenter, &QPushButton::clicked, this, [this] { setOffset(1, 1); });
    connect(cmdOK, &QPushButton::clicked, this, &frmTextShadow::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmTextShadow::cmdCancel_Click);
    connect(cmdRemoveShadow, &QPushButton::clicked, this, &frmTextShadow::cmdRemoveShadow_Click);
    connect(cmdSetDefaultShadow, &QPushButton::clicked, this, &frmTextShadow::cmdSetDefaultShadow_Click);

    Form_Load();
}

frmTextShadow::~frmTextShadow() = default;

frmTextShadow::PreviewBatch::~PreviewBatch()
{
    if (--form.mIntBatchDepth == 0 && form.mBoolPreviewDue) {
        form.mBoolPreviewDue = false;
        form.mEditor.doPreview();
    }
}

void frmTextShadow::requestPreview()
{
    if (mIntBatchDepth > 0)
        mBoolPreviewDue = true;
    else
        mEditor.doPreview();
}

void frmTextShadow::Form_Load()
{
    PreviewBatch batch(*this);
    mBoolValuesShown = false;
    try {
        changeLanguage(this);
    } catch (...) {
    }
    for (ButtonPlus *b : {cmdCancel, cmdOK, cmdSetDefaultShadow, cmdRemoveShadow})
        b->setButtonStyle(4);
    mObjWorkShadow = std::make_shared<clsTextShadow>();
    mObjBackupShadow = std::make_shared<clsTextShadow>();
    mObjWorkShadow->copy(*gObjTextShadow());
    mObjBackupShadow->copy(*gObjTextShadow());
    // Opening applies the shadow: with the auto-preview on it shows at once.
    showShadowData();
    applyShadow();
    mBoolChanged = false;
}

void frmTextShadow::showShadowData()
{
    mBoolValuesShown = false;
    const clsTextShadow &s = *mObjWorkShadow;
    txtXPos->setText(QString::number(s.mLngX));
    txtYPos->setText(QString::number(s.mLngY));
    txtTransparency->setText(QString::number(s.mByteOpacitiy));
    txtBlur->setText(formatUserNumber(s.mDblBlurLevel));
    for (const Spinner &sp : mSpinners) {
        const QSignalBlocker block(sp.bar);
        sp.bar->setValue(roundToInt(sp.top - readBoxNumber(sp.box->text())));
    }
    mBoolValuesShown = true;
}

void frmTextShadow::applyShadow()
{
    try {
        mBoolChanged = true;
        mObjWorkShadow->mBoolIsActive = true;
        if (mEditor.autoPreview()) {
            gObjTextShadow()->copy(*mObjWorkShadow);
            requestPreview();
        }
    } catch (...) {
    }
}

void frmTextShadow::SaveData()
{
    if (!mBoolValuesShown)
        return;
    try {
        const auto whole = [](double v, double low, double high) { return roundHalfEven(std::clamp(v, low, high)); };
        const double x = whole(readBoxNumber(txtXPos->text()), -200, 200);
        const double y = whole(readBoxNumber(txtYPos->text()), -200, 200);
        const double blur = std::clamp(readBoxNumber(txtBlur->text()), 0.0, 255.0);
        const double opacity = whole(readBoxNumber(txtTransparency->text()), 0, 255);
        clsTextShadow &s = *mObjWorkShadow;
        s.mLngX = std::int32_t(x);
        s.mLngY = std::int32_t(y);
        s.mDblBlurLevel = blur;
        s.mByteOpacitiy = std::uint8_t(opacity);
        showShadowData();
    } catch (...) {
        mBoolValuesShown = true;
        reportError(QStringLiteral("ERR_SAVEDATA_SHADOW"), QStringLiteral("frmTextShadow.SaveData"));
    }
}

void frmTextShadow::boxChanged(const Spinner &spinner)
{
    if (mBoolClosed || !mBoolValuesShown)
        return;
    // While the user types, the box keeps what is typed; its value is taken once it reads as a
    // number, and the box is rewritten only when it loses the focus or on Enter.
    const std::optional<double> typed = typedNumber(spinner.box->text());
    if (!typed)
        return;
    PreviewBatch batch(*this);
    takeValue(spinner, *typed);
    applyShadow();
    const QSignalBlocker block(spinner.bar);
    spinner.bar->setValue(roundToInt(spinner.top - std::clamp(*typed, -1e9, 1e9)));
}

void frmTextShadow::takeValue(const Spinner &spinner, double typed)
{
    const auto whole = [](double v, double low, double high) { return roundHalfEven(std::clamp(v, low, high)); };
    clsTextShadow &s = *mObjWorkShadow;
    if (spinner.box == txtXPos)
        s.mLngX = std::int32_t(whole(typed, -200, 200));
    else if (spinner.box == txtYPos)
        s.mLngY = std::int32_t(whole(typed, -200, 200));
    else if (spinner.box == txtBlur)
        s.mDblBlurLevel = std::clamp(typed, 0.0, 255.0);
    else
        s.mByteOpacitiy = std::uint8_t(whole(typed, 0, 255));
}

void frmTextShadow::normaliseBoxes()
{
    if (mBoolClosed || !mBoolValuesShown)
        return;
    PreviewBatch batch(*this);
    clsTextShadow before;
    before.copy(*mObjWorkShadow);
    SaveData();
    const clsTextShadow &now = *mObjWorkShadow;
    if (now.mLngX != before.mLngX || now.mLngY != before.mLngY || now.mDblBlurLevel != before.mDblBlurLevel ||
        now.mByteOpacitiy != before.mByteOpacitiy)
        applyShadow();
}

void frmTextShadow::spinnerChanged(const Spinner &spinner)
{
    if (mBoolClosed)
        return;
    PreviewBatch batch(*this);
    // A step of the arrows is no typing: the box shows at once what was taken (the opacity's
    // 256 comes back as 255).
    spinner.box->setText(QString::number(spinner.top - spinner.bar->value()));
    normaliseBoxes();
}

bool frmTextShadow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            PreviewBatch batch(*this);
            SaveData();
            applyShadow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmTextShadow::setOffset(std::int32_t x, std::int32_t y)
{
    PreviewBatch batch(*this);
    mObjWorkShadow->mLngX = x;
    mObjWorkShadow->mLngY = y;
    showShadowData();
    applyShadow();
}

void frmTextShadow::cmdSetDefaultShadow_Click()
{
    PreviewBatch batch(*this);
    mObjWorkShadow->copy(*gObjDefaultTextShadow());
    gObjTextShadow()->copy(*gObjDefaultTextShadow());
    showShadowData();
    applyShadow();
}

void frmTextShadow::cmdOK_Click()
{
    {
        PreviewBatch batch(*this);
        mObjWorkShadow->mBoolIsActive = true;
        SaveData();
        applyShadow();
        gObjTextShadow()->copy(*mObjWorkShadow);
    }
    closeWith(Accepted);
}

void frmTextShadow::cmdCancel_Click()
{
    // The current shadow goes back to what it was at opening, active flag included, whether or
    // not anything was applied meanwhile.
    gObjTextShadow()->copy(*mObjBackupShadow);
    mEditor.doPreview();
    closeWith(Rejected);
}

void frmTextShadow::cmdRemoveShadow_Click()
{
    mObjWorkShadow->mBoolIsActive = false;
    gObjTextShadow()->mBoolIsActive = false;
    mEditor.doPreview();
    closeWith(Rejected);
}

void frmTextShadow::reject()
{
    if (mBoolClosed)
        QDialog::reject();
    else
        cmdCancel_Click();
}

void frmTextShadow::closeWith(int result)
{
    mBoolClosed = true;
    done(result);
}
