#include "texteditor/frmTextedit.h"
#include "ui_frmTextedit.h"

#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/clsMoveableObjects.h"
#include "canvas/clsTextObject.h"
#include "canvas/clsUndos.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libLanguage.h"
#include "core/mdlUtil.h"
#include "mainwindow/LocaleNumbers.h"
#include "platform/Rounding.h"
#include "platform/imaging/Colors.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/imaging/TextDrawing.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/NumberBox.h"
#include "texteditor/Globals.h"
#include "texteditor/TextBox.h"
#include "texteditor/TextLists.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

using platform::kNoUndo;

namespace {

QString source(const char *procedure) { return QStringLiteral("frmTextedit.") + QLatin1String(procedure); }

// Anti-alias levels of the list positions 0..4.
constexpr double kAntiAlias[] = {0, 1, 2, 5, 9};

// Runs one statement of a procedure that goes on with the next one after a failure.
template <class F>
void skipFailure(F &&f)
{
    try {
        f();
    } catch (...) {
    }
}

// The first characters of a text, never half of a character.
QString leftCharacters(const QString &text, int count)
{
    if (text.size() <= count)
        return text;
    if (count > 0 && text[count - 1].isHighSurrogate())
        --count;
    return text.left(count);
}

// Fills a list without choosing an entry (a list chooses its first entry when it gets one).
template <class F>
void fill(QComboBox *list, F &&add)
{
    const QSignalBlocker quiet(list);
    list->clear();
    add();
    list->setCurrentIndex(-1);
}

int antiAliasPosition(double level)
{
    for (int i = 0; i < 5; ++i)
        if (kAntiAlias[i] == level)
            return i;
    return -1;
}

// A box of whole numbers low..high with its spinner, whose upper arrow raises the number: a
// number typed is taken rounded into the range; once the typing is done the box shows the
// number taken, and 0 for what is no number.
NumberBox *wholeNumberBox(QLineEdit *box, QScrollBar *spinner, int low, int high, std::function<void()> taken)
{
    NumberBox::Rules rules;
    rules.read = [=](const QString &text) -> std::optional<double> {
        if (const std::optional<double> v = parseUserNumber(text))
            return roundHalfEven(std::clamp(*v, double(low), double(high)));
        return std::nullopt;
    };
    rules.finished = [read = rules.read](const QString &text) {
        const std::optional<double> v = read(text);
        return QString::number(v ? int(*v) : 0);
    };
    rules.position = [high](double value) { return high - int(value); };
    rules.positionText = [high](int position) { return QString::number(high - position); };
    rules.taken = [taken = std::move(taken)](double) { taken(); };
    return new NumberBox(box, spinner, std::move(rules));
}

// A family without the foundry that the font database adds where two foundries offer one
// family ("Nimbus Sans [urw]" -> "Nimbus Sans").
QString withoutFoundry(const QString &family)
{
    if (family.endsWith(u']')) {
        const qsizetype open = family.lastIndexOf(QLatin1String(" ["));
        if (open > 0)
            return family.left(open);
    }
    return family;
}

// The screen's font families in the database's order, each once.
QStringList screenFontNames()
{
    QStringList names;
    for (const QString &family : QFontDatabase::families()) {
        const QString name = withoutFoundry(family);
        if (!names.contains(name))
            names << name;
    }
    return names;
}

double freshWidthPercent()
{
    static const double w = clsTextObject().mSnglWidthInPercent;
    return w;
}

} // namespace

// The text editor as the importers and the effect dialogs see it.
class frmTextedit::Host final : public texteditor::TextEditorHost {
public:
    explicit Host(frmTextedit &f) : f_(f) {}
    QWidget *window() override { return &f_; }
    QString text() const override { return f_.txtText->text(); }
    void setText(const QString &crlfText) override { f_.txtText->setText(crlfText); }
    void focusTextAtEnd() override { f_.txtText->focusAtEnd(); }
    bool previewEnabled() const override { return f_.mBoolPreviewEnabled; }
    void setPreviewEnabled(bool enabled) override { f_.mBoolPreviewEnabled = enabled; }
    bool autoPreview() const override { return f_.chkAutoPreview->isChecked(); }
    void doPreview() override { f_.doPreview(); }

private:
    frmTextedit &f_;
};

