#include "platform/ui/Screen.h"

#include <utility>

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace platform {
namespace {

double logicalDpi(bool horizontal)
{
    const QScreen *s = QGuiApplication::primaryScreen();
    if (!s)
        return 96.0;
    const double dpi = horizontal ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
    return dpi > 0 ? dpi : 96.0;
}

Qt::CursorShape shapeFor(int pointer)
{
    switch (pointer) {
    case Pointer::SizeNESW: return Qt::SizeBDiagCursor;
    case Pointer::SizeNS: return Qt::SizeVerCursor;
    case Pointer::SizeNWSE: return Qt::SizeFDiagCursor;
    case Pointer::SizeWE: return Qt::SizeHorCursor;
    case Pointer::Hourglass: return Qt::WaitCursor;
    case Pointer::ArrowHourglass: return Qt::BusyCursor;
    default: return Qt::ArrowCursor;
    }
}

class QtScreen final : public Screen {
public:
    double twipsPerPixelX() const override { return 1440.0 / logicalDpi(true); }
    double twipsPerPixelY() const override { return 1440.0 / logicalDpi(false); }
    QRect freeArea() const override
    {
        const QScreen *s = QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect();
    }
    int mousePointer() const override { return pointer_; }
    void showMousePointer(int pointer) override
    {
        pointer_ = pointer;
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return;
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        if (pointer != Pointer::Default)
            QGuiApplication::setOverrideCursor(QCursor(shapeFor(pointer)));
    }

private:
    int pointer_ = Pointer::Default;
};

std::unique_ptr<Screen> makeDefault() { return makeQtScreen(); }

} // namespace

std::unique_ptr<Screen> makeQtScreen() { return std::make_unique<QtScreen>(); }

namespace {
int gBusyHolds = 0;
}

void Screen::setMousePointer(int pointer)
{
    if (gBusyHolds == 0)
        showMousePointer(pointer);
}

BusyPointer::BusyPointer()
{
    if (gBusyHolds++ == 0)
        Screen::get().showMousePointer(Pointer::Hourglass);
}

void BusyPointer::release()
{
    if (!std::exchange(holding_, false))
        return;
    if (--gBusyHolds == 0)
        Screen::get().showMousePointer(Pointer::Default);
}

template <> Seam<Screen>::Factory &Seam<Screen>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
