#include "core/mdlUtilWindows.h"

#include "core/Globals.h"

#include "platform/ui/Choosers.h"
#include "platform/ui/Screen.h"

#include <QAbstractButton>
#include <QStyle>
#include <QWidget>

#include <algorithm>

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

QMargins windowFrame(const QWidget &window)
{
    if (window.isVisible()) {
        const QRect outer = window.frameGeometry(), inner = window.geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                outer.bottom() - inner.bottom()};
    }
    return {0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window), 0, 0};
}

QSize sizeWithinFreeArea(const QWidget &window, QSize size)
{
    const QRect free = platform::Screen::get().freeArea();
    if (free.isEmpty())
        return size;
    return size.boundedTo(free.size().shrunkBy(windowFrame(window)));
}

void placeInFreeArea(QWidget &window)
{
    const QRect free = platform::Screen::get().freeArea();
    if (free.isEmpty())
        return;
    const QSize outer = window.size().grownBy(windowFrame(window));
    const bool shown = window.isVisible();
    const QPoint middle((free.width() - outer.width()) / 2, (free.height() - outer.height()) / 2);
    QPoint at = shown ? window.frameGeometry().topLeft() : free.topLeft() + middle;
    at.setX(std::clamp(at.x(), free.left(), std::max(free.left(), free.right() + 1 - outer.width())));
    at.setY(std::clamp(at.y(), free.top(), std::max(free.top(), free.bottom() + 1 - outer.height())));
    if (!shown || at != window.frameGeometry().topLeft())
        window.move(at);
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
