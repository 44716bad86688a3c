#include "coverformats/frmBrowse.h"

#include "coverformats/PreviewPicture.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/Globals.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/frmPelmora.h"
#include "platform/Rounding.h"
#include "platform/imaging/ImgxImage.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "mainwindow/DroppedImage.h"
#include "ui_frmBrowse.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace {
// The run-time error of a file that holds no readable picture.
constexpr long kInvalidPicture = 481;

long errorNumberOf(const platform::CodecResult &read)
{
    return read.error == platform::CodecError::TooLarge ? ErrNo::OutOfMemory : kInvalidPicture;
}

QString text(const QString &key, const QString &def) { return gObjLanguageStore().getVar(key, def); }

// What the error report says of a picture that could not be read; one over the limits
// names its size.
QString messageOf(const platform::CodecResult &read) { return unreadablePictureText(read); }
}

frmBrowse::frmBrowse(QWidget *owner) : QDialog(owner), ui(std::make_unique<Ui::frmBrowse>())
{
    ui->setupUi(this);
    picPreview = ui->picPreview;
    lblNoFile = ui->lblNoFile;
    Frame1 = ui->Frame1;
    cmdBrowse = ui->cmdBrowse;
    txtImageFolder = ui->txtImageFolder;
    lstFiles = ui->lstFiles;
    cmdOvertake = {ui->cmdOvertake_0, ui->cmdOvertake_1};

    const platform::Screen &screen = platform::Screen::get();
    setFixedSize(roundToInt(kInnerWidth / screen.twipsPerPixelX()), roundToInt(kInnerHeight / screen.twipsPerPixelY()));
    cmdBrowse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdBrowse->setIconSize(QSize(20, 20));
    cmdOvertake[0]->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    cmdOvertake[1]->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    cmdOvertake[1]->setLayoutDirection(Qt::RightToLeft); // its arrow on the right
    picPreview->setHeightTwips(picPreview->height() * screen.twipsPerPixelY());
    picPreview->setWidthTwips(picPreview->width() * screen.twipsPerPixelX());
    lblNoFile->raise();

    connect(cmdBrowse, &QToolButton::clicked, this, &frmBrowse::cmdBrowse_Click);
    Frame1->installEventFilter(this);
    connect(lstFiles, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            lstFiles_Click();
    });
    for (int i = 0; i < 2; ++i)
        connect(cmdOvertake[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdOvertake_Click(i); });

    Form_Load();
}

frmBrowse::~frmBrowse() = default;

frmPelmora *frmBrowse::mainWindow() const
{
    if (auto *w = qobject_cast<frmPelmora *>(parentWidget()))
        return w;
    return frmPelmora::instance();
}

void frmBrowse::Form_Load()
{
    try {
        changeLanguage(this);
    } catch (...) {
    }
    if (gStrStandardPath.isEmpty())
        lblNoFile->setText(text(QStringLiteral("MESSAGES.MSG_NO_FOLDER"), QString()));
    cmdOvertake[0]->setCaptionAlignment(5);
    cmdOvertake[0]->setPictureAlignment(3);
    cmdOvertake[1]->setPictureAlignment(5);
    cmdOvertake[1]->setCaptionAlignment(3);
    if (gStrLanguage == QLatin1String("English.dll"))
        cmdOvertake[0]->setCaptionAlignment(4);
    centrePreview();
    if (!gStrStandardPath.isEmpty() && directoryExists(gStrStandardPath)) {
        setListPath(gStrStandardPath);
        txtImageFolder->setText(gStrStandardPath);
    }
}

void frmBrowse::centrePreview()
{
    const platform::Screen &screen = platform::Screen::get();
    mDblPreviewLeft = (kInnerWidth - picPreview->widthTwips()) / 2;
    picPreview->move(roundToInt(mDblPreviewLeft / screen.twipsPerPixelX()), roundToInt(kPreviewTop / screen.twipsPerPixelY()));
}

