#include "app/AppServices.h"
#include "dialogs/DialogWindows.h"
#include "editor/EditorGlobals.h"

#include "coverformats/CoverFormatWindows.h"
#include "coverformats/frmSearch.h"
#include "editor/EditorDialogs.h"
#include "texteditor/frmTextedit.h"

namespace {

class AppServices final : public MainWindowServices {
public:
    void showCoverFormatEditor(QWidget *owner, const QString &caption) override
    {
        ::showCoverFormatEditor(owner, caption);
    }
    void showTipOfTheDay(QWidget *owner, bool) override { ::showTipOfTheDay(owner); }
    void showModal(Window window, QWidget *owner) override
    {
        switch (window) {
        case Window::Browse:
            showImageBrowser(owner);
            return;
        case Window::Options:
            showOptionsDialog(owner);
            return;
        case Window::UpdateCheck:
            showUpdateCheck(owner);
            return;
        case Window::About:
            showAboutBox(owner);
            return;
        case Window::NewCover:
            showNewCover(owner);
            return;
        }
    }
    bool openEditor(QWidget *owner) override { return openGraphicsEditor(owner); }
    void showBrightness(QWidget *owner, const platform::ImgxImagePtr &image) override
    {
        ::showBrightness(owner, image, false);
    }
    void showSharpSoft(QWidget *owner, const platform::ImgxImagePtr &image, bool sharpen,
                       bool calledFromEditor) override
    {
        ::showSharpSoft(owner, image, sharpen, calledFromEditor);
    }
    void showSearch(QWidget *owner) override { frmSearch::showSearch(owner); }
};

} // namespace

std::unique_ptr<MainWindowServices> makeAppMainWindowServices() { return std::make_unique<AppServices>(); }

namespace {

class AppEditorWindows final : public EditorWindows {
public:
    void showModal(const QString &form, QWidget *owner, bool newText) override
    {
        if (form == QLatin1String("frmTextedit"))
            showTextEditor(owner, newText);
        else
            qWarning("The graphics editor opens no window %s.", qUtf8Printable(form));
    }
};

} // namespace

std::unique_ptr<EditorWindows> makeAppEditorWindows() { return std::make_unique<AppEditorWindows>(); }
