#pragma once
// The screen service: the twip scale of the display, the part of it that windows may take
// and the application's mouse pointer.
// The pointer is an absolute state (never a push/pop pair), numbered as the program knows it;
// a BusyPointer keeps the hourglass over work whose steps each set the pointer themselves.
#include "platform/Seam.h"

#include <QRect>

namespace platform {

namespace Pointer {
enum : int { Default = 0, SizeNESW = 6, SizeNS = 7, SizeNWSE = 8, SizeWE = 9, Hourglass = 11, ArrowHourglass = 13 };
}

class Screen {
public:
    virtual ~Screen() = default;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    // The screen's free area, in pixels: the whole screen but its panels and docks.
    virtual QRect freeArea() const = 0;
    virtual int mousePointer() const = 0;
    // Sets the pointer, unless a BusyPointer holds the hourglass: then it waits for its end.
    void setMousePointer(int pointer);

    static Screen &get() { return Seam<Screen>::get(); }

protected:
    friend class BusyPointer;
    // Shows the pointer.
    virtual void showMousePointer(int pointer) = 0;
};

// The hourglass from its making to its end (or release()), whatever the steps of the work set
// meanwhile; the normal pointer then. Nested ones end with the outermost.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
    // Ends this one's hold early, before a message the user is to read.
    void release();

private:
    bool holding_ = true;
};

// The application's mouse pointer, as the program sets it everywhere.
inline void setPointer(int pointer) { Screen::get().setMousePointer(pointer); }

// The real screen: 1440 twips per inch over the primary screen's logical dpi, the primary
// screen's available geometry, and the pointer as the application's override cursor.
std::unique_ptr<Screen> makeQtScreen();

template <> Seam<Screen>::Factory &Seam<Screen>::defaultFactory();

} // namespace platform
