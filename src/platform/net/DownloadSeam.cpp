// The program's downloader: the one of the network module (pelmora-net.so), loaded for the
// first download, so that the program starts without Qt's network layer and the libraries it
// brings.
#include "platform/net/Download.h"

#include "platform/process/ProgramModules.h"


namespace platform {
namespace {

// Where the module cannot be loaded, every download says so.
class MissingDownloader final : public Downloader {
public:
    explicit MissingDownloader(QString why) : why_(std::move(why)) {}
    DownloadResult download(const QString &, const QString &) override
    {
        DownloadResult r;
        r.errorNumber = networkError(QNetworkReply::UnknownNetworkError);
        r.description = QStringLiteral("The network part of the program could not be loaded: %1").arg(why_);
        return r;
    }

private:
    QString why_;
};

std::unique_ptr<Downloader> makeDefault()
{
    using Make = Downloader *();
    QString error;
    if (Make *make = programModuleFunction<Make>(QStringLiteral("pelmora-net.so"), "pelmoraMakeNetworkDownloader", &error))
        return std::unique_ptr<Downloader>(make());
    return std::make_unique<MissingDownloader>(error);
}

} // namespace

template <> Seam<Downloader>::Factory &Seam<Downloader>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