QString frmBrowse::fileName() const
{
    const QListWidgetItem *item = lstFiles->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void frmBrowse::setListPath(const QString &folder)
{
    mStrListPath = folder;
    mListed.clear();
    const QSignalBlocker block(lstFiles);
    lstFiles->clear();
    refreshFileList();
}

void frmBrowse::refreshFileList()
{
    const QStringList files = imageFilesOf(mStrListPath);
    if (files == mListed && lstFiles->count() == files.size())
        return;
    const QString current = fileName();
    const int scroll = lstFiles->verticalScrollBar()->value();
    const QSignalBlocker block(lstFiles);
    lstFiles->clear();
    lstFiles->addItems(files);
    mListed = files;
    const int row = current.isEmpty() ? -1 : int(files.indexOf(current));
    if (row >= 0)
        lstFiles->setCurrentRow(row);
    lstFiles->verticalScrollBar()->setValue(scroll);
}

void frmBrowse::cmdBrowse_Click()
{
    lblNoFile->setText(text(QStringLiteral("frmBrowse.lblNoFile"), QString()));
    const QString folder = BrowseForFolder(text(QStringLiteral("MESSAGES.MSG_SELECT_FOLDER"), QString()));
    if (folder.isEmpty())
        return;
    txtImageFolder->setText(folder);
    setListPath(folder);
}

void frmBrowse::lstFiles_Click()
{
    lblNoFile->hide();
    picPreview->hide();
    try {
        // The file of the line clicked: a mouse press makes it the current line before it
        // selects it.
        const QListWidgetItem *item = lstFiles->currentItem();
        const QString path = addBackslash(mStrListPath) + (item ? item->text() : QString());
        const platform::Screen &screen = platform::Screen::get();
        QSizeF twips;
        const auto targetFor = [&](QSize picture) {
            twips = previewSizeTwips(picture);
            return QSize(std::max(1, roundToInt(twips.width() / screen.twipsPerPixelX())),
                         std::max(1, roundToInt(twips.height() / screen.twipsPerPixelY())));
        };
        QImage picture;
        QSize original;
        const platform::CodecResult read = loadPreviewPicture(path, targetFor, picture, original);
        if (read.error == platform::CodecError::Busy)
            return; // the click comes while another picture is read: it is not read twice
        if (!read)
            throw AppError(errorNumberOf(read), messageOf(read));
        picPreview->setWidthTwips(twips.width());
        picPreview->setHeightTwips(twips.height());
        picPreview->setPicture(picture);
        picPreview->stretchPicture();
        centrePreview();
        picPreview->show();
    } catch (...) {
        reportError(QStringLiteral("ERR_SELECT_SOURCE"), QStringLiteral("frmBrowse.lstFiles_Click"));
    }
}

void frmBrowse::cmdOvertake_Click(int index)
{
    const QString name = fileName();
    if (name.isEmpty()) {
        platform::Prompter::get().msgBox(text(QStringLiteral("ERRORS.ERR_PICTURE"), QString()), platform::MsgStyle::Critical,
                                         text(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
        return;
    }
    frmPelmora *main = mainWindow();
    if (!main)
        return;
    const QString path = addBackslash(mStrListPath) + name;
    const auto image = platform::ImgxImage::create();
    try {
        const platform::CodecResult read = loadWholePicture(path, *image);
        if (read.error == platform::CodecError::Busy)
            return;
        if (!read || image->isEmpty())
            throw AppError(errorNumberOf(read), messageOf(read));
    } catch (...) {
        reportError(QStringLiteral("ERR_SELECT_SOURCE"), QStringLiteral("frmBrowse.cmdOvertake_Click"));
        return;
    }
    // Each step goes on when one before it fails.
    try {
        gObjCover().chkType(name, std::int16_t(index));
    } catch (...) {
    }
    main->lblLoadPic[size_t(index)]->hide();
    QApplication::processEvents();
    main->loadCover(std::int16_t(index), *image);
}

bool frmBrowse::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        refreshFileList();
    return QDialog::event(e);
}

bool frmBrowse::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Frame1 && e->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
        cmdBrowse_Click();
    return QDialog::eventFilter(watched, e);
}

void frmBrowse::Form_Unload()
{
    if (mBoolUnloaded)
        return;
    mBoolUnloaded = true;
    if (frmPelmora *main = mainWindow())
        restoreMainFormTopmost(main);
}

void frmBrowse::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    QDialog::closeEvent(e);
}

void frmBrowse::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}
