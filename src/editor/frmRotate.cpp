#include "editor/frmRotate.h"

#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/ZoomAdaptation.h"
#include "canvas/clsEffects.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "core/libLanguage.h"
#include "mainwindow/LocaleNumbers.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/NumberBox.h"
#include "ui_frmRotate.h"

#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kFullTurn = 360;

// A copy of the image turned by the angle; the image itself stays as it is.
platform::ImgxImagePtr turned(const platform::ImgxImage &source, double angle, clsEffects &effects)
{
    if (source.isEmpty())
        throw AppError(ErrNo::InvalidCall, QStringLiteral("There is no picture to rotate"));
    auto image = platform::ImgxImage::create();
    image->importImage(source, platform::kNoUndo);
    effects.rotate(*image, float(angle), 0, false);
    return image;
}

} // namespace

frmRotate::frmRotate(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::frmRotate>())
{
    ui->setupUi(this);
    txtAngle = ui->txtAngle;
    lblAngle = ui->lblAngle;
    updAngle = ui->updAngle;
    cmdRotateLeft = ui->cmdRotateLeft;
    cmdRotateRight = ui->cmdRotateRight;
    setFixedSize(size());
    NumberBox::Rules rules;
    rules.read = [](const QString &text) { return parseUserNumber(text); };
    rules.finished = [](const QString &text) {
        // The leading number ("45abc" gives 45) within 0..360, tested as a whole number; the
        // box keeps its fraction (22.7 stays 22.7).
        const std::optional<double> n = readLeadingNumber(text);
        if (!n)
            return QStringLiteral("90");
        const double whole = roundHalfEven(*n);
        return whole > kFullTurn ? QStringLiteral("360") : whole < 0 ? QStringLiteral("0") : formatUserNumber(*n);
    };
    rules.position = [](double angle) { return int(kFullTurn - std::clamp(roundHalfEven(angle), 0.0, kFullTurn)); };
    rules.positionText = [](int position) { return QString::number(int(kFullTurn) - position); };
    mAngle = new NumberBox(txtAngle, updAngle, std::move(rules));
    connect(cmdRotateLeft, &QPushButton::clicked, this, &frmRotate::cmdRotateLeft_Click);
    connect(cmdRotateRight, &QPushButton::clicked, this, &frmRotate::cmdRotateRight_Click);
    txtAngle->installEventFilter(this);
    Form_Load();
}

frmRotate::~frmRotate() = default;

void frmRotate::Form_Load()
{
    changeLanguage(this);
    mAngle->show(QStringLiteral("90"));
}

bool frmRotate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtAngle) {
        switch (event->type()) {
        case QEvent::FocusIn:
            // Selected after the click that gave the focus has placed the caret.
            QTimer::singleShot(0, txtAngle, [box = txtAngle] { box->selectAll(); });
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                doRotate(mAngle->finish());
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmRotate::cmdRotateLeft_Click() { doRotate(-mAngle->finish()); }

void frmRotate::cmdRotateRight_Click() { doRotate(mAngle->finish()); }

std::optional<double> frmRotate::readLeadingNumber(const QString &text)
{
    const QString dec = gStrDecimalSeparator.isEmpty() ? QStringLiteral(".") : gStrDecimalSeparator;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        return i > from;
    };
    bool any = digits();
    qsizetype end = i;
    if (text.mid(i, dec.size()) == dec) {
        i += dec.size();
        if (digits() || any) {
            any = true;
            end = i;
        }
    }
    if (!any)
        return std::nullopt;
    i = end;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype from = j;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            ++j;
        if (j > from)
            end = j;
    }
    // A number too large for a double ("1e400") is no number either.
    return parseUserNumber(text.mid(start, end - start));
}

void frmRotate::doRotate(double angle)
{
    if (angle == 0)
        return;
    // The hourglass from the turn to the canvas shown anew.
    platform::BusyPointer busy;
    try {
        auto &model = *gObjMoveableObjects();
        platform::ImgxCanvas &canvas = CanvasServices::get().editorCanvas();
        clsEffects fallback;
        clsEffects &effects = model.objEffects ? *model.objEffects : fallback;
        const QString a = formatUserNumber(angle);
        const QString key = model.mStrFocusedObjectIndex;
        const auto o = key.isEmpty() || key == clsMoveableObjects::kNoFocus ? nullptr : model.object(key);
        if (o && !o->mBoolDeleted) {
            const double before = o->mDblAngle;
            const bool fromBackup = before != 0 && o->mBoolIsRotated;
            const double total = fromBackup ? before + angle : angle;
            // Turned first, so that a failure leaves the object, its backup and the stack alone. A
            // text whose turned picture would be over the picture limits says so in its own words.
            platform::ImgxImagePtr image;
            try {
                image = turned(fromBackup ? *o->mImgXBackup : *o->mImgXPicture, total, effects);
            } catch (const platform::PictureTooLarge &) {
                if (o->typeName() != QLatin1String("clsTextObject"))
                    throw;
                busy.release();
                clsTextObject::refusedTooLarge();
                return;
            }
            if (!fromBackup) {
                o->doBackupImgX();
                o->mBoolIsRotated = true;
            }
            o->mDblAngle = total;
            o->mImgXPicture->importImage(*image, platform::kNoUndo);
            if (o->typeName() == QLatin1String("clsTextObject") && std::fmod(total, kFullTurn) == 0)
                o->mBoolIsRotated = false;
            gObjUndos()->addOtherUndo(key, clsOtherUndo::Rotate, QStringLiteral("Drehen ") + a + QStringLiteral("°"),
                                      before);
        } else if (const auto &b = model.mObjBackground) {
            const double before = b->mDblAngle;
            const bool fromBackup = b->mBoolIsRotated;
            const double total = fromBackup ? before + angle : angle;
            if (!canvas.image())
                throw AppError(ErrNo::ObjectNotSet, QStringLiteral("The canvas has no picture"));
            const auto image = turned(fromBackup ? *b->mImgXBackup : *canvas.image(), total, effects);
            if (!fromBackup) {
                b->doBackupImgX(canvas);
                b->mBoolIsRotated = true;
            }
            b->mDblAngle = total;
            canvas.image()->importImage(*image, platform::kNoUndo);
            gObjUndos()->addOtherUndo(
                QString(), clsOtherUndo::Rotate,
                gObjLanguageStore().getVar(QStringLiteral("OTHERCONSTANTS.UNDOROTATE"), QStringLiteral("Rotate")) + a +
                    QStringLiteral("°"),
                before);
        }
        if (canvas.zoom() != gDblZoomFactor)
            adaptObjectSizesToZoom(nullptr);
        canvas.refresh();
        canvas.repaint();
        // The turned object keeps the frame that shows it selected.
        model.showFocus(canvas);
    } catch (...) {
        busy.release();
        reportError(QStringLiteral("ERR_ROTATE"), QStringLiteral("frmRotate.doRotate"));
    }
}
