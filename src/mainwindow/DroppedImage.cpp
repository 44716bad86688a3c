#include "mainwindow/DroppedImage.h"

#include "core/AppError.h"
#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "core/ErrorReport.h"
#include "platform/files/TemporaryFiles.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WaitWindow.h"

#include <QFileInfo>
#include <QMimeData>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUrl>

namespace {
const QString kAddressEndings = QStringLiteral("jpg;gif;bmp;png;psd;tif;pcx;tga;wbmp;wmf;emf;tla");
}

DroppedImage droppedImageOf(const QMimeData &data)
{
    DroppedImage d;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile()) {
            if (d.file.isEmpty())
                d.file = url.toLocalFile();
        } else if (d.address.isEmpty()) {
            d.address = url.toString();
        }
    }
    if (!d.file.isEmpty())
        d.address.clear();
    else if (d.address.isEmpty() && data.hasText())
        d.address = data.text().trimmed();
    return d;
}

QString tooLargePictureText(const platform::CodecResult &read)
{
    if (read.error != platform::CodecError::TooLarge || !read.size.isValid())
        return {};
    return getMessageText(QStringLiteral("MSG_IMAGE_TOO_LARGE"),
                          QStringLiteral("The picture is too large (%1 pixels). Pictures can have at most 16384 "
                                         "pixels a side and 134,217,728 pixels in all (16384 x 8192)."))
        .arg(QStringLiteral("%1 x %2").arg(read.size.width()).arg(read.size.height()));
}

QString unreadablePictureText(const platform::CodecResult &read)
{
    const QString tooLarge = tooLargePictureText(read);
    if (!tooLarge.isEmpty())
        return tooLarge;
    if (read.error == platform::CodecError::TooLarge)
        return getMessageText(QStringLiteral("MSG_IMAGE_TOO_LARGE_MEMORY"),
                              QStringLiteral("The picture is too large: reading it needs more memory than a picture may take."));
    if (read.error == platform::CodecError::TooSlow)
        return getMessageText(QStringLiteral("MSG_IMAGE_TOO_SLOW"),
                              QStringLiteral("The picture takes too long to read and was given up. The file may be "
                                             "damaged, or hold more than a picture needs."));
    // The picture reader itself: missing, broken, or not to be shut in on this system.
    if (read.error == platform::CodecError::ReaderMissing)
        return getMessageText(QStringLiteral("MSG_READER_MISSING"),
                              QStringLiteral("The picture reader of Pelmora (pelmora-decoder) is missing or is not a "
                                             "program that can be run, so no picture can be read. Install Pelmora again."));
    if (read.error == platform::CodecError::ReaderBroken)
        return getMessageText(QStringLiteral("MSG_READER_BROKEN"),
                              QStringLiteral("The picture reader of Pelmora (pelmora-decoder) cannot be started, so no "
                                             "picture can be read. Install Pelmora again. (@cause@)"))
            .replace(QLatin1String("@cause@"), read.message);
    if (read.error == platform::CodecError::Unsafe)
        return getMessageText(QStringLiteral("MSG_READER_UNSAFE"),
                              QStringLiteral("Pictures cannot be read safely on this system, so this one was not read: "
                                             "@cause@."))
            .replace(QLatin1String("@cause@"), read.message);
    return getMessageText(QStringLiteral("MSG_INVALID_IMAGE"), QStringLiteral("The image you selected is corrupt or not supported."));
}

namespace {

// A picture that was read but cannot be used, with the headline of its report.
class RefusedPicture : public AppError {
public:
    RefusedPicture(QString headline, const QString &description)
        : AppError(ErrNo::InvalidCall, description), headline_(std::move(headline))
    {
    }
    const QString &headline() const { return headline_; }

private:
    QString headline_;
};

[[noreturn]] void refuseUnreadable(const platform::CodecResult &read)
{
    QString headline;
    if (read.error == platform::CodecError::TooLarge)
        headline = getMessageText(QStringLiteral("MSG_DROP_TOO_LARGE"), QStringLiteral("The picture is too large for Pelmora."));
    else if (read.error == platform::CodecError::TooSlow)
        headline = getMessageText(QStringLiteral("MSG_DROP_TOO_SLOW"), QStringLiteral("Reading the picture took too long."));
    else if (platform::isReaderFailure(read.error))
        headline = getMessageText(QStringLiteral("MSG_DROP_NO_READER"), QStringLiteral("Pelmora cannot read pictures here."));
    else
        headline = getMessageText(QStringLiteral("MSG_WRONG_FORMAT"), QString());
    throw RefusedPicture(headline, unreadablePictureText(read));
}

// The cause of a failed download in the program's language.
QString downloadCauseText(const platform::DownloadResult &got, const QString &address)
{
    const QUrl url(address);
    const QString host = url.host().isEmpty() ? address : url.host();
    const auto message = [](const char *key, const char *def, const QString &arg) {
        return getMessageText(QString::fromLatin1(key), QString::fromLatin1(def)).arg(arg);
    };
    const long n = got.errorNumber;
    if (n == platform::networkError(QNetworkReply::HostNotFoundError))
        return message("MSG_DOWNLOAD_HOST", "The host %1 was not found.", host);
    if (n == platform::networkError(QNetworkReply::ConnectionRefusedError))
        return message("MSG_DOWNLOAD_REFUSED", "The server %1 refused the connection.", host);
    if (n == platform::DownloadErr::Timeout || n == platform::networkError(QNetworkReply::TimeoutError))
        return message("MSG_DOWNLOAD_TIMEOUT", "The download of %1 timed out.", address);
    if (n == platform::DownloadErr::TooLarge)
        return message("MSG_DOWNLOAD_TOO_LARGE", "%1 is too large to be downloaded.", address);
    if (n == platform::DownloadErr::BadReply)
        return message("MSG_DOWNLOAD_BAD_REPLY", "The server's answer for %1 is broken.", address);
    if (n > platform::DownloadErr::HttpBase && n < platform::DownloadErr::HttpBase + 1000)
        return message("MSG_DOWNLOAD_HTTP", "The server answered with the status %1.",
                       QString::number(n - platform::DownloadErr::HttpBase));
    return message("MSG_DOWNLOAD_FAILED", "The picture could not be loaded from %1.", address);
}

} // namespace

