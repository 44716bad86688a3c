// The quick-load window: drop, print and save a side without the main window.
#include "mainwindow/frmQuickLoad.h"

#include "ui_frmQuickLoad.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "core/modURLDownload.h"
#include "mainwindow/DroppedImage.h"
#include "mainwindow/ControlArray.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "canvas/clsMoveableObjects.h"
#include "mainwindow/SaveTarget.h"
#include "mainwindow/frmPelmora.h"
#include "platform/net/Download.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

using platform::setPointer;

namespace {

// Saved JPEG files get this quality.
constexpr int kSaveQuality = 95;

// The display codes of the window's buttons: caption left of centre, picture on the left.
constexpr int kButtonCaptionAlignment = 4;
constexpr int kButtonPictureAlignment = 3;

} // namespace

frmQuickLoad::frmQuickLoad(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::frmQuickLoad>()), mMain(frmPelmora::instance())
{
    ui->setupUi(this);
    controlArray(this, "picVisible", picVisible);
    controlArray(this, "cmdPrint", cmdPrint);
    controlArray(this, "cmdSave", cmdSave);
    lblLoadPic = ui->lblLoadPic;
    lblDescription = ui->lblDescription;

    for (int s = 0; s < 2; ++s) {
        connect(picVisible[size_t(s)], &PictureBox::dropped, this, [this, s](const QMimeData &data, Qt::DropAction action) {
            // The drag source waits until the drop returns: the loading, perhaps a download,
            // runs afterwards on a copy of what was dropped.
            auto copy = std::make_shared<QMimeData>();
            for (const QString &format : data.formats())
                copy->setData(format, data.data(format));
            QTimer::singleShot(0, this, [this, s, copy, action] { picVisible_OLEDragDrop(s, *copy, action); });
        });
    }
    for (int i = 0; i < 3; ++i) {
        connect(cmdPrint[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdPrint_Click(i); });
        connect(cmdSave[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdSave_Click(i); });
    }
    Form_Load();
}

frmQuickLoad::~frmQuickLoad() = default;

frmQuickLoad *frmQuickLoad::open(frmPelmora &main)
{
    main.hide();
    auto *window = new frmQuickLoad();
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (window->mMain != &main) {
        window->mMain = &main;
        window->Form_Load();
    }
    // The window stands in for the main window and goes with it.
    connect(&main, &QObject::destroyed, window, &QObject::deleteLater);
    setFormTopmost(window, true, false);
    window->show();
    setFormTopmost(window, true, true);
    return window;
}

void frmQuickLoad::Form_Load()
{
    changeLanguage(this);
    for (size_t i = 0; i < 3; ++i) {
        for (ButtonPlus *b : {cmdPrint[i], cmdSave[i]}) {
            QFont f = b->font();
            f.setFamily(QStringLiteral("MS Sans Serif"));
            f.setStyleHint(QFont::SansSerif); // where the face is missing, a sans face stands in
            b->setFont(f);
            b->setCaptionAlignment(kButtonCaptionAlignment);
            b->setPictureAlignment(kButtonPictureAlignment);
        }
    }
    if (mMain)
        for (int s = 0; s < 2; ++s)
            showOnBox(s, mMain->picVisible[size_t(s)]->picture());
}

void frmQuickLoad::showOnBox(int side, const QImage &picture)
{
    PictureBox *box = picVisible[size_t(side)];
    box->setPicture(picture);
    box->stretchPicture();
    box->refresh();
}

QString frmQuickLoad::rememberedFileName(int side) const
{
    return side >= 0 && side <= 1 ? mStrFileName[size_t(side)] : QString();
}

int frmQuickLoad::saveFilterIndexFor(const QString &fileName)
{
    static const std::pair<const char *, int> table[] = {
        {"JPG", 1}, {"PNG", 2}, {"PSD", 3}, {"TIF", 4}, {"PCX", 5},
        {"TGA", 6}, {"WBMP", 7}, {"BMP", 8}, {"WMF", 9}};
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return 1;
    const QString extension = fileName.mid(dot + 1).toUpper();
    for (const auto &[name, index] : table)
        if (extension == QLatin1String(name))
            return index;
    return 1;
}

QString frmQuickLoad::fileNameFromAddress(const QString &address)
{
    const QUrl url(address.trimmed());
    QString path;
    if (url.isValid()) {
        path = url.path(QUrl::FullyEncoded);
    } else {
        path = address.trimmed();
        for (QChar end : {u'#', u'?'})
            if (const qsizetype at = path.indexOf(end); at >= 0)
                path.truncate(at);
    }
    // The last part of the path; its percent codes may hide further separators.
    QString name = QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(u'/') + 1).toUtf8());
    QString clean;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\')
            clean += u'_';
        else if (c.category() != QChar::Other_Control)
            clean += c;
    }
    clean = clean.trimmed();
    if (clean.count(u'.') == clean.size())
        return QString(); // "", "." or ".." names no file
    return clean;
}

