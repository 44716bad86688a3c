// Saving a side's sizes into its cover format, and creating, editing and deleting the
// formats of the user-defined medium.
#include "mainwindow/frmPelmora.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/CoverTableFile.h"
#include "mainwindow/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"
#include "platform/ui/Prompter.h"

#include <QLineEdit>
#include <QListWidget>

namespace {
constexpr int kUserDefinedMedium = 5;
}

void frmPelmora::cmdSave_Click(int side)
{
    const size_t k = size_t(side);
    try {
        const int medium = gObjCover().aktMedium();
        const int n = lstCoverNames[k]->currentRow();
        if (n < 0)
            return;
        // Every box must hold a number before anything is written.
        for (QLineEdit *box : sizeBoxes(side)) {
            if (!isUserNumeric(box->text())) {
                // Going for the button left a box whose check is under way: its message is
                // the one the user sees.
                if (mBoolCheckingBox)
                    return;
                clsEnvAll &lang = gObjLanguageStore();
                platform::Prompter::get().msgBox(lang.getVar(QStringLiteral("ERRORS.ERR_INVALID_VALUE")),
                                                 platform::MsgStyle::Critical, lang.getVar(QStringLiteral("ERRORS.ERR")));
                const bool checking = mBoolCheckingBox;
                mBoolCheckingBox = true;
                box->setFocus(Qt::OtherFocusReason);
                mBoolCheckingBox = checking;
                return;
            }
        }

        CoverTable table = gVarCoverTypes[size_t(medium)];
        CoverRecord &r = table.at(n);
        r[CoverField::Height] = CoverValue(*parseUserNumber(txtHeight[k]->text()));
        r[CoverField::Width] = CoverValue(*parseUserNumber(txtWidth[k]->text()));
        r[side == 0 ? CoverField::LeftOffsetX : CoverField::RightOffsetX] = CoverValue(*parseUserNumber(txtLeftBorder[k]->text()));
        r[side == 0 ? CoverField::LeftOffsetY : CoverField::RightOffsetY] = CoverValue(*parseUserNumber(txtTopBorder[k]->text()));
        writeCoverTable(medium, table);

        loadCoverData();
        lstCoverNames_Click(side);
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_ERROR"), QStringLiteral("frmPelmora.cmdSave_Click"));
    }
}

void frmPelmora::cmdCreateCover_Click(int side)
{
    try {
        setMainFormTopmost(this, false, true);
        gObjCover().setEditedIndex(std::int16_t(side));
        gObjCover().setProfileIndex(-2);
        const QString caption = gObjLanguageStore().getVar(QStringLiteral("frmEditCover.frmEditCover"),
                                                           QStringLiteral("Create a Cover/Label"));
        mBoolReady = false;
        MainWindowServices::get().showCoverFormatEditor(this, caption);
        mBoolReady = true;
    } catch (...) {
        mBoolReady = true;
        reportError(QStringLiteral("ERR_CREATE"), QStringLiteral("frmPelmora.cmdCreateCover_Click"));
    }
}

void frmPelmora::cmdEditCover_Click(int side)
{
    try {
        const int n = lstCoverNames[size_t(side)]->currentRow();
        if (n < 0)
            return;
        setMainFormTopmost(this, false, true);
        gObjCover().setEditedIndex(std::int16_t(side));
        gObjCover().setProfileIndex(std::int16_t(n));
        const QString caption = gObjLanguageStore().getVar(QStringLiteral("frmEditCover.frmEditCoverEdit"),
                                                           QStringLiteral("Edit Cover"));
        mBoolReady = false;
        MainWindowServices::get().showCoverFormatEditor(this, caption);
        mBoolReady = true;
    } catch (...) {
        mBoolReady = true;
        reportError(QStringLiteral("ERR_EDIT_COVER"), QStringLiteral("frmPelmora.cmdEditCover_Click"));
    }
}

void frmPelmora::cmdDeleteCover_Click(int side)
{
    try {
        const QListWidget *list = lstCoverNames[size_t(side)];
        const int n = list->currentRow();
        if (list->count() == 0 || n < 0)
            return;
        const int answer = platform::Prompter::get().msgBox(getMessageText(QStringLiteral("MSG_DELETE_COVER"), QString()),
                                                            platform::MsgStyle::YesNo,
                                                            getMessageText(QStringLiteral("MSG_DELETE"), QString()));
        if (answer != platform::MsgAnswer::Yes)
            return;

        CoverTable table = gVarCoverTypes[kUserDefinedMedium];
        table.removeAt(n);
        writeCoverTable(kUserDefinedMedium, table);
        gVarCoverTypesLoaded[kUserDefinedMedium] = ReadUserData(coverFileName(kUserDefinedMedium), false);
        gVarCoverTypes[kUserDefinedMedium] = gVarCoverTypesLoaded[kUserDefinedMedium];

        // Both lists are filled again from the new table, with its preselection.
        selectMedium(kUserDefinedMedium);
    } catch (...) {
        reportError(QStringLiteral("ERR_DELETE_COVER"), QStringLiteral("frmPelmora.cmdDeleteCover_Click"));
    }
}
