#pragma once
// Opens web and mail addresses and documents in the system's handler.
#include "platform/Seam.h"

#include <QString>

namespace platform {

class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Returns false when no handler accepted the address.
    virtual bool open(const QString &url) = 0;

    static UrlOpener &get() { return Seam<UrlOpener>::get(); }
};

std::unique_ptr<UrlOpener> makeDesktopUrlOpener();

template <> Seam<UrlOpener>::Factory &Seam<UrlOpener>::defaultFactory();

} // namespace platform
