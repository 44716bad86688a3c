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
#include "platform/widgets/NumberBox.h"
#include "texteditor/Globals.h"
#include "texteditor/TextEditorSeams.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <utility>

namespace {

// The number a box's text begins with, as every number box reads numbers; 0 when it begins
// with none.
double readBoxNumber(const QString &text) { return leadingUserNumber(text).value_or(0.0); }

// The range of each box, in the order of frmTextShadow::Box; the spinner's position p stands
// for top - p, within 0..bar.
struct BoxRange {
    double low, high;
    bool whole;
    int top, bar;

    double clamp(double v) const
    {
        const double inRange = std::clamp(v, low, high);
        return whole ? roundHalfEven(inRange) : inRange;
    }
    QString text(double v) const { return whole ? QString::number(std::int64_t(v)) : formatUserNumber(v); }
};

// The opacity's bar keeps the scroll bar's own range; its numbers come back to 255.
constexpr BoxRange kRanges[] = {
    {-200, 200, true, 200, 400}, {-200, 200, true, 200, 400}, {0, 255, false, 255, 255}, {0, 255, true, 32767, 32767}};

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

    const std::pair<QLineEdit *, QScrollBar *> boxes[] = {
        {txtXPos, updXPos}, {txtYPos, updYPos}, {txtBlur, updBlur}, {txtTransparency, updTransparency}};
    for (size_t i = 0; i < std::size(boxes); ++i) {
        const auto [box, bar] = boxes[i];
        const BoxRange range = kRanges[i];
        bar->setRange(0, range.bar);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Enter shows and applies what was taken (eventFilter).
        box->installEventFilter(this);
        NumberBox::Rules rules;
        rules.read = [range](const QString &text) -> std::optional<double> {
            if (const std::optional<double> typed = parseUserNumber(text))
                return range.clamp(*typed);
            return std::nullopt;
        };
        rules.finished = [range](const QString &text) { return range.text(range.clamp(readBoxNumber(text))); };
        rules.position = [range](double value) { return roundToInt(range.top - value); };
        rules.positionText = [range](int position) { return QString::number(range.top - position); };
        rules.taken = [this, which = Box(i)](double value) {
            if (mBoolClosed || !mBoolValuesShown)
                return;
            store(which, value);
            applyShadow();
        };
        mBoxes.push_back(new NumberBox(box, bar, std::move(rules)));
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
}

double frmTextShadow::stored(Box box) const
{
    const clsTextShadow &s = *mObjWorkShadow;
    switch (box) {
    case XPos: return s.mLngX;
    case YPos: return s.mLngY;
    case Blur: return s.mDblBlurLevel;
    case Opacity: return s.mByteOpacitiy;
    }
    return 0;
}

void frmTextShadow::store(Box box, double value)
{
    clsTextShadow &s = *mObjWorkShadow;
    switch (box) {
    case XPos: s.mLngX = std::int32_t(value); break;
    case YPos: s.mLngY = std::int32_t(value); break;
    case Blur: s.mDblBlurLevel = value; break;
    case Opacity: s.mByteOpacitiy = std::uint8_t(value); break;
    }
}

void frmTextShadow::showShadowData()
{
    mBoolValuesShown = false;
    for (size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->show(kRanges[i].text(stored(Box(i))));
    mBoolValuesShown = true;
}

void frmTextShadow::applyShadow()
{
    try {
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
        for (NumberBox *box : mBoxes)
            box->finish();
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVEDATA_SHADOW"), QStringLiteral("frmTextShadow.SaveData"));
    }
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
    mObjWorkShadow->mLngX = x;
    mObjWorkShadow->mLngY = y;
    showShadowData();
    applyShadow();
}

void frmTextShadow::cmdSetDefaultShadow_Click()
{
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
