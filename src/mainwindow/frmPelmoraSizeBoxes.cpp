// The size and print-offset boxes of the main window and their check.
//
// Leaving a box with a text that is no number shows a message and puts the focus back. The
// message is shown after the focus change has been handled, never inside it, and while it
// is pending or shown and while the focus goes back, leaving another box is not checked:
// two invalid boxes therefore never pass the focus and the message back and forth.
#include "mainwindow/frmPelmora.h"

#include "core/Globals.h"
#include "mainwindow/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/clsCover.h"
#include "platform/ui/Prompter.h"
#include "platform/widgets/PictureBox.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>

std::array<QLineEdit *, 4> frmPelmora::sizeBoxes(int side) const
{
    const size_t k = size_t(side);
    return {txtHeight[k], txtWidth[k], txtLeftBorder[k], txtTopBorder[k]};
}

void frmPelmora::txtWidth_LostFocus(int side) { sizeBoxLostFocus(txtWidth[size_t(side)], side); }
void frmPelmora::txtHeight_LostFocus(int side) { sizeBoxLostFocus(txtHeight[size_t(side)], side); }
void frmPelmora::txtLeftBorder_LostFocus(int side) { sizeBoxLostFocus(txtLeftBorder[size_t(side)], side); }
void frmPelmora::txtTopBorder_LostFocus(int side) { sizeBoxLostFocus(txtTopBorder[size_t(side)], side); }

void frmPelmora::sizeBoxLostFocus(QLineEdit *box, int side)
{
    try {
        if (!mBoolValidateBoxes)
            return;
        if (lstCoverNames[size_t(side)]->count() > 0 && !isUserNumeric(box->text())) {
            clsEnvAll &lang = gObjLanguageStore();
            platform::Prompter::get().msgBox(lang.getVar(QStringLiteral("ERRORS.ERR_INVALID_VALUE")),
                                             platform::MsgStyle::Critical | platform::MsgStyle::OkOnly,
                                             lang.getVar(QStringLiteral("ERRORS.ERR")));
            const bool checking = mBoolCheckingBox;
            mBoolCheckingBox = true;
            box->setFocus(Qt::OtherFocusReason);
            mBoolCheckingBox = checking;
        }
    } catch (...) {
        // The message is the only report of the check.
    }
}

void frmPelmora::checkLeftBox(QLineEdit *box, int side)
{
    sizeBoxLostFocus(box, side);
    mBoolCheckingBox = false;
}

bool frmPelmora::validateSizeBoxes()
{
    bool result = true;
    try {
        for (int side = 0; side < 2; ++side)
            for (QLineEdit *box : sizeBoxes(side))
                if (lstCoverNames[size_t(side)]->count() > 0 && !isUserNumeric(box->text())) {
                    sizeBoxLostFocus(box, side);
                    result = false;
                }
    } catch (...) {
    }
    return result;
}

bool frmPelmora::eventFilter(QObject *watched, QEvent *e)
{
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize) && gByteMarginType == 2 && !mBoolFoldTicksPending
        && watched->isWidgetType() && watched != this) {
        // The ticks outside the previews are drawn on the window at the previews' places,
        // which are known only once the window is laid out (at start-up after the first
        // drawing). Once the layout has settled they are drawn again.
        for (PictureBox *pic : picVisible)
            if (static_cast<QWidget *>(watched)->isAncestorOf(pic)) {
                mBoolFoldTicksPending = true;
                QMetaObject::invokeMethod(this, [this] {
                    mBoolFoldTicksPending = false;
                    if (mBoolReady && mBoolInitialised && gByteMarginType == 2)
                        gObjCover().setBorder(0);
                }, Qt::QueuedConnection);
                break;
            }
    }
    if (e->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(e)->reason();
        // The window losing the focus to another window, a menu or a popup is no leaving.
        const bool leftWithinWindow = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && reason != Qt::MenuBarFocusReason;
        for (int side = 0; side < 2 && leftWithinWindow && !mBoolCheckingBox; ++side)
            for (QLineEdit *box : sizeBoxes(side))
                if (box == watched && mBoolValidateBoxes && lstCoverNames[size_t(side)]->count() > 0
                    && !isUserNumeric(box->text())) {
                    mBoolCheckingBox = true;
                    QMetaObject::invokeMethod(this, [this, box, side] { checkLeftBox(box, side); }, Qt::QueuedConnection);
                    break;
                }
    }
    return QMainWindow::eventFilter(watched, e);
}
