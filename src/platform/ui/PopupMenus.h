#pragma once
// Context menus. A menu opens at a point of the screen and answers the entry chosen (nothing
// when the user closed it); the caller runs the entry's command, so that a failure in it is
// the caller's to report and never passes through the menu's event loop.
#include "platform/Seam.h"

class QAction;
class QMenu;
class QPoint;

namespace platform {

class PopupMenus {
public:
    virtual ~PopupMenus() = default;
    virtual QAction *popup(QMenu &menu, const QPoint &globalPos) = 0;

    static PopupMenus &get() { return Seam<PopupMenus>::get(); }
};

std::unique_ptr<PopupMenus> makeQtPopupMenus();

template <> Seam<PopupMenus>::Factory &Seam<PopupMenus>::defaultFactory();

} // namespace platform
