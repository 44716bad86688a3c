#include "core/mdlUtilWindows.h"

#include "core/Globals.h"

#include "platform/ui/Choosers.h"

#include <QAbstractButton>
#include <QWidget>

bool setFormTopmost(QWidget *form, std::optional<bool> onTop, bool activate)
{
    if (!form)
        return false;
    if (onTop.has_value() && form->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != *onTop) {
        const bool wasVisible = form->isVisible();
        const QRect geometry = form->geometry();
        form->setWindowFlag(Qt::WindowStaysOnTopHint, *onTop);
        if (wasVisible) {
            form->setGeometry(geometry);
            form->show();
        }
    }
    if (form->isVisible()) {
        form->raise();
        if (activate)
            form->activateWindow();
    }
    return true;
}

bool setMainFormTopmost(QWidget *mainForm, std::optional<bool> onTop, bool activate)
{
    return setFormTopmost(mainForm, onTop, activate);
}

bool restoreMainFormTopmost(QWidget *mainForm)
{
    return setMainFormTopmost(mainForm, gByteForeground != 0, true);
}

bool isFormTopmost(const QWidget *form)
{
    return form && form->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void enableFrameControls(QWidget *frame)
{
    if (!frame)
        return;
    for (QWidget *w : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        w->setEnabled(true);
}

void enableFrameControlsExcept(QWidget *frame, const QString &names)
{
    if (!frame)
        return;
    const QStringList keep = names.split(u';', Qt::SkipEmptyParts);
    for (QWidget *w : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        w->setEnabled(keep.contains(w->objectName()));
}

short getSelectedOptionIndex(const std::vector<QAbstractButton *> &buttons)
{
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (!buttons[i])
            return -1;
        if (buttons[i]->isChecked())
            return short(i);
    }
    return 0;
}

QString BrowseForFolder(const QString &title)
{
    return platform::Choosers::get().chooseFolder(title, QString());
}