bool hasImageAddressEnding(const QString &address)
{
    return kAddressEndings.contains(address.right(3), Qt::CaseInsensitive);
}

platform::ImgxImagePtr loadDroppedAddress(const QString &address, const platform::DownloadLimits &limits,
                                          QWidget *owner)
{
    QTemporaryDir dir(platform::scratchFolderTemplate(platform::ScratchKind::Download));
    if (!dir.isValid())
        throw AppError(ErrNo::PathFileAccess, getMessageText(QStringLiteral("MSG_DOWNLOAD_NO_FOLDER"),
                                                             QStringLiteral("No temporary folder for the download could be made.")));
    // Only the address's extension is kept, which tells the reader the picture's type; the
    // address's own name may be longer than a file name can be.
    QString name = QStringLiteral("download");
    const QString suffix = QFileInfo(QUrl(address).fileName()).suffix();
    static const QRegularExpression plainSuffix(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
    if (plainSuffix.match(suffix).hasMatch())
        name += u'.' + suffix;
    const QString local = dir.filePath(name);

    clsEnvAll &lang = gObjLanguageStore();
    platform::WaitTexts texts;
    texts.title = lang.getVar(QStringLiteral("frmPelmora.DownloadTitle"), QStringLiteral("Download"));
    texts.label = lang.getVar(QStringLiteral("frmPelmora.DownloadLabel"), QStringLiteral("Loading the picture from")) + u'\n' + address;
    texts.cancel = lang.getVar(QStringLiteral("frmPelmora.DownloadCancel"), QStringLiteral("Cancel"));

    platform::Downloader &downloader = platform::Downloader::get();
    const platform::DownloadLimits usual = downloader.limits();
    bool cancelled = false;
    platform::DownloadResult got;
    {
        auto window = platform::WaitWindows::get().show(owner, texts, [&] {
            cancelled = true;
            downloader.abort();
        });
        const auto restore = qScopeGuard([&] {
            downloader.setProgressHandler({});
            downloader.setLimits(usual);
            platform::Screen::get().setMousePointer(platform::Pointer::Default);
        });
        downloader.setLimits(limits);
        downloader.setProgressHandler([&window](qint64 done, qint64 total) { window->setProgress(done, total); });
        platform::Screen::get().setMousePointer(platform::Pointer::Hourglass);
        got = downloader.download(address, local);
    }
    if (cancelled)
        return nullptr;
    if (!got)
        throw AppError(got.errorNumber, downloadCauseText(got, address));
    auto image = platform::ImgxImage::create();
    const platform::CodecResult read = image->loadFile(local, QString());
    if (read.error == platform::CodecError::Busy)
        return nullptr; // another picture is being read: this one is not taken
    if (!read || image->isEmpty())
        refuseUnreadable(read);
    return image;
}

platform::ImgxImagePtr loadDroppedFile(const QString &file)
{
    if (file.isEmpty())
        throw AppError(ErrNo::InvalidCall, getMessageText(QStringLiteral("MSG_DROP_NO_PICTURE"),
                                                          QStringLiteral("The dropped data holds neither a file nor an address.")));
    auto image = platform::ImgxImage::create();
    const platform::CodecResult read = image->loadFile(file, QString());
    if (read.error == platform::CodecError::Busy)
        return nullptr; // another picture is being read: this one is not taken
    if (!read || image->isEmpty())
        refuseUnreadable(read);
    return image;
}

QString dropFailureText()
{
    try {
        throw;
    } catch (const RefusedPicture &refused) {
        return refused.headline();
    } catch (const AppError &e) {
        if (e.number() >= platform::DownloadErr::NetworkBase && e.number() <= platform::DownloadErr::BadReply)
            return getMessageText(QStringLiteral("MSG_DROP_DOWNLOAD"), QStringLiteral("The picture could not be downloaded."));
    } catch (...) {
    }
    return getMessageText(QStringLiteral("MSG_WRONG_FORMAT"), QString());
}
