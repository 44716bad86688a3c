#pragma once
// The application's style, drawing as the style Qt chose does, without loading every
// image-format plugin at start-up. Qt's style reads a few pictures of its own from PNG files:
// the icons of the menu bar's extension button the moment a menu bar is made, the frame of a
// group box when one is first painted. Finding a reader for a PNG file asks every
// image-format plugin whether it reads PNG, which loads each of them and the libraries they
// need. Here the extension icons are read when first drawn (they are shown only when the menus
// do not fit), and the group-box frame is read once with Qt's own PNG reader, before any
// plugin is known, into the pixmap cache where the style finds it.
#include <QProxyStyle>

namespace platform {

class DeferredIconStyle : public QProxyStyle {
public:
    DeferredIconStyle();
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace platform
