#include "platform/ui/UrlOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {
namespace {

class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QString &url) override
    {
        const QUrl u = QFileInfo::exists(url) ? QUrl::fromLocalFile(url) : QUrl(url);
        return u.isValid() && QDesktopServices::openUrl(u);
    }
};

std::unique_ptr<UrlOpener> makeDefault() { return makeDesktopUrlOpener(); }

} // namespace

std::unique_ptr<UrlOpener> makeDesktopUrlOpener() { return std::make_unique<DesktopUrlOpener>(); }

template <> Seam<UrlOpener>::Factory &Seam<UrlOpener>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
