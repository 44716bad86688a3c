#include "mainwindow/MainWindowServices.h"

#include "core/Globals.h"
#include "core/mdlUtilWindows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

class StandInServices final : public MainWindowServices {
public:
    void showCoverFormatEditor(QWidget *owner, const QString &caption) override
    {
        QDialog dlg(owner);
        dlg.setObjectName(QStringLiteral("frmEditCover"));
        dlg.setWindowTitle(caption);
        auto *layout = new QVBoxLayout(&dlg);
        auto *text = new QLabel(gObjLanguageStore().getVar(
            QStringLiteral("frmEditCover.lblNotAvailable"),
            QStringLiteral("The cover-format editor is not available in this version.")));
        text->setWordWrap(true);
        layout->addWidget(text);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        layout->addWidget(buttons);
        dlg.exec();
        // As the editor does when it closes.
        setMainFormTopmost(owner, gByteForeground != 0, true);
    }
    void showTipOfTheDay(QWidget *) override {}
};

std::unique_ptr<MainWindowServices> makeDefault() { return makeStandInMainWindowServices(); }

} // namespace

std::unique_ptr<MainWindowServices> makeStandInMainWindowServices() { return std::make_unique<StandInServices>(); }

template <>
platform::Seam<MainWindowServices>::Factory &platform::Seam<MainWindowServices>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}
