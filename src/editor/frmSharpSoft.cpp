#include "editor/frmSharpSoft.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/clsEnvAll.h"
#include "core/libLanguage.h"
#include "mainwindow/Globals.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/PictureBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

QString languageText(const QString &key) { return gObjLanguageStore().getVar(key); }

} // namespace

frmSharpSoft::frmSharpSoft(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSharpSoft"));
    setWindowTitle(QStringLiteral("xxx"));
    const auto px = [](int twips) { return int(twips / 15); };
    const auto place = [&](QWidget *w, int l, int t, int wd, int h) { w->setGeometry(px(l), px(t), px(wd), px(h)); };

    picPreview = new PictureBox(this);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    place(picPreview, 1080, 105, 2715, 2475);
    lblSharpSoft = new QLabel(QStringLiteral("xxx: 0"), this);
    lblSharpSoft->setObjectName(QStringLiteral("lblSharpSoft"));
    lblSharpSoft->setAlignment(Qt::AlignHCenter);
    place(lblSharpSoft, 1080, 2640, 2715, 195);
    scrSharpSoft = new QScrollBar(Qt::Horizontal, this);
    scrSharpSoft->setObjectName(QStringLiteral("scrSharpSoft"));
    scrSharpSoft->setRange(0, 100);
    scrSharpSoft->setPageStep(10);
    place(scrSharpSoft, 120, 2880, 4665, 285);
    cmdOk = new ButtonPlus(this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setText(QStringLiteral("Ok"));
    place(cmdOk, 120, 3240, 2295, 375);
    cmdCancel = new ButtonPlus(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setText(QStringLiteral("Abbrechen"));
    place(cmdCancel, 2520, 3240, 2295, 375);
    setFixedSize(px(4905), px(3735));

    connect(scrSharpSoft, &QScrollBar::valueChanged, this, &frmSharpSoft::preview);
    connect(cmdOk, &QPushButton::clicked, this, &frmSharpSoft::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSharpSoft::cmdCancel_Click);
}

frmSharpSoft::~frmSharpSoft() = default;

void frmSharpSoft::Form_Load()
{
    changeLanguage(this);
    mIntHelpContext = mBoolSharpen ? 1210 : 1215;
    cmdCancel->setButtonStyle(4);
    cmdOk->setButtonStyle(4);
    setSharpSoftCaptions();
}

QString frmSharpSoft::modeLabel() const
{
    return languageText(mBoolSharpen ? QStringLiteral("frmSharpSoft.OTHERTEXT_lblSharpSoft_CAPTIONSHARP")
                                     : QStringLiteral("frmSharpSoft.OTHERTEXT_lblSharpSoft_CAPTIONSOFT"));
}

void frmSharpSoft::setSharpSoftCaptions()
{
    setWindowTitle(languageText(mBoolSharpen ? QStringLiteral("frmSharpSoft.OTHERTEXT_ME_CAPTIONSHARP")
                                             : QStringLiteral("frmSharpSoft.OTHERTEXT_ME_CAPTIONSOFT")));
    lblSharpSoft->setText(modeLabel() + QStringLiteral(" 0"));
}

void frmSharpSoft::Setup(const platform::ImgxImagePtr &image)
{
    try {
        const platform::Screen &screen = platform::Screen::get();
        const int pw = int(std::lround(picPreview->widthTwips() / screen.twipsPerPixelX()));
        const int ph = int(std::lround(picPreview->heightTwips() / screen.twipsPerPixelY()));
        const int s = std::max({1, pw, ph});
        mImgXTarget = image;
        mImgXPreview.reset();
        if (!image || image->isEmpty())
            throw std::runtime_error("There is no picture to change");
        auto copy = platform::ImgxImage::create();
        copy->importImage(*image, platform::kNoUndo);
        copy->resizeToWidth(s, 4, platform::kNoUndo);
        picPreview->setPicture(copy->qimage());
        copy->setUndoLevels(1);
        mImgXPreview = copy;
    } catch (...) {
        mImgXTarget.reset();
        reportError(QStringLiteral("ERR_IMPORT_SHARPSOFT"), QStringLiteral("frmSharpSoft.Setup"));
    }
}

void frmSharpSoft::preview()
{
    const int p = scrSharpSoft->value();
    lblSharpSoft->setText(modeLabel() + QLatin1Char(' ') + QString::number(p));
    if (!mImgXPreview)
        return;
    try {
        if (mBoolSharpen)
            mImgXPreview->sharpen(p, 3, false, QString());
        else
            mImgXPreview->soften(p, QString());
        picPreview->setPicture(mImgXPreview->qimage());
        mImgXPreview->undo();
    } catch (...) {
    }
}

void frmSharpSoft::cmdOk_Click()
{
    mImgXPreview.reset();
    hide();
    const int p = scrSharpSoft->value();
    try {
        if (mBoolCalledFromEditor) {
            // Without a picture (Setup failed) nothing is filtered and nothing recorded.
            if (mImgXTarget && applyInEditor)
                applyInEditor(p);
        } else if (mImgXTarget) {
            if (mBoolSharpen)
                mImgXTarget->sharpen(p, 3, true, QString());
            else
                mImgXTarget->soften(p, QString());
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_CHANGES"), QStringLiteral("frmSharpSoft.cmdOk_Click"));
    }
    accept();
}

void frmSharpSoft::cmdCancel_Click()
{
    hide();
    reject();
}

void frmSharpSoft::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_F1) {
        showHelp();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmSharpSoft::showHelp()
{
    try {
        openHelpFile(mIntHelpContext);
    } catch (...) {
        reportError(QStringLiteral("ERR_OPEN_HELPFILE"), QStringLiteral("frmSharpSoft.Form_KeyDown"));
    }
}
