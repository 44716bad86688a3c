#include "mainwindow/MainWindowServices.h"

#include "core/Globals.h"
#include "core/mdlUtilWindows.h"
#include "platform/ui/Prompter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// A window that a later version brings: the user is told so, and nothing changes.
void notAvailable(QWidget *owner, const QString &form)
{
    clsEnvAll &lang = gObjLanguageStore();
    QString title = lang.getVar(form + u'.' + form);
    if (title.isEmpty())
        title = lang.getVar(QStringLiteral("MESSAGES.MSG"), QStringLiteral("Message"));
    platform::Prompter::get().msgBox(
        lang.getVar(QStringLiteral("MESSAGES.MSG_NOT_AVAILABLE"), QStringLiteral("This function is not available in this version.")),
        platform::MsgStyle::Information, title.trimmed());
    restoreMainFormTopmost(owner);
}

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
        restoreMainFormTopmost(owner);
    }
    void showTipOfTheDay(QWidget *owner, bool atStart) override
    {
        if (!atStart)
            notAvailable(owner, QStringLiteral("frmTip"));
    }
    void showModal(Window window, QWidget *owner) override { notAvailable(owner, windowName(window)); }
    bool openEditor(QWidget *owner) override
    {
        notAvailable(owner, QStringLiteral("frmGrafik"));
        return false;
    }
    void showBrightness(QWidget *owner, const platform::ImgxImagePtr &) override
    {
        notAvailable(owner, QStringLiteral("frmBrightness"));
    }
    void showSharpSoft(QWidget *owner, const platform::ImgxImagePtr &, bool, bool) override
    {
        notAvailable(owner, QStringLiteral("frmSharpSoft"));
    }
    void showSearch(QWidget *owner) override { notAvailable(owner, QStringLiteral("frmSearch")); }
};

std::unique_ptr<MainWindowServices> makeDefault() { return makeStandInMainWindowServices(); }

} // namespace

QString MainWindowServices::windowName(Window window)
{
    switch (window) {
    case Window::NewCover: return QStringLiteral("frmNewCover");
    case Window::Browse: return QStringLiteral("frmBrowse");
    case Window::Options: return QStringLiteral("frmOptions");
    case Window::UpdateCheck: return QStringLiteral("frmUpdateCheck");
    case Window::About: return QStringLiteral("frmAbout");
    }
    return QString();
}

std::unique_ptr<MainWindowServices> makeStandInMainWindowServices() { return std::make_unique<StandInServices>(); }

template <>
platform::Seam<MainWindowServices>::Factory &platform::Seam<MainWindowServices>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}
