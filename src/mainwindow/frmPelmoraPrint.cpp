// The print action of the main window.
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/clsPrinter.h"
#include "mainwindow/frmPelmora.h"
#include "platform/ui/Prompter.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>

void frmPelmora::cmdPrint_Click(int index)
{
    const QString proc = QStringLiteral("frmPelmora.cmdPrint_") + QString::number(index);
    mBoolReady = false;
    setMainFormTopmost(this, false, false);
    try {
        static const char *const types[] = {"Left", "Right", "All"};
        if (index < 0 || index > 2)
            throw AppError(ErrNo::InvalidCall);
        // What cannot be printed is said before anything goes to the printer.
        const std::vector<int> sides = index == 2 ? std::vector<int>{0, 1} : std::vector<int>{index};
        std::array<std::array<float, 4>, 2> g{};
        QString problem;
        // Going for the button left a box whose check is under way: its message is the one the
        // user sees.
        bool toldByTheBox = false;
        for (int s : sides) {
            if (lstCoverNames[size_t(s)]->currentRow() < 0) {
                problem = getMessageText(QStringLiteral("MSG_NO_FORMAT_CHOSEN"), QStringLiteral("Please choose a cover format first."));
                break;
            }
            const QLineEdit *boxes[] = {txtWidth[size_t(s)], txtHeight[size_t(s)], txtLeftBorder[size_t(s)],
                                        txtTopBorder[size_t(s)]};
            for (int k = 0; k < 4; ++k) {
                const auto v = parseUserNumber(boxes[k]->text());
                if (!v) {
                    problem = getErrorText(QStringLiteral("ERR_INVALID_VALUE"), QStringLiteral("ERROR"));
                    toldByTheBox = mBoolCheckingBox;
                    break;
                }
                g[size_t(s)][size_t(k)] = float(*v);
            }
            if (problem.isEmpty() && (g[size_t(s)][0] <= 0 || g[size_t(s)][1] <= 0))
                problem = getMessageText(QStringLiteral("MSG_NO_SIZE"), QStringLiteral("The cover has no size: nothing was printed."));
            if (!problem.isEmpty())
                break;
        }
        if (!problem.isEmpty()) {
            if (!toldByTheBox)
                platform::Prompter::get().msgBox(problem, platform::MsgStyle::Exclamation,
                                                 getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR")));
        } else {
            gObjCover().setPrintType(QString::fromLatin1(types[index]));
            clsPrinter printer;
            printer.setIndex(std::int16_t(index));
            printer.setFrontWidth(g[0][0]);
            printer.setFrontHeight(g[0][1]);
            printer.setBackWidth(g[1][0]);
            printer.setBackHeight(g[1][1]);
            printer.setFrontLeftMargin(g[0][2]);
            printer.setFrontTopMargin(g[0][3]);
            printer.setBackLeftMargin(g[1][2]);
            printer.setBackTopMargin(g[1][3]);
            if (igxBackup[0])
                printer.setFrontImage(*igxBackup[0]);
            if (igxBackup[1])
                printer.setBackImage(*igxBackup[1]);
            printer.Printer_Handling();
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_PRINT"), proc);
    }
    mBoolReady = true;
    QCoreApplication::processEvents();
    restoreMainFormTopmost(this);
}
