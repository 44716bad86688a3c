// Scanning into a cover side: the scan commands, the source choice and the events of the
// acquisition object. With "scan to file" the picture is first saved under a name the user
// gives, then taken into the side.
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "mainwindow/SaveTarget.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/scan/ScannerProcess.h"
#include "platform/ui/WaitWindow.h"
#include "platform/imaging/ImgxImage.h"
#include "platform/scan/TwainObject.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/PictureBox.h"

#include <QLabel>

using platform::setPointer;

namespace {


void noScanner()
{
    clsEnvAll &lang = gObjLanguageStore();
    platform::Prompter::get().msgBox(lang.getVar(QStringLiteral("ERRORS.ERR_TWAIN_NO_SOURCE"), QStringLiteral("No Scanner available")),
                                     platform::MsgStyle::Information, lang.getVar(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
}

} // namespace

void frmPelmora::createTwain()
{
    objTwain = new platform::TwainObject(this);
    objTwain->setObjectName(QStringLiteral("objTwain"));
    localiseScanner();
    connect(objTwain, &platform::TwainObject::ImageAcquired, this, &frmPelmora::objTwain_ImageAcquired);
    connect(objTwain, &platform::TwainObject::AcquireCanceled, this, &frmPelmora::objTwain_AcquireCanceled);
    connect(objTwain, &platform::TwainObject::CanCloseTwain, this, &frmPelmora::objTwain_CanCloseTwain);
    connect(objTwain, &platform::TwainObject::TwainError, this, &frmPelmora::objTwain_TwainError);
}

void frmPelmora::localiseScanner()
{
    clsEnvAll &lang = gObjLanguageStore();
    platform::TwainTexts texts;
    auto take = [&lang](QString &text, const char *key) {
        const QString t = lang.getVar(QStringLiteral("frmPelmora.") + QLatin1String(key));
        if (!t.isEmpty())
            text = t;
    };
    take(texts.errorTitle, "ScanErrorTitle");
    take(texts.progressTitle, "ScanProgressTitle");
    take(texts.progressLabel, "ScanProgressLabel");
    take(texts.cancel, "ScanCancel");
    take(texts.source.title, "ScanSourceTitle");
    take(texts.source.vendor, "ScanSourceVendor");
    take(texts.source.model, "ScanSourceModel");
    take(texts.source.device, "ScanSourceDevice");
    take(texts.source.noSource, "ScanSourceNone");
    take(texts.source.mode, "ScanSourceMode");
    take(texts.source.resolution, "ScanSourceResolution");
    objTwain->setTexts(texts);
    platform::WaitTexts wait{QStringLiteral("Scanner"), QStringLiteral("Waiting for the scanner..."), texts.cancel};
    take(wait.title, "ScanWaitTitle");
    take(wait.label, "ScanWaitLabel");
    platform::setScannerWaitTexts(wait);
}

void frmPelmora::cmdScan_Click(int side)
{
    try {
        mIntActualSide = std::int16_t(side);
        setMainFormTopmost(this, false, true);
        // In the language the program speaks now, which may have changed since the start.
        localiseScanner();
        // A source that cannot be opened is told as "no scanner", once.
        mBoolOpeningSource = true;
        const bool open = objTwain->twainAvailable() && objTwain->openSource(this);
        mBoolOpeningSource = false;
        if (open) {
            setPointer(platform::Pointer::Hourglass);
            objTwain->acquire(0, this);
        } else {
            noScanner();
        }
        setPointer(platform::Pointer::Default);
    } catch (...) {
        mBoolOpeningSource = false;
        restoreMainFormTopmost(this);
        reportError(QStringLiteral("ERR_SCAN_PICTURE"), QStringLiteral("frmPelmora.cmdScan_Click"));
    }
}

void frmPelmora::menuSelectSource_Click()
{
    try {
        localiseScanner();
        if (objTwain->twainAvailable())
            objTwain->selectSource(this);
        else
            noScanner();
    } catch (...) {
        reportError(QStringLiteral("ERR_SELECT_SOURCE"), QStringLiteral("frmPelmora.menuSelectSource_Click"));
    }
}

void frmPelmora::objTwain_ImageAcquired(const QImage &scanned)
{
    const auto side = mIntActualSide;
    const size_t k = size_t(side);
    try {
        auto image = platform::ImgxImage::create();
        image->setQImage(scanned, QString());
        if (image->isEmpty())
            throw AppError(ErrNo::OutOfMemory, QStringLiteral("The scanned picture of %1 x %2 pixels could not be kept.")
                                                   .arg(scanned.width()).arg(scanned.height()));
        setMainFormTopmost(this, false, true);
        if (gByteScanToFile != 1) {
            picVisible[k]->setPicture(image->qimage());
            picVisible[k]->update();
            loadCover(side, *image);
            gObjCover().chkType(QString(), side);
            lblLoadPic[k]->hide();
        } else {
            platform::FileDialogRequest request;
            request.save = true;
            request.confirmOverwrite = true;
            request.filter = gStrSaveImageFilter;
            int proposedType = 0;
            request.defaultSuffix = getImageFormat(request.filterIndex, proposedType);
            if (!gStrScanPath.isEmpty() && fileExistsByAssociation(gStrScanPath))
                request.initialDir = gStrScanPath;
            localiseImgxDialog(request);
            setMainFormTopmost(this, true, true);
            const auto chosen = platform::Choosers::get().chooseFile(request);
            setMainFormTopmost(this, true, true);
            if (chosen && !chosen->path.isEmpty()) {
                if (const std::optional<ImageSaveTarget> target = imageSaveTarget(chosen->path, chosen->filterIndex)) {
                    const platform::CodecResult saved = image->saveFile(target->path, target->saveType);
                    if (!saved)
                        throw AppError(ErrNo::PathFileAccess, saved.message);
                    loadCover(side, *image);
                    gObjCover().chkType(target->path, side);
                    lblLoadPic[k]->hide();
                }
            }
        }
        restoreMainFormTopmost(this);
        setPointer(platform::Pointer::Default);
    } catch (...) {
        restoreMainFormTopmost(this);
        reportError(QStringLiteral("ERR_SCAN_PICTURE"), QStringLiteral("frmPelmora.objTwain_ImageAcquired"));
    }
}

void frmPelmora::objTwain_AcquireCanceled()
{
    setPointer(platform::Pointer::Default);
    objTwain->closeSource();
}

void frmPelmora::objTwain_CanCloseTwain() { objTwain->closeSource(); }

void frmPelmora::objTwain_TwainError(int number, const QString &title, const QString &text)
{
    if (mBoolOpeningSource)
        return;
    restoreMainFormTopmost(this);
    setPointer(platform::Pointer::Default);
    platform::Prompter::get().msgBox(QStringLiteral("Error Number:  ") + QString::number(number) + QStringLiteral("\r\n\r\n") + text,
                                     platform::MsgStyle::Information, title);
}
