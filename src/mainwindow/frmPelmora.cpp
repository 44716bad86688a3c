// The main window's start and end, the medium buttons and the cover-format lists.
#include "mainwindow/frmPelmora.h"
#include "platform/widgets/LineOverlay.h"
#include "platform/ui/UrlOpener.h"

#include "ui_frmPelmora.h"

#include "core/AppError.h"
#include "core/AppPath.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "core/mdlUtilWindows.h"
#include "mainwindow/ControlArray.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/clsCover.h"
#include "canvas/clsEffects.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ShapeControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

using platform::setPointer;

QPointer<frmPelmora> frmPelmora::sInstance;

namespace {

// The preview box of a format is at most this large (twips); a format without a preview
// height of its own is shown this high.
constexpr double kPreviewMaxWidthTwips = 5175;
constexpr double kPreviewMaxHeightTwips = 3495;
// Room around the preview for the cut border (pixels).
constexpr int kPreviewMargin = 8;

// What both sides show until a picture is loaded: 480 pixels square, light grey-blue growing
// darker from top to bottom. Drawn, not read from a file, since it is part of every start.
QImage startPicture()
{
    constexpr int kSide = 480;
    constexpr int kTop[3] = {241, 244, 249}, kBottom[3] = {211, 219, 232};
    // In the format the program works pictures in, so that a side takes it as it is.
    QImage picture(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < kSide; ++y) {
        int c[3];
        for (int i = 0; i < 3; ++i)
            c[i] = kTop[i] + roundToInt(double(kBottom[i] - kTop[i]) * y / (kSide - 1));
        const QRgb colour = qRgb(c[0], c[1], c[2]);
        QRgb *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        std::fill(row, row + kSide, colour);
    }
    return picture;
}

} // namespace

frmPelmora::frmPelmora(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::frmPelmora>())
{
    ui->setupUi(this);
    sInstance = this;
    // Boxes with no other window to stand in front of belong to the main window.
    platform::setMainDialogOwner(this);
    collectControls();
    buildEffectsMenu();
    windowLines = new LineOverlay(centralWidget());
    timTip = new QTimer(this);
    timTip->setObjectName(QStringLiteral("timTip"));
    timTip->setSingleShot(true);
    timTip->setInterval(0); // once the window is up
    const QImage start = startPicture();
    for (PictureBox *box : picVisible)
        box->setPicture(start);
    connectControls();
    Form_Load();
}

frmPelmora::~frmPelmora()
{
    if (sInstance == this)
        sInstance = nullptr;
}

frmPelmora *frmPelmora::instance() { return sInstance.data(); }

void frmPelmora::collectControls()
{
    controlArray(this, "optMedia", optMedia);
    controlArray(this, "lstCoverNames", lstCoverNames);
    controlArray(this, "picVisible", picVisible);
    controlArray(this, "lblLoadPic", lblLoadPic);
    controlArray(this, "txtWidth", txtWidth);
    controlArray(this, "txtHeight", txtHeight);
    controlArray(this, "txtLeftBorder", txtLeftBorder);
    controlArray(this, "txtTopBorder", txtTopBorder);
    controlArray(this, "shpBorder", shpBorder);
    controlArray(this, "shpCircle", shpCircle);
    controlArray(this, "shpInnerCircle", shpInnerCircle);
    controlArray(this, "lineButtons", lineButtons);
    controlArray(this, "cmdSave", cmdSave);
    controlArray(this, "cmdCreateCover", cmdCreateCover);
    controlArray(this, "cmdEditCover", cmdEditCover);
    controlArray(this, "cmdDeleteCover", cmdDeleteCover);
    controlArray(this, "cmdEditor", cmdEditor);
    controlArray(this, "cmdNewCover", cmdNewCover);
    controlArray(this, "cmdInvert", cmdInvert);
    controlArray(this, "cmdBrightness", cmdBrightness);
    controlArray(this, "cmdSharpen", cmdSharpen);
    controlArray(this, "cmdRefresh", cmdRefresh);
    controlArray(this, "cmdScan", cmdScan);
    controlArray(this, "cmdRotate", cmdRotate);
    controlArray(this, "cmdEffects", cmdEffects);
    controlArray(this, "cmdPrint", cmdPrint);
    cmdSearch = ui->cmdSearch;
    cmdPreview = ui->cmdPreview;
    cmdQuickLoad = ui->cmdQuickLoad;
    cmdExit = ui->cmdExit;
    menuFile = ui->menuFile;
    menuPrint = ui->menuPrint;
    menuScanner = ui->menuScanner;
    menuTools = ui->menuTools;
    menuQuestionMark = ui->menuQuestionMark;
    menuForeground = ui->menuForeground;
    menuOptions = ui->menuOptions;
    menuExit = ui->menuExit;
    menuPrintLeft = ui->menuPrintLeft;
    menuPrintRight = ui->menuPrintRight;
    menuPrintAll = ui->menuPrintAll;
    menuSelectSource = ui->menuSelectSource;
    menuScanLeft = ui->menuScanLeft;
    menuScanRight = ui->menuScanRight;
    menuPreview = ui->menuPreview;
    menuQuickLoad = ui->menuQuickLoad;
    menuSearch = ui->menuSearch;
    mnuUpdateCheck2 = ui->mnuUpdateCheck2;
    menuHelp = ui->menuHelp;
    menuTip = ui->menuTip;
    menuFAQ = ui->menuFAQ;
    mnuUpdateCheck = ui->mnuUpdateCheck;
    menuInfo = ui->menuInfo;
}

