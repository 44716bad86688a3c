#pragma once
// Context menus. A menu opens at a point of the screen and runs the chosen entry before the
// call returns, as the program's handlers expect.
#include "platform/Seam.h"

class QMenu;
class QPoint;

namespace platform {

class PopupMenus {
public:
    virtual ~PopupMenus() = default;
    virtual void popup(QMenu &menu, const QPoint &globalPos) = 0;

    static PopupMenus &get() { return Seam<PopupMenus>::get(); }
};

std::unique_ptr<PopupMenus> makeQtPopupMenus();

template <> Seam<PopupMenus>::Factory &Seam<PopupMenus>::defaultFactory();

} // namespace platform