void frmQuickLoad::picVisible_OLEDragDrop(int side, const QMimeData &data, Qt::DropAction)
{
    try {
        if (side < 0 || side > 1)
            throw AppError(ErrNo::SubscriptOutOfRange);
        const size_t k = size_t(side);
        const DroppedImage dropped = droppedImageOf(data);
        platform::ImgxImagePtr image;
        QString name;
        if (dropped.file.isEmpty() && !dropped.address.isEmpty()) {
            // An address, as a web browser drops an image or a link.
            if (!isURL(dropped.address))
                return;
            if (!hasImageAddressEnding(dropped.address)) {
                platform::Prompter::get().msgBox(
                    gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_WRONG_FORMAT"), QStringLiteral("Wrong image type")),
                    platform::MsgStyle::Information, QString());
                return;
            }
            image = loadDroppedAddress(dropped.address,
                                       mMain ? mMain->addressDownloadLimits : platform::Downloader::get().limits(), this);
            if (!image)
                return; // cancelled: the side stays as it was
            name = fileNameFromAddress(dropped.address);
        } else {
            // Files: the first one is taken.
            image = loadDroppedFile(dropped.file);
            if (!image)
                return; // another picture is being read
        }
        mIgxDropped[k] = image;
        mStrFileName[k] = name;
        showOnBox(side, image->qimage());
        if (!mMain)
            throw AppError(ErrNo::ObjectNotSet, QStringLiteral("There is no main window to take the picture."));
        mMain->loadCover(std::int16_t(side), *image);
    } catch (...) {
        const FailureInfo f = currentFailure();
        setPointer(platform::Pointer::Default);
        showError(dropFailureText(), platform::MsgStyle::Critical,
                  QStringLiteral("frmQuickLoad.picVisible_OLEDragDrop"), f.description, f.number);
    }
}

void frmQuickLoad::cmdPrint_Click(int index)
{
    try {
        if (!mMain)
            throw AppError(ErrNo::ObjectNotSet, QStringLiteral("There is no main window to print from."));
        mMain->printSides(index);
    } catch (...) {
        reportError(QStringLiteral("ERR_PRINT"), QStringLiteral("frmQuickLoad.cmdPrint_Click"));
    }
}

void frmQuickLoad::cmdSave_Click(int index)
{
    try {
        if (index < 0 || index > 2)
            throw AppError(ErrNo::InvalidCall);
        if (index == 2) {
            saveSide(0);
            saveSide(1);
        } else {
            saveSide(index);
        }
    } catch (...) {
        setPointer(platform::Pointer::Default);
        reportError(QStringLiteral("ERR_SAVE_COVER"), QStringLiteral("frmQuickLoad.cmdSave_Click"));
    }
}

void frmQuickLoad::saveSide(int side)
{
    const size_t k = size_t(side);
    platform::FileDialogRequest request;
    request.save = true;
    request.confirmOverwrite = true;
    request.filter = gStrSaveImageFilter;
    request.filterIndex = saveFilterIndexFor(mStrFileName[k]);
    int saveType = 0;
    const QString proposedExtension = getImageFormat(request.filterIndex, saveType);
    // The remembered name is proposed with the extension of the proposed format.
    if (!mStrFileName[k].isEmpty())
        request.fileName = stripExtension(mStrFileName[k]) + u'.' + proposedExtension;
    request.defaultSuffix = proposedExtension;
    if (!gStrStandardPath.isEmpty() && fileExistsByAssociation(gStrStandardPath))
        request.initialDir = gStrStandardPath;
    localiseImgxDialog(request);

    const auto chosen = platform::Choosers::get().chooseFile(request);
    if (!chosen || chosen->path.isEmpty())
        return;
    const std::optional<ImageSaveTarget> target = imageSaveTarget(chosen->path, chosen->filterIndex);
    if (!target)
        return;

    const platform::ImgxImagePtr source = sidePicture(side);
    setPointer(platform::Pointer::Hourglass);
    const platform::CodecResult written = source->saveFile(target->path, target->saveType, kSaveQuality);
    setPointer(platform::Pointer::Default);
    if (!written)
        throw AppError(ErrNo::PathFileAccess, written.message);
}

platform::ImgxImagePtr frmQuickLoad::sidePicture(int side) const
{
    const size_t k = size_t(side);
    const auto &model = gObjPartMoveableObjects[k];
    if (gBoolPartHasObjects[k] && model && igxBackup[k] && !igxBackup[k]->isEmpty()) {
        // The side's texts and pictures belong to the cover: the side's picture with them
        // drawn on, as it is printed.
        return sidePictureWithObjects(*igxBackup[k], side, QSize());
    }
    // The picture at the size it has, not the preview: the one dropped here, else the side's.
    const platform::ImgxImagePtr source = mIgxDropped[k] ? mIgxDropped[k] : igxBackup[k];
    if (!source || source->isEmpty())
        throw AppError(ErrNo::ObjectNotSet, QStringLiteral("The side has no picture."));
    return source;
}

void frmQuickLoad::Form_Unload()
{
    if (mBoolUnloaded)
        return;
    mBoolUnloaded = true;
    setFormTopmost(this, false, true);
    if (mMain) {
        setMainFormTopmost(mMain, gByteForeground != 0, false);
        mMain->show();
        restoreMainFormTopmost(mMain);
    }
}

void frmQuickLoad::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    QWidget::closeEvent(e);
}