frmTextedit::frmTextedit(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmTextedit>()), host_(std::make_unique<Host>(*this))
{
    ui->setupUi(this);
    txtText = ui->txtText;
    cboFont = ui->cboFont;
    cboSize = ui->cboSize;
    cboAntiAlias = ui->cboAntiAlias;
    cboEffects = ui->cboEffects;
    cmdBold = ui->cmdBold;
    cmdItalic = ui->cmdItalic;
    cmdUnderline = ui->cmdUnderline;
    cmdStrikeThru = ui->cmdStrikeThru;
    cmdAlignLeft = ui->cmdAlignLeft;
    cmdAlignCenter = ui->cmdAlignCenter;
    cmdAlignRight = ui->cmdAlignRight;
    cmdColor = ui->cmdColor;
    cmdListe = ui->cmdListe;
    cmdCountList = ui->cmdCountList;
    cmdListMP3 = ui->cmdListMP3;
    cmdListM3U = ui->cmdListM3U;
    cmdListFiles = ui->cmdListFiles;
    cmdCDDB = ui->cmdCDDB;
    cmdOK = ui->cmdOK;
    cmdCancel = ui->cmdCancel;
    txtAngel = ui->txtAngel;
    txtCharSpace = ui->txtCharSpace;
    updAngle = ui->updAngle;
    updCharSpace = ui->updCharSpace;
    chkAutoPreview = ui->chkAutoPreview;
    lblPreview = ui->lblPreview;
    igxPreview = ui->igxPreview;
    timerMaxPreview = new QTimer(this);
    timerMaxPreview->setInterval(kPreviewInterval);

    // Enter in the small boxes presses no button.
    for (ButtonPlus *b : findChildren<ButtonPlus *>())
        b->setAutoDefault(false);

    txtText->onKeyDown = [this](QKeyEvent *e) { return txtText_KeyDown(e); };
    txtText->onFilesDropped = [this](const QStringList &files) { filesDropped(files); };
    connect(txtText, &QPlainTextEdit::textChanged, this, [this] { txtText_Change(); });
    connect(txtText, &TextBox::gotFocus, this, [this] { SetTextFormat(); });
    for (QComboBox *c : {cboFont, cboSize})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            SetTextFormat();
            doPreview();
        });
    connect(cboAntiAlias, &QComboBox::currentIndexChanged, this, [this] { doPreview(); });
    // Choosing the entry already shown opens its dialog again.
    connect(cboEffects, &QComboBox::activated, this, [this](int i) { cboEffects_Click(i); });
    connect(cmdBold, &QPushButton::clicked, this, [this] { toggleStyle(0); });
    connect(cmdItalic, &QPushButton::clicked, this, [this] { toggleStyle(1); });
    connect(cmdUnderline, &QPushButton::clicked, this, [this] { toggleStyle(2); });
    connect(cmdStrikeThru, &QPushButton::clicked, this, [this] { toggleStyle(3); });
    connect(cmdAlignLeft, &QPushButton::clicked, this, [this] { setTextAlignment(0); });
    connect(cmdAlignRight, &QPushButton::clicked, this, [this] { setTextAlignment(1); });
    connect(cmdAlignCenter, &QPushButton::clicked, this, [this] { setTextAlignment(2); });
    connect(cmdColor, &QPushButton::clicked, this, [this] { cmdColor_Click(); });
    mAngle = wholeNumberBox(txtAngel, updAngle, 0, 360, [this] { doPreview(); });
    mCharSpace = wholeNumberBox(txtCharSpace, updCharSpace, -10, 10, [this] { doPreview(); });
    connect(chkAutoPreview, &QCheckBox::toggled, this, [this] { chkAutoPreview_Click(); });
    connect(timerMaxPreview, &QTimer::timeout, this, [this] { timerMaxPreview_Timer(); });
    connect(cmdListe, &QPushButton::clicked, this, [this] { cmdListe_Click(); });
    connect(cmdCountList, &QPushButton::clicked, this, [this] { cmdCountList_Click(); });
    connect(cmdListMP3, &QPushButton::clicked, this, [this] { texteditor::TextImporters::get().listMp3(host()); });
    connect(cmdListM3U, &QPushButton::clicked, this, [this] { texteditor::TextImporters::get().listPlaylist(host()); });
    connect(cmdListFiles, &QPushButton::clicked, this, [this] { texteditor::TextImporters::get().listFiles(host()); });
    connect(cmdCDDB, &QPushButton::clicked, this, [this] { cmdCDDB_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

frmTextedit::~frmTextedit() = default;

texteditor::TextEditorHost &frmTextedit::host() { return *host_; }

QSize frmTextedit::previewPixelSize() const
{
    const platform::Screen &s = platform::Screen::get();
    const int w = roundToInt(igxPreview->width() * s.twipsPerPixelX() / s.twipsPerPixelX());
    const int h = roundToInt(igxPreview->height() * s.twipsPerPixelY() / s.twipsPerPixelY());
    return QSize(std::max(1, w), std::max(1, h));
}

void frmTextedit::Form_Load()
{
    mBoolUnloaded = false;
    try {
        mBoolPreviewPending = false;
        const QFont buttons = cmdBold->font();
        changeLanguage(this);
        for (ButtonPlus *b : {cmdBold, cmdItalic, cmdUnderline})
            b->setFont(buttons);
        QFont f = cmdItalic->font();
        f.setItalic(true);
        f.setFamily(QStringLiteral("Arial"));
        cmdItalic->setFont(f);
        f = cmdUnderline->font();
        f.setUnderline(true);
        f.setFamily(QStringLiteral("Arial"));
        cmdUnderline->setFont(f);
        cmdOK->setButtonStyle(4);
        cmdCancel->setButtonStyle(4);
        InitComboBoxes();
        mBoolListOn = false;
        mBoolNumbered = false;
        SetTextFormat();
        QApplication::processEvents();
        const QSize px = previewPixelSize();
        mImgXPreview = platform::ImgxImage::create();
        mImgXPreview->blank(px.width(), px.height(), 0xFFFFFF, 0, 6, kNoUndo);
        mStrListBullet = QStringLiteral("*");
        mStrListSeparator = QStringLiteral(" ");
        if (!mBoolNewText)
            loadTextData();
        setContrastBackground(false);
        mBoolPreviewEnabled = true;
        QApplication::processEvents();
        doPreview();
        platform::setPointer(platform::Pointer::Default);
        QFont shown = txtText->font();
        shown.setPointSizeF(14);
        txtText->setFont(shown);
        timerMaxPreview->start();
    } catch (...) {
        reportError(QStringLiteral("ERR_LOADTEXTEDITOR"), source("Form_Load"));
    }
}

void frmTextedit::InitComboBoxes()
{
    clsEnvAll &lang = gObjLanguageStore();
    skipFailure([&] {
        fill(cboSize, [&] {
            for (int s = 6; s <= 32; ++s)
                cboSize->addItem(QString::number(s));
            for (int s : {36, 48, 72})
                cboSize->addItem(QString::number(s));
        });
        cboSize->setCurrentIndex(cboSize->findText(QStringLiteral("14"), Qt::MatchExactly | Qt::MatchCaseSensitive));
    });
    skipFailure([&] {
        fill(cboFont, [&] { cboFont->addItems(screenFontNames()); });
        mIntNamedFontEntry = -1;
        selectFont(QStringLiteral("Arial"));
    });
    skipFailure([&] {
        fill(cboAntiAlias, [&] {
            cboAntiAlias->addItem(lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_ANTIALIAS_NONE"), QStringLiteral("None")));
            cboAntiAlias->addItem(lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_ANTIALIAS_LITTLE"), QStringLiteral("Little")));
            cboAntiAlias->addItem(lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_ANTIALIAS_AVERAGE"), QStringLiteral("Some")));
            cboAntiAlias->addItem(lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_ANTIALIAS_MUCH"), QStringLiteral("Much")));
            cboAntiAlias->addItem(lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_ANTIALIAS_MORE"), QStringLiteral("More")));
        });
        cboAntiAlias->setCurrentIndex(0);
    });
    skipFailure([&] {
        QStringList &names = gStrEffectNames();
        while (names.size() < 4)
            names << QString();
        names[0] = lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_EFFECTS_SHADOW"), QStringLiteral("Shadow"));
        names[1] = lang.getVar(QStringLiteral("frmTextedit.OTHERTEXT_EFFECTS_GRADIENT"), QStringLiteral("Gradient"));
        fill(cboEffects, [&] {
            cboEffects->addItem(names[0]);
            cboEffects->addItem(names[1]);
        });
    });
    skipFailure([&] { writeDefaultTextEffects(); });
    skipFailure([&] { mAngle->show(QStringLiteral("0")); });
    skipFailure([&] { mCharSpace->show(QStringLiteral("0")); });
}

void frmTextedit::SetTextFormat()
{
    skipFailure([&] {
        if (cboFont->currentIndex() >= 0) {
            QFont f = txtText->font();
            f.setFamily(cboFont->currentIndex() == mIntNamedFontEntry ? mStrNamedFont : cboFont->currentText());
            txtText->setFont(f);
        }
    });
    skipFailure([&] {
        if (cboSize->currentIndex() >= 0)
            if (const auto v = parseUserNumber(cboSize->currentText()))
                mDblFontSize = *v;
    });
}

void frmTextedit::selectFont(const QString &name)
{
    int entry = cboFont->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry < 0)
        entry = cboFont->findText(withoutFoundry(QFontInfo(QFont(name)).family()), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry < 0)
        return;
    mIntNamedFontEntry = entry;
    mStrNamedFont = name;
    cboFont->setCurrentIndex(entry);
}

void frmTextedit::loadTextData()
{
    try {
        if (!gObjTextObject)
            gObjTextObject = std::make_shared<clsTextObject>();
        const clsTextObject &o = *gObjTextObject;
        switch (o.mbyteAlignment) {
        case 0: txtText->setAlignment(0); break;
        case 2: txtText->setAlignment(1); break;
        case 1: txtText->setAlignment(2); break;
        default: break;
        }
        QFont f;
        copyFont(o.mfntFont, f);
        txtText->setFont(f);
        txtText->setTextColor(std::uint32_t(o.mlngColor));
        const double r = roundHalfEven(o.mDblAngle);
        const double turns = std::trunc(r / 360.0);
        mAngle->show(formatUserNumber(o.mDblAngle - 360.0 * turns));
        mCharSpace->show(QString::number(o.mLngCharSpace));
        gObjTextShadow()->copy(*o.mObjTextShadow);
        gObjTextGradient()->copy(*o.mObjTextGradient);
        txtText->setText(o.mstrText);
        const int aa = antiAliasPosition(o.mdblAntiAlias);
        if (aa >= 0)
            cboAntiAlias->setCurrentIndex(aa);
        // The size as a currency value (four decimals), then to the nearest whole number.
        const double size = roundHalfEven(o.fontSize() * 10000.0) / 10000.0;
        const double whole = roundHalfEven(size);
        int found = -1;
        for (int i = 0; i < cboSize->count() && found < 0; ++i) {
            const auto v = parseUserNumber(cboSize->itemText(i));
            if (v && *v == whole)
                found = i;
        }
        if (found < 0) {
            cboSize->addItem(formatUserNumber(size));
            found = cboSize->count() - 1;
        }
        cboSize->setCurrentIndex(found);
        selectFont(o.mfntFont.family());
        gObjTextObjectBefore = std::make_shared<clsTextObject>();
        gObjTextObjectBefore->copy(o);
    } catch (...) {
        reportError(QStringLiteral("ERR_TEXTEDIT_LOADTEXT"), source("loadTextData"));
    }
}

void frmTextedit::setContrastBackground(bool fromColorChange)
{
    const std::uint32_t back = txtText->textColor() == 0xFFFFFF ? 0 : 0xFFFFFF;
    txtText->setBackColor(back);
    igxPreview->setBackColor(platform::imaging::fromColorRef(back));
    const QSize px = previewPixelSize();
    if (fromColorChange) {
        auto shown = platform::ImgxImage::create();
        shown->blank(px.width(), px.height(), back, 255, 6, kNoUndo);
        igxPreview->setImage(shown);
    } else {
        if (!mImgXPreview)
            mImgXPreview = platform::ImgxImage::create();
        mImgXPreview->blank(px.width(), px.height(), back, 0, 6, kNoUndo);
    }
}

bool frmTextedit::effectActive() const
{
    return gObjTextGradient()->mBoolIsActive || gObjTextShadow()->mBoolIsActive;
}

void frmTextedit::doPreview()
{
    if (!mBoolPreviewEnabled)
        return;
    namespace imaging = platform::imaging;
    try {
        if (!mImgXPreview) {
            const QSize px = previewPixelSize();
            mImgXPreview = platform::ImgxImage::create();
            mImgXPreview->blank(px.width(), px.height(), 0xFFFFFF, 0, 6, kNoUndo);
        }
        auto shown = platform::ImgxImage::create();
        shown->importImage(*mImgXPreview, kNoUndo);
        if (chkAutoPreview->isChecked() && !txtText->isBlank()) {
            const QString text = leftCharacters(txtText->leftText(kPreviewCharacters + 1), kPreviewCharacters);
            const double widthPercent =
                !mBoolNewText && gObjTextObjectBefore ? gObjTextObjectBefore->mSnglWidthInPercent : freshWidthPercent();
            const int position = cboAntiAlias->currentIndex();
            if (position >= 0 && position < 5)
                mDblPreviewAntiAlias = kAntiAlias[position];
            imaging::TextStyle st = clsTextObject::textStyle(
                txtText->font(), mDblFontSize, widthPercent, int(mCharSpace->value()),
                std::int32_t(txtText->textColor()), mDblPreviewAntiAlias);
            // Edit box alignment 0 left, 1 right, 2 centre; drawn 0 left, 1 centre, 2 right.
            const int align = txtText->alignment();
            const int drawAlign = align == 1 ? 2 : align == 2 ? 1 : 0;
            // A text that cannot be drawn at its size (its characters beyond the drawing's
            // bounds, its picture past the picture limits, its glyphs too much to fill) leaves the
            // preview empty, without a message at every key: OK tells it.
            const auto empty = [&] { igxPreview->setImage(shown); };
            if (imaging::beyondTextBounds(st, text))
                return empty();
            const imaging::TextExtent extent = imaging::textExtent(st, text, drawAlign);
            const QSize m = extent.size;
            if (!platform::withinPictureLimits(m))
                return empty();
            const double pw = shown->width();
            int x = 0;
            if (align == 2)
                x = roundToInt((pw - 1.2 * m.width()) / 2.0);
            else if (align == 1)
                x = roundToInt(pw - 1.2 * m.width());
            const imaging::TextPlan plan(st, text, QRect(QPoint(x, 1), m), drawAlign, extent);
            if (plan.tooCostly())
                return empty();
            shown->drawText(plan, gObjTextGradient()->mBoolIsActive ? clsTextObject::gradientFill(*gObjTextGradient(), m)
                                                                     : QImage(),
                            kNoUndo);
            const clsTextShadow &sh = *gObjTextShadow();
            if (sh.mBoolIsActive)
                shown->dropShadow(sh.mLngX, sh.mLngY, std::uint32_t(sh.mlngColor), sh.mByteOpacitiy, sh.mDblBlurLevel,
                                  kNoUndo);
        }
        igxPreview->setImage(shown);
    } catch (...) {
        reportError(QStringLiteral("ERR_TEXTEDIT_PREVIEW"), source("doPreview"));
    }
}

bool frmTextedit::TextToImgX()
{
    try {
        // The text is drawn on a copy first: a text too large to be drawn, or a failure, leaves
        // the canvas as it was and the editor open with the text as typed.
        auto drawn = std::make_shared<clsTextObject>();
        if (!mBoolNewText && gObjTextObject)
            drawn->copy(*gObjTextObject);
        clsTextObject &o = *drawn;
        o.mObjTextGradient->copy(*gObjTextGradient());
        o.mObjTextShadow->copy(*gObjTextShadow());
        switch (txtText->alignment()) {
        case 0: o.mbyteAlignment = 0; break;
        case 1: o.mbyteAlignment = 2; break;
        case 2: o.mbyteAlignment = 1; break;
        default: break;
        }
        o.mDblAngle = mAngle->value();
        const int aa = cboAntiAlias->currentIndex();
        if (aa >= 0 && aa < 5)
            o.mdblAntiAlias = kAntiAlias[aa];
        o.mLngCharSpace = std::int32_t(mCharSpace->value());
        copyFont(txtText->font(), o.mfntFont);
        o.mlngColor = std::int32_t(txtText->textColor());
        o.mstrText = txtText->text();
        o.setFontSize(mDblFontSize);
        auto &model = *gObjMoveableObjects();
        if (!o.TextToImgX(model.objEffects.get()))
            return false;
        o.mLngOriginalWidth = o.mImgXPicture ? o.mImgXPicture->width() : 0;
        // The canvas shows the text at its zoom: the picture is drawn at it here, before the text
        // is committed, and kept; nothing is drawn again after the commit, so a drawing that fails
        // leaves the canvas as it was and the editor open.
        if (gDblZoomFactor != 1 && !o.renderAtZoom(gDblZoomFactor, model.objEffects.get()))
            return false;
        if (mBoolNewText || !gObjTextObject)
            gObjTextObject = drawn;
        else
            gObjTextObject->copy(o);
        if (mBoolNewText) {
            model.AddClsTextObject(o);
            gObjUndos()->addOtherUndo(model.mStrFocusedObjectIndex, 1, QStringLiteral("AUTO"), QStringLiteral("NONE"));
        } else {
            gObjUndos()->addOtherUndo(model.mStrFocusedObjectIndex, 3, QStringLiteral("AUTO"),
                                      clsCanvasObjectPtr(gObjTextObjectBefore));
            gObjTextObjectBefore.reset();
        }
        CanvasServices::get().editorCanvas().refresh();
        return true;
    } catch (...) {
        reportError(QStringLiteral("ERR_TEXT_TO_EDITOR"), source("TextToImgX"));
        return false;
    }
}

void frmTextedit::cmdOK_Click()
{
    if (txtText->isBlank())
        return;
    // An angle or spacing still being typed counts as it will show.
    mAngle->finish();
    mCharSpace->finish();
    try {
        txtText->setEnabled(false);
        if (!TextToImgX()) {
            txtText->setEnabled(true);
            txtText->setFocus();
            return;
        }
        QApplication::processEvents();
        accept();
    } catch (...) {
        reportError(QStringLiteral("ERR_TEXT_TO_EDITOR"), source("cmdOK_Click"));
    }
}

void frmTextedit::cmdCancel_Click()
{
    skipFailure([&] { reject(); });
}

void frmTextedit::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmTextedit::Form_Unload()
{
    if (mBoolUnloaded)
        return;
    mBoolUnloaded = true;
    timerMaxPreview->stop();
    QApplication::processEvents();
    mImgXPreview.reset();
    gObjTextObjectBefore.reset();
    QApplication::processEvents();
}

void frmTextedit::toggleStyle(int which)
{
    QFont f = txtText->font();
    switch (which) {
    case 0: f.setBold(!f.bold()); break;
    case 1: f.setItalic(!f.italic()); break;
    case 2: f.setUnderline(!f.underline()); break;
    default: f.setStrikeOut(!f.strikeOut()); break;
    }
    txtText->setFont(f);
    doPreview();
}

void frmTextedit::setTextAlignment(int code)
{
    txtText->setAlignment(code);
    doPreview();
}

void frmTextedit::cmdColor_Click()
{
    skipFailure([&] {
        if (const auto c = platform::Choosers::get().chooseColor(txtText->textColor()))
            txtText->setTextColor(*c);
    });
    skipFailure([&] { setContrastBackground(true); });
    doPreview();
}

void frmTextedit::cboEffects_Click(int position)
{
    if (position == 0) {
        skipFailure([&] { texteditor::TextEffectDialogs::get().showShadow(host()); });
        QApplication::processEvents();
        txtText->setFocus();
    } else if (position == 1) {
        skipFailure([&] { texteditor::TextEffectDialogs::get().showGradient(host()); });
        QApplication::processEvents();
        if (gObjTextGradient()->mBoolIsActive) {
            cmdColor->setEnabled(false);
        } else {
            doPreview();
            QApplication::processEvents();
            cmdColor->setEnabled(true);
        }
        txtText->setFocus();
    }
}

void frmTextedit::chkAutoPreview_Click()
{
    skipFailure([&] {
        if (chkAutoPreview->isChecked()) {
            const QSize px = previewPixelSize();
            auto shown = platform::ImgxImage::create();
            shown->blank(px.width(), px.height(), txtText->backColor(), 255, 6, kNoUndo);
            igxPreview->setImage(shown);
            resize(width(), height() + mIntPreviewShrink);
            mIntPreviewShrink = 0;
            lblPreview->setVisible(true);
            doPreview();
        } else {
            // The preview's room goes, but never part of the OK and Cancel buttons above it.
            const int keep = std::max(cmdOK->geometry().bottom(), cmdCancel->geometry().bottom()) + 1 +
                             txtText->geometry().left();
            mIntPreviewShrink = std::clamp(height() - keep, 0, roundToInt(1.14 * igxPreview->height()));
            resize(width(), height() - mIntPreviewShrink);
            lblPreview->setVisible(false);
        }
    });
}

void frmTextedit::timerMaxPreview_Timer()
{
    if (mBoolPreviewPending) {
        doPreview();
        mBoolPreviewPending = false;
    }
}

void frmTextedit::txtText_Change()
{
    if (!effectActive())
        doPreview();
}

void frmTextedit::doList(bool numbers)
{
    try {
        const texteditor::ListMarks marks{mStrListBullet, mStrListSeparator};
        txtText->setText(texteditor::addList(txtText->text(), numbers, marks));
    } catch (...) {
        reportError(QStringLiteral("ERR_TEXTEDIT_LIST"), source("doList"));
    }
}

void frmTextedit::doRemoveList(bool numbers)
{
    try {
        const texteditor::ListMarks marks{mStrListBullet, mStrListSeparator};
        txtText->setText(texteditor::removeList(txtText->text(), numbers, marks));
    } catch (...) {
        reportError(QStringLiteral("ERR_TEXTEDIT_LIST"), source("doRemoveList"));
    }
}

void frmTextedit::cmdListe_Click() { toggleList(false); }

void frmTextedit::cmdCountList_Click() { toggleList(true); }

void frmTextedit::toggleList(bool numbers)
{
    // Each rewrite of the text would draw the preview; it is drawn once at the end.
    const bool previewEnabled = mBoolPreviewEnabled;
    mBoolPreviewEnabled = false;
    skipFailure([&] {
        if (mBoolListOn && mBoolNumbered != numbers) {
            doRemoveList(mBoolNumbered);
            mBoolNumbered = numbers;
            doList(numbers);
        } else {
            mBoolNumbered = numbers;
            if (mBoolListOn) {
                doRemoveList(numbers);
                mBoolListOn = false;
            } else {
                doList(numbers);
                mBoolListOn = true;
            }
        }
    });
    host().focusTextAtEnd();
    mBoolPreviewEnabled = previewEnabled;
    doPreview();
}

bool frmTextedit::txtText_KeyDown(QKeyEvent *e)
{
    const bool ctrl = e->modifiers().testFlag(Qt::ControlModifier);
    const bool selectAll = ctrl && e->key() == Qt::Key_A;
    if (selectAll)
        txtText->selectAll();
    mBoolPreviewPending = effectActive();
    if (selectAll)
        return true;
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter) {
        mBoolPreviewEnabled = false;
        skipFailure([&] {
            if (!enterInList())
                txtText->textCursor().insertText(QStringLiteral("\n"));
        });
        txtText->ensureCursorVisible();
        mBoolPreviewEnabled = true;
        return true;
    }
    if (e->key() == Qt::Key_Backspace && mBoolListOn && mBoolNumbered) {
        mBoolPreviewEnabled = false;
        bool done = false;
        skipFailure([&] { done = backspaceInNumberedList(); });
        mBoolPreviewEnabled = true;
        if (done)
            txtText_Change(); // the joined lines are drawn as a Backspace's change would be
        else
            txtText->defaultKeyPress(e);
        return true;
    }
    return false;
}

bool frmTextedit::enterInList()
{
    if (!mBoolListOn)
        return false;
    const texteditor::ListMarks marks{mStrListBullet, mStrListSeparator};
    const texteditor::TextAndCaret r =
        mBoolNumbered ? texteditor::enterInNumberedList(txtText->text(), txtText->selStart(), txtText->selLength(), marks)
                      : texteditor::enterInBulletedList(txtText->text(), txtText->selStart(), txtText->selLength(), marks);
    txtText->setText(r.text);
    txtText->setSelStart(r.caret);
    return true;
}

bool frmTextedit::backspaceInNumberedList()
{
    if (txtText->selLength() > 0)
        return false;
    const texteditor::ListMarks marks{mStrListBullet, mStrListSeparator};
    const auto r = texteditor::backspaceInNumberedList(txtText->text(), txtText->selStart(), marks);
    if (!r)
        return false;
    txtText->setText(r->text);
    txtText->setSelStart(r->caret);
    return true;
}

void frmTextedit::cmdCDDB_Click()
{
    host().setPreviewEnabled(false);
    skipFailure([&] { texteditor::CdTrackListWizard::get().showModal(host()); });
    host().focusTextAtEnd();
    host().setPreviewEnabled(true);
    doPreview();
}

void frmTextedit::filesDropped(const QStringList &files)
{
    if (!files.isEmpty())
        skipFailure([&] { texteditor::TextImporters::get().loadTextFromFile(host(), files.first()); });
}

void showTextEditor(QWidget *owner, bool newText)
{
    frmTextedit dialog(owner);
    dialog.mBoolNewText = newText;
    dialog.Form_Load();
    dialog.exec();
}
