#include "mainwindow/MainWindowServices.h"

#include <QtGlobal>

namespace {

// The program installs the real windows at start; anything else that opens one must have
// installed its own.
std::unique_ptr<MainWindowServices> makeDefault()
{
    qFatal("No windows of the main window are installed.");
}

} // namespace

QString MainWindowServices::windowName(Window window)
{
    switch (window) {
    case Window::NewCover: return QStringLiteral("frmNewCover");
    case Window::Browse: return QStringLiteral("frmBrowse");
    case Window::Options: return QStringLiteral("frmOptions");
    case Window::UpdateCheck: return QStringLiteral("frmUpdateCheck");
    case Window::About: return QStringLiteral("frmAbout");
    }
    return QString();
}

template <>
platform::Seam<MainWindowServices>::Factory &platform::Seam<MainWindowServices>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}
