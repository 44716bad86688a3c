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
    AppServices() : m_standIn(makeStandInMainWindowServices()) {}

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
        m_standIn->showModal(window, owner);
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

private:
    std::unique_ptr<MainWindowServices> m_standIn;
};

} // namespace

std::unique_ptr<MainWindowServices> makeAppMainWindowServices() { return std::make_unique<AppServices>(); }

namespace {

class AppEditorWindows final : public EditorWindows {
public:
    AppEditorWindows() : m_standIn(makeStandInEditorWindows()) {}

    void showModal(const QString &form, QWidget *owner, bool newText) override
    {
        if (form == QLatin1String("frmTextedit")) {
            showTextEditor(owner, newText);
            return;
        }
        m_standIn->showModal(form, owner, newText);
    }

private:
    std::unique_ptr<EditorWindows> m_standIn;
};

} // namespace

std::unique_ptr<EditorWindows> makeAppEditorWindows() { return std::make_unique<AppEditorWindows>(); }
