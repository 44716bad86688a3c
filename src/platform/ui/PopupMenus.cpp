#include "platform/ui/PopupMenus.h"

#include <QMenu>

namespace platform {
namespace {

class QtPopupMenus final : public PopupMenus {
public:
    QAction *popup(QMenu &menu, const QPoint &globalPos) override { return menu.exec(globalPos); }
};

std::unique_ptr<PopupMenus> makeDefault() { return makeQtPopupMenus(); }

} // namespace

std::unique_ptr<PopupMenus> makeQtPopupMenus() { return std::make_unique<QtPopupMenus>(); }

template <> Seam<PopupMenus>::Factory &Seam<PopupMenus>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