void frmPelmora::connectControls()
{
    for (int i = 0; i < int(optMedia.size()); ++i)
        connect(optMedia[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optMedia_Click(i);
        });
    for (int s = 0; s < 2; ++s) {
        const size_t k = size_t(s);
        connect(lstCoverNames[k], &QListWidget::currentRowChanged, this, [this, s](int row) {
            if (row >= 0)
                lstCoverNames_Click(s);
        });
        for (QLineEdit *box : sizeBoxes(s))
            box->installEventFilter(this);
        // The fold ticks above a preview follow it when the window lays it out anew.
        for (QWidget *w = picVisible[k]->parentWidget(); w && w != centralWidget(); w = w->parentWidget())
            w->installEventFilter(this);
        connect(cmdSave[k], &QPushButton::clicked, this, [this, s] { cmdSave_Click(s); });
        connect(cmdCreateCover[k], &QPushButton::clicked, this, [this, s] { cmdCreateCover_Click(s); });
        connect(cmdEditCover[k], &QPushButton::clicked, this, [this, s] { cmdEditCover_Click(s); });
        connect(cmdDeleteCover[k], &QPushButton::clicked, this, [this, s] { cmdDeleteCover_Click(s); });
        connect(picVisible[k], &PictureBox::clicked, this, [this, s] {
            pic_Click(s);
            gObjCover().setBorder(s);
        });
        connect(picVisible[k], &PictureBox::dropped, this, [this, s](const QMimeData &data, Qt::DropAction action) {
            // The drag source waits until the drop returns: the loading, perhaps a download,
            // runs afterwards on a copy of what was dropped.
            auto copy = std::make_shared<QMimeData>();
            for (const QString &format : data.formats())
                copy->setData(format, data.data(format));
            QTimer::singleShot(0, this, [this, s, copy, action] { pic_OLEDragDrop(s, *copy, action); });
        });
        // The hint label lets clicks and drops through to the preview below it.
        lblLoadPic[k]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    for (int i = 0; i < int(cmdPrint.size()); ++i)
        connect(cmdPrint[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdPrint_Click(i); });
    for (int k = 0; k < 2; ++k) {
        const size_t s = size_t(k);
        connect(cmdInvert[s], &QPushButton::clicked, this, [this, k] { cmdInvert_Click(k); });
        connect(cmdRotate[s], &QPushButton::clicked, this, [this, k] { cmdRotate_Click(k); });
        connect(cmdSharpen[s], &QPushButton::clicked, this, [this, k] { cmdSharpen_Click(k); });
        connect(cmdBrightness[s], &QPushButton::clicked, this, [this, k] { cmdBrightness_Click(k); });
        connect(cmdEffects[s], &QPushButton::clicked, this, [this, k] { cmdEffects_Click(k); });
        connect(cmdEditor[s], &QPushButton::clicked, this, [this, k] { cmdEditor_Click(k); });
        connect(cmdNewCover[s], &QPushButton::clicked, this, [this, k] { cmdNewCover_Click(k); });
        connect(cmdRefresh[s], &QPushButton::clicked, this, [this, k] { cmdRefresh_Click(k); });
        connect(cmdScan[s], &QPushButton::clicked, this, [this, k] { cmdScan_Click(k); });
    }
    connect(menuScanLeft, &QAction::triggered, this, [this] { cmdScan_Click(0); });
    connect(menuScanRight, &QAction::triggered, this, [this] { cmdScan_Click(1); });
    connect(menuSelectSource, &QAction::triggered, this, &frmPelmora::menuSelectSource_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmPelmora::cmdPreview_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmPelmora::cmdSearch_Click);
    connect(cmdQuickLoad, &QPushButton::clicked, this, &frmPelmora::cmdQuickLoad_Click);
    connect(menuPreview, &QAction::triggered, this, &frmPelmora::cmdPreview_Click);
    connect(menuSearch, &QAction::triggered, this, &frmPelmora::menuSearch_Click);
    connect(menuQuickLoad, &QAction::triggered, this, &frmPelmora::cmdQuickLoad_Click);
    connect(mnuUpdateCheck, &QAction::triggered, this, &frmPelmora::mnuUpdateCheck_Click);
    connect(mnuUpdateCheck2, &QAction::triggered, this, &frmPelmora::mnuUpdateCheck_Click);
    connect(menuTip, &QAction::triggered, this, &frmPelmora::menuTip_Click);
    connect(menuInfo, &QAction::triggered, this, &frmPelmora::menuInfo_Click);
    connect(menuOptions, &QAction::triggered, this, &frmPelmora::menuOptions_Click);
    connect(menuHelp, &QAction::triggered, this, &frmPelmora::menuHelp_Click);
    connect(menuFAQ, &QAction::triggered, this, &frmPelmora::menuFAQ_Click);
    // The print menu entries: a failure inside is not reported a second time.
    const std::pair<QAction *, int> printMenus[] = {{menuPrintLeft, 0}, {menuPrintRight, 1}, {menuPrintAll, 2}};
    for (const auto &[action, index] : printMenus)
        connect(action, &QAction::triggered, this, [this, index = index] {
            try {
                cmdPrint_Click(index);
            } catch (...) {
            }
        });
    // Going for the Exit button leaves a box without its check; coming back switches it on.
    connect(cmdExit, &ButtonPlus::entered, this, [this] { mBoolValidateBoxes = false; });
    connect(cmdExit, &ButtonPlus::left, this, [this] { mBoolValidateBoxes = true; });
    connect(cmdExit, &QPushButton::clicked, this, &frmPelmora::cmdExit_Click);
    connect(menuExit, &QAction::triggered, this, &frmPelmora::menuExit_Click);
    connect(menuForeground, &QAction::triggered, this, &frmPelmora::menuForeground_Click);
    connect(timTip, &QTimer::timeout, this, &frmPelmora::timTip_Timer);
}

void frmPelmora::setTabOrder()
{
    std::vector<QWidget *> order;
    order.push_back(lstCoverNames[0]);
    for (size_t s = 0; s < 2; ++s) {
        if (s == 1)
            order.push_back(lstCoverNames[1]);
        for (QWidget *w : {static_cast<QWidget *>(cmdInvert[s]), static_cast<QWidget *>(cmdBrightness[s]),
                           static_cast<QWidget *>(cmdSharpen[s]), static_cast<QWidget *>(cmdRefresh[s]),
                           static_cast<QWidget *>(cmdScan[s]), static_cast<QWidget *>(cmdRotate[s]),
                           static_cast<QWidget *>(cmdCreateCover[s]), static_cast<QWidget *>(cmdEditCover[s]),
                           static_cast<QWidget *>(cmdDeleteCover[s]), static_cast<QWidget *>(txtHeight[s]),
                           static_cast<QWidget *>(txtWidth[s]), static_cast<QWidget *>(txtLeftBorder[s]),
                           static_cast<QWidget *>(txtTopBorder[s])})
            order.push_back(w);
    }
    for (QRadioButton *o : optMedia)
        order.push_back(o);
    for (QWidget *w : {static_cast<QWidget *>(cmdSearch), static_cast<QWidget *>(cmdPreview)})
        order.push_back(w);
    for (ButtonPlus *p : cmdPrint)
        order.push_back(p);
    order.push_back(cmdExit);
    // The controls of later commands follow the listed ones.
    for (size_t s = 0; s < 2; ++s)
        for (QWidget *w : {static_cast<QWidget *>(cmdSave[s]), static_cast<QWidget *>(cmdEditor[s]),
                           static_cast<QWidget *>(cmdNewCover[s]), static_cast<QWidget *>(cmdEffects[s])})
            order.push_back(w);
    order.push_back(cmdQuickLoad);
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmPelmora::Form_Load()
{
    try {
        mBoolInitialised = false;
        initBackupIgx();
        if (!objTwain)
            createTwain();
        mBoolRestoreSelection = true;
        mBoolReady = true;
        changeLanguage(this);

        chooseHelpFile();

        menuForeground->setChecked(gByteForeground != 0);

        for (size_t s = 0; s < 2; ++s) {
            for (ShapeControl *shape : {shpBorder[s], shpCircle[s], shpInnerCircle[s]}) {
                if (gBytePrintBorder == 1)
                    shape->setBorderColor(std::uint32_t(gLngBorderColor));
                else
                    shape->hide();
            }
        }
        for (QLabel *hint : lblLoadPic)
            hint->raise();

        gIntPrintQuality = 0;
        gBytePrintColor = 0;
        gIntPrintPrinterIndex = -1;
        setTabOrder();

        // The cut border lies behind the preview, which covers all of it but its edge; the
        // disc outlines lie on the picture, below the hint label.
        for (size_t s = 0; s < 2; ++s) {
            shpBorder[s]->lower();
            shpCircle[s]->stackUnder(lblLoadPic[s]);
            shpInnerCircle[s]->stackUnder(lblLoadPic[s]);
        }

        timTip->start();

        for (size_t s = 0; s < 2; ++s) {
            igxBackup[s]->setQImage(picVisible[s]->picture(), platform::kNoUndo);
            layoutPreview(int(s));
        }

        // A stored medium or format that names nothing there starts with the first one.
        int medium = 0;
        const auto stored = parseDataNumber(gObjOptionsStore().getVar(QStringLiteral("OPTIONS.LASTMEDIUM"), QStringLiteral("0")));
        if (stored && *stored == std::floor(*stored) && *stored >= 0 && *stored < double(optMedia.size()))
            medium = int(*stored);
        selectMedium(medium);

        for (int s = 0; s < 2; ++s) {
            if (gVarCoverTypes[gObjCover().aktMedium()].hasRecords()) {
                const int last = s == 0 ? gIntLastCoverLeft : gIntLastCoverRight;
                selectCoverEntry(s, last > 0 && last < lstCoverNames[size_t(s)]->count() ? last : 0);
            } else {
                convertImageSizeToCover(std::int16_t(s));
            }
        }

        gBoolPartHasObjects = {false, false};
        refitSideImage(0);
        refitSideImage(1);

        mBoolInitialised = true;
        mBoolValidateBoxes = true;
        gObjCover().setBorder(0);
    } catch (...) {
        reportErrorText(QStringLiteral("Error frmPelmora_Load"), QStringLiteral("frmPelmora.frmPelmora_Load"));
    }
}

void frmPelmora::optMedia_Click(int index)
{
    try {
        setPointer(platform::Pointer::Hourglass);
        gObjCover().getAktMedium();
        for (QListWidget *list : lstCoverNames) {
            const QSignalBlocker quiet(list);
            list->clear();
        }

        const bool userDefined = index == 5;
        for (size_t s = 0; s < 2; ++s) {
            cmdCreateCover[s]->setVisible(userDefined);
            cmdEditCover[s]->setVisible(userDefined);
            cmdDeleteCover[s]->setVisible(userDefined);
            lineButtons[s]->setVisible(userDefined);
        }
        if (!userDefined) {
            for (ButtonPlus *p : cmdPrint)
                p->setEnabled(true);
        } else {
            const bool any = gVarCoverTypesLoaded[5].hasRecords();
            for (size_t s = 0; s < 2; ++s) {
                if (!any)
                    for (QLineEdit *box : sizeBoxes(int(s)))
                        box->clear();
                cmdEditCover[s]->setEnabled(any);
                cmdDeleteCover[s]->setEnabled(any);
                cmdCreateCover[s]->setEnabled(true);
            }
            for (ButtonPlus *p : cmdPrint)
                p->setEnabled(any);
        }

        const CoverTable &table = gVarCoverTypes[gObjCover().aktMedium()];
        for (const CoverRecord &r : table.records())
            for (QListWidget *list : lstCoverNames) {
                const QSignalBlocker quiet(list);
                list->addItem(r.text(CoverField::DisplayName));
            }

        mBoolInitialised = false;
        if (mBoolRestoreSelection) {
            mBoolRestoreSelection = false;
            if (table.hasRecords()) {
                selectCoverEntry(0, gObjCover().LeftListIndex());
                selectCoverEntry(1, gObjCover().RightListIndex());
            }
        } else if (table.hasRecords()) {
            const CoverRecord &first = table.at(0);
            selectCoverEntry(0, toInt32(first.number(CoverField::PreselectLeft)));
            selectCoverEntry(1, toInt32(first.number(CoverField::PreselectRight)));
        }
        mBoolInitialised = true;

        for (size_t s = 0; s < 2; ++s)
            if (lstCoverNames[s]->count() == 0)
                shpCircle[s]->hide();
        if (mBoolReady)
            gObjCover().setBorder(0);
        setPointer(platform::Pointer::Default);
    } catch (...) {
        mBoolInitialised = true;
        reportError(QStringLiteral("ERR_CHOOSE_MEDIUM"), QStringLiteral("frmPelmora.optMedia_Click"));
    }
}

void frmPelmora::selectMedium(int index)
{
    if (index < 0 || index >= int(optMedia.size()))
        return;
    if (optMedia[size_t(index)]->isChecked())
        optMedia_Click(index);
    else
        optMedia[size_t(index)]->setChecked(true);
}

void frmPelmora::selectCoverEntry(int side, int entry)
{
    if (side < 0 || side > 1)
        return;
    QListWidget *list = lstCoverNames[size_t(side)];
    if (entry < 0 || entry >= list->count())
        return;
    {
        const QSignalBlocker quiet(list);
        list->setCurrentRow(entry);
    }
    lstCoverNames_Click(side);
}

void frmPelmora::lstCoverNames_Click(int side)
{
    const size_t k = size_t(side);
    try {
        setPointer(platform::Pointer::Hourglass);
        const int n = lstCoverNames[k]->currentRow();
        if (n < 0) {
            setPointer(platform::Pointer::Default);
            return;
        }
        if (n > 255)
            throw AppError(ErrNo::Overflow);
        if (side == 0)
            gObjCover().setLeftListIndex(std::uint8_t(n));
        else
            gObjCover().setRightListIndex(std::uint8_t(n));

        const CoverRecord &r = gVarCoverTypes[gObjCover().aktMedium()].at(n);
        const double h = r.number(CoverField::Height);
        const double w = r.number(CoverField::Width);
        // A format without a size leaves the side as it was.
        if (!(h > 0) || !(w > 0))
            throw AppError(ErrNo::InvalidCall, QStringLiteral("The cover format %1 has no size.").arg(r.text(CoverField::Name)));
        const double left = r.number(side == 0 ? CoverField::LeftOffsetX : CoverField::RightOffsetX);
        const double top = r.number(side == 0 ? CoverField::LeftOffsetY : CoverField::RightOffsetY);
        double previewHeight = r.number(CoverField::PreviewHeight);

        txtLeftBorder[k]->setText(formatUserNumber(left));
        txtTopBorder[k]->setText(formatUserNumber(top));
        txtWidth[k]->setText(formatUserNumber(w));
        txtHeight[k]->setText(formatUserNumber(h));

        if (!(previewHeight > 0) || previewHeight > kPreviewMaxHeightTwips)
            previewHeight = kPreviewMaxHeightTwips;
        picVisible[k]->setHeightTwips(previewHeight);
        picVisible[k]->setWidthTwips(std::min(previewHeight * w / h, kPreviewMaxWidthTwips));
        layoutPreview(side);

        convertImageSizeToCover(std::int16_t(side));
        if (mBoolInitialised)
            gObjCover().setBorder(side);
        if (igxBackup[k] && !igxBackup[k]->isEmpty())
            refitSideImage(side);
        setPointer(platform::Pointer::Default);
    } catch (...) {
        reportError(QStringLiteral("ERR_SELECT_COVERTYPE"), QStringLiteral("frmPelmora.lstCoverNames_Click"));
    }
}

void frmPelmora::layoutPreview(int side)
{
    const size_t k = size_t(side);
    const auto &screen = platform::Screen::get();
    QWidget *area = picVisible[k]->parentWidget();
    area->setFixedSize(roundToInt(kPreviewMaxWidthTwips / screen.twipsPerPixelX()) + 2 * kPreviewMargin,
                       roundToInt(kPreviewMaxHeightTwips / screen.twipsPerPixelY()) + 2 * kPreviewMargin);
    PictureBox *box = picVisible[k];
    box->move((area->width() - box->width()) / 2, (area->height() - box->height()) / 2);
    lblLoadPic[k]->setGeometry(box->geometry().adjusted(8, 8, -8, -8));
}

void frmPelmora::refitSideImage(int side)
{
    const size_t k = size_t(side);
    platform::ImgxImage *image = igxBackup[k].get();
    if (!image || image->isEmpty())
        return;
    const QSize now(image->width(), image->height());
    // An image changed since the last refit (loaded, edited, a new background) is the base
    // of the refits from now on.
    if (now != mSizeFitted[k] || mSizeFitBase[k].isEmpty())
        mSizeFitBase[k] = now;
    const QSize target = fittedImageSize(mSizeFitBase[k], previewBoxPixels(side));
    if (!target.isEmpty() && target != now)
        image->resize(target.width(), target.height(), 13, platform::kNoUndo);
    mSizeFitted[k] = QSize(image->width(), image->height());
}

void frmPelmora::stretchPictureBox(int side) { picVisible[size_t(side)]->stretchPicture(); }

void frmPelmora::timTip_Timer()
{
    try {
        if (gByteShowTips == 0) {
            setMainFormTopmost(this, false, true);
            mBoolReady = false;
            MainWindowServices::get().showTipOfTheDay(this, true);
            mBoolReady = true;
            restoreMainFormTopmost(this);
        }
    } catch (...) {
        mBoolReady = true;
    }
    timTip->stop();
}

void frmPelmora::Form_QueryUnload() { mBoolValidateBoxes = false; }

void frmPelmora::Form_Unload(int &cancel)
{
    try {
        const bool valid = validateSizeBoxes();
        if (!valid && mBoolValidateBoxes) {
            cancel = 1;
            return;
        }
        std::vector<QAbstractButton *> media(optMedia.begin(), optMedia.end());
        clsEnvAll &store = gObjOptionsStore();
        bool stored = store.saveVar(QStringLiteral("OPTIONS.LASTMEDIUM"), QString::number(getSelectedOptionIndex(media)));
        stored = store.saveVar(QStringLiteral("OPTIONS.LASTCOVERLEFT"), QString::number(lstCoverNames[0]->currentRow())) && stored;
        stored = store.saveVar(QStringLiteral("OPTIONS.LASTCOVERRIGHT"), QString::number(lstCoverNames[1]->currentRow())) && stored;
        if (!stored)
            platform::Prompter::get().msgBox(
                getMessageText(QStringLiteral("MSG_LAST_CHOICE_NOT_STORED"),
                               QStringLiteral("The chosen medium and cover formats could not be stored for the next start: "
                                              "the options file cannot be written.")),
                platform::MsgStyle::Exclamation, getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR")));
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_ERROR"), QStringLiteral("frmPelmora.Form_Unload"));
    }
    endProgram();
}

void frmPelmora::endProgram()
{
    mBoolUnloaded = true;
    timTip->stop();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
    if (!mBoolClosing)
        close();
}

void frmPelmora::closeEvent(QCloseEvent *e)
{
    if (mBoolUnloaded) {
        e->accept();
        return;
    }
    Form_QueryUnload();
    int cancel = 0;
    mBoolClosing = true; // the unload must not close the window a second time
    Form_Unload(cancel);
    mBoolClosing = false;
    if (cancel)
        e->ignore();
    else
        e->accept();
}
