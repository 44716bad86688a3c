#include "coverformats/frmEditCover.h"

#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/libCoverData.h"
#include "core/libLanguage.h"
#include "core/mdlUtilWindows.h"
#include "coverformats/CoverFormatChecks.h"
#include "mainwindow/ControlArray.h"
#include "mainwindow/CoverTableFile.h"
#include "mainwindow/LocaleNumbers.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/Globals.h"
#include "mainwindow/frmPelmora.h"
#include "platform/Rounding.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/ButtonPlus.h"
#include "platform/widgets/LineOverlay.h"
#include "platform/widgets/ShapeControl.h"
#include "ui_frmEditCover.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

namespace {

constexpr int kUserDefinedMedium = 5;
// The part of the form the drawing shows, in twips: both sheets with a margin.
constexpr double kDrawingLeft = 960, kDrawingTop = -120, kDrawingWidth = 2175, kDrawingHeight = 2175;

QString text(const QString &key, const QString &def) { return gObjLanguageStore().getVar(key, def); }

// A value of a stored record as the user reads it.
QString shownValue(const CoverValue &v) { return v.isNumber() ? formatUserNumber(v.number()) : v.text(); }

} // namespace

frmEditCover::frmEditCover(QWidget *owner) : QDialog(owner), ui(std::make_unique<Ui::frmEditCover>())
{
    ui->setupUi(this);
    txtCoverName = ui->txtCoverName;
    txtHoehe = ui->txtHoehe;
    txtBreite = ui->txtBreite;
    txtLeftBorder = ui->txtLeftBorder;
    txtTopBorder = ui->txtTopBorder;
    txtBorder = {nullptr, ui->txtBorder_1, ui->txtBorder_2};
    controlArray(this, "optBorder", optBorder);
    controlArray(this, "optOrientation", optOrientation);
    controlArray(this, "lblBorderFields", lblBorderFields);
    controlArray(this, "lblScale", lblScale);
    cmdSave = ui->cmdSave;
    picDrawing = ui->picDrawing;

    // The drawing: the two sheets, the cover, and the marker lines over them.
    const platform::Screen &screen = platform::Screen::get();
    picDrawing->setFixedSize(roundToInt(kDrawingWidth / screen.twipsPerPixelX()),
                             roundToInt(kDrawingHeight / screen.twipsPerPixelY()));
    picDrawing->setAutoFillBackground(true);
    QPalette pal = picDrawing->palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    picDrawing->setPalette(pal);
    const auto filled = [](ShapeControl *s, QColor fill) {
        s->setAttribute(Qt::WA_NoSystemBackground, false);
        s->setAttribute(Qt::WA_TranslucentBackground, false);
        s->setAutoFillBackground(true);
        QPalette p = s->palette();
        p.setColor(QPalette::Window, fill);
        s->setPalette(p);
    };
    for (size_t i = 0; i < 2; ++i) {
        shpOrientation[i] = new ShapeControl(picDrawing);
        shpOrientation[i]->setObjectName(QStringLiteral("shpOrientation_%1").arg(i));
        shpOrientation[i]->setProperty("index", int(i));
        shpOrientation[i]->setBorderColor(0);
        filled(shpOrientation[i], Qt::white);
    }
    shpCover = new ShapeControl(picDrawing);
    shpCover->setObjectName(QStringLiteral("shpCover"));
    shpCover->setBorderColor(0x00804000);
    filled(shpCover, QColor(0xC8, 0xDC, 0xF0));
    lines = new LineOverlay(picDrawing);
    placeDrawing();

    for (QLineEdit *f : {txtCoverName, txtHoehe, txtBreite, txtLeftBorder, txtTopBorder, txtBorder[1], txtBorder[2]})
        f->installEventFilter(this);
    for (int i = 0; i < 3; ++i)
        connect(optBorder[size_t(i)], &QRadioButton::clicked, this, [this, i] { optBorder_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(optOrientation[size_t(i)], &QRadioButton::clicked, this, [this, i] { optOrientation_Click(i); });
    connect(cmdSave, &QPushButton::clicked, this, &frmEditCover::cmdSave_Click);

    Form_Load();
}

frmEditCover::~frmEditCover()
{
    // The fields lose their focus while they go: that is no leaving to check.
    mBoolClosing = true;
    for (QLineEdit *f : {txtCoverName, txtHoehe, txtBreite, txtLeftBorder, txtTopBorder, txtBorder[1], txtBorder[2]})
        f->removeEventFilter(this);
}

frmPelmora *frmEditCover::mainWindow() const
{
    if (auto *w = qobject_cast<frmPelmora *>(parentWidget()))
        return w;
    return frmPelmora::instance();
}

// --- Loading ---------------------------------------------------------------------------

void frmEditCover::Form_Load()
{
    mBoolLoading = true;
    try {
        changeLanguage(this);
    } catch (...) {
    }
    mBoolClosing = false;
    mIntProfileIndex = gObjCover().ProfileIndex();
    // A record the table does not hold is no record to edit.
    if (mIntProfileIndex >= gVarCoverTypes[kUserDefinedMedium].count())
        mIntProfileIndex = -2;

    if (loadCoverValues(mIntProfileIndex)) {
        SetEmptyValues();
        mDrawing.lineBorderLeft.visible = mDrawing.lineBorderTop.visible = false;
        mDrawing.lineBorder[0].visible = mDrawing.lineBorder[1].visible = false;
        placeDrawing();
        optBorder[0]->setAutoExclusive(false);
        optBorder[0]->setChecked(false);
        optBorder[0]->setAutoExclusive(true);
        selectOption(optOrientation[0]);
        optOrientation_Click(0);
    }
    loadCoverValues(mIntProfileIndex);
    drawPreview(nullptr);

    if (mIntProfileIndex < 0) {
        mBoolEditExisting = false;
        txtCoverName->setText(text(QStringLiteral("MESSAGES.MSG_NEW_COVER"), QStringLiteral("New Cover")));
        txtBorder[1]->setText(QStringLiteral("0"));
        txtBorder[2]->setText(QStringLiteral("0"));
        txtTopBorder->setText(formatUserNumber(1.1));
        txtLeftBorder->setText(formatUserNumber(1.1));
        txtBreite->setText(formatUserNumber(10));
        txtHoehe->setText(formatUserNumber(10));
        selectOption(optBorder[0]);
        optBorder_Click(0);
        selectOption(optOrientation[0]);
        optOrientation_Click(0);
    } else {
        mBoolEditExisting = true;
    }
    mBoolLoading = false;
    mShownWhileLoading.clear();
}

bool frmEditCover::loadCoverValues(int index)
{
    if (index < 0)
        return true;
    try {
        const CoverRecord r = gVarCoverTypes[kUserDefinedMedium].at(index);
        txtBreite->setText(shownValue(r[CoverField::Width]));
        txtHoehe->setText(shownValue(r[CoverField::Height]));
        txtCoverName->setText(r.text(CoverField::Name));
        txtLeftBorder->setText(shownValue(r[CoverField::LeftOffsetX]));
        txtTopBorder->setText(shownValue(r[CoverField::LeftOffsetY]));
        txtBorder[1]->setText(shownValue(r[CoverField::Crease1]));
        txtBorder[2]->setText(shownValue(r[CoverField::Crease2]));
        // A field that is no button's index selects nothing.
        const auto buttonOf = [&r](int field, int count) {
            const CoverValue &v = r[field];
            return v.isNumber() && v.number() >= 0 && v.number() < count && v.number() == std::floor(v.number())
                       ? int(v.number()) : -1;
        };
        const int orientation = buttonOf(CoverField::Orientation, 2);
        if (orientation >= 0) {
            selectOption(optOrientation[size_t(orientation)]);
            optOrientation_Click(orientation);
        }
        setSheet(optOrientation[0]->isChecked() ? 0 : 1);
        const int layout = buttonOf(CoverField::FoldLayout, 3);
        if (layout >= 0) {
            selectOption(optBorder[size_t(layout)]);
            optBorder_Click(layout);
        }
        if (orientation >= 0) {
            selectOption(optOrientation[size_t(orientation)]);
            optOrientation_Click(orientation);
        }
        SetEmptyValues();
    } catch (...) {
        // A record that cannot be shown leaves the fields as far as they got.
    }
    return false;
}

void frmEditCover::SetEmptyValues()
{
    for (QLineEdit *f : {txtBorder[1], txtBorder[2], txtTopBorder, txtLeftBorder, txtBreite, txtHoehe})
        if (f->text().isEmpty())
            f->setText(QStringLiteral("0"));
}

void frmEditCover::selectOption(QRadioButton *button) { button->setChecked(true); }

int frmEditCover::selectedBorderLayout() const
{
    for (int i = 0; i < 3; ++i)
        if (optBorder[size_t(i)]->isChecked())
            return i;
    return -1;
}

// --- Messages and focus ----------------------------------------------------------------

void frmEditCover::showCheckMessage(const QString &key)
{
    if (mBoolLoading) {
        if (mShownWhileLoading.contains(key))
            return;
        mShownWhileLoading.insert(key);
    }
    platform::Prompter::get().msgBox(text(QStringLiteral("ERRORS.") + key, QStringLiteral("Error")),
                                     platform::MsgStyle::Critical | platform::MsgStyle::OkOnly,
                                     text(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
}

void frmEditCover::refocus(QLineEdit *field)
{
    const bool was = mBoolRefocusing;
    mBoolRefocusing = true;
    field->setFocus(Qt::OtherFocusReason);
    mBoolRefocusing = was;
}

bool frmEditCover::isNumericField(QObject *o) const
{
    return o == txtHoehe || o == txtBreite || o == txtLeftBorder || o == txtTopBorder || o == txtBorder[1]
        || o == txtBorder[2];
}

bool frmEditCover::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::FocusIn && isNumericField(watched) && !mBoolRefocusing) {
        field_GotFocus(static_cast<QLineEdit *>(watched));
    } else if (e->type() == QEvent::FocusOut && !mBoolChecking && !mBoolRefocusing && !mBoolClosing) {
        const auto reason = static_cast<QFocusEvent *>(e)->reason();
        // Another window, a menu or a popup taking the focus is no leaving.
        const bool leftWithinWindow = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && reason != Qt::MenuBarFocusReason;
        auto *field = qobject_cast<QLineEdit *>(watched);
        if (field && leftWithinWindow && (isNumericField(field) || field == txtCoverName)) {
            const QString oldText = mStrOldText;
            const int generation = mIntCheckGeneration;
            QMetaObject::invokeMethod(this, [this, field, oldText, generation] {
                if (generation != mIntCheckGeneration || mBoolChecking)
                    return;
                mBoolChecking = true;
                const QString current = mStrOldText;
                mStrOldText = oldText;
                field_LostFocus(field);
                if (QApplication::focusWidget() == field)
                    ++mIntCheckGeneration; // the focus came back: later leaves were not the user's
                else
                    mStrOldText = current; // the field now entered keeps its own old text
                mBoolChecking = false;
            }, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, e);
}

void frmEditCover::field_GotFocus(QLineEdit *field)
{
    if (isNumericField(field))
        mStrOldText = field->text();
}

void frmEditCover::field_LostFocus(QLineEdit *field)
{
    if (field == txtCoverName)
        leaveCoverName();
    else if (isNumericField(field))
        leaveNumericField(field);
}

// --- Leave checks ----------------------------------------------------------------------

QString frmEditCover::numericFieldRejection(QLineEdit *field) const
{
    CoverLengthField kind = CoverLengthField::Crease;
    if (field == txtHoehe)
        kind = CoverLengthField::Height;
    else if (field == txtBreite)
        kind = CoverLengthField::Width;
    else if (field == txtLeftBorder)
        kind = CoverLengthField::LeftOffset;
    else if (field == txtTopBorder)
        kind = CoverLengthField::TopOffset;
    else if (field != txtBorder[1] && field != txtBorder[2])
        return QString();
    return coverLengthRejection(kind, field->text(), txtBreite->text(), txtBorder[1]->text(), txtBorder[2]->text());
}

void frmEditCover::leaveNumericField(QLineEdit *field)
{
    const QString key = numericFieldRejection(field);
    if (key.isEmpty()) {
        drawPreview(field);
        return;
    }
    // The message box may hand the focus around; the field's old text is the one it had.
    const QString old = mStrOldText;
    showCheckMessage(key);
    refocus(field);
    field->setText(old);
    mStrOldText = old;
}

void frmEditCover::leaveCoverName()
{
    if (mBoolClosing)
        return;
    const QString name = txtCoverName->text();
    if (coverNameRejection(name) == QLatin1String("ERR_COVER_NAME")) {
        txtCoverName->setText(name.left(kMaxCoverNameLength));
        showCheckMessage(QStringLiteral("ERR_COVER_NAME"));
        refocus(txtCoverName);
    }
    if (coverNameRejection(txtCoverName->text()) == QLatin1String("ERR_INVALID")) {
        showCheckMessage(QStringLiteral("ERR_INVALID"));
        refocus(txtCoverName);
    } else {
        drawPreview(nullptr);
    }
}

// --- Crease layout and orientation -----------------------------------------------------

void frmEditCover::optBorder_Click(int index)
{
    const bool first = index >= 1, second = index >= 2;
    txtBorder[1]->setEnabled(first);
    if (!first)
        txtBorder[1]->clear();
    txtBorder[2]->setEnabled(second);
    if (!second)
        txtBorder[2]->clear();
    lblBorderFields[0]->setEnabled(first);
    lblScale[3]->setEnabled(first);
    lblBorderFields[1]->setEnabled(second);
    lblScale[4]->setEnabled(second);
    drawPreview(nullptr);
}

void frmEditCover::setSheet(int orientation)
{
    mSnglSheetWidth = CoverFormatDrawing::kSheetWidthCm[size_t(orientation)];
    mSnglSheetHeight = CoverFormatDrawing::kSheetHeightCm[size_t(orientation)];
}

void frmEditCover::optOrientation_Click(int index) { orientationChosen(index, false); }

void frmEditCover::orientationChosen(int index, bool afterRefusal)
{
    setSheet(index);
    calcNeededSize();
    if (mSnglNeededHeight <= mSnglSheetHeight + kLengthTolerance && mSnglNeededWidth <= mSnglSheetWidth + kLengthTolerance) {
        mDrawing.sheetVisible[size_t(1 - index)] = false;
        mIntOrientation = index;
        mDrawing.sheetVisible[size_t(index)] = true;
        placeDrawing();
        drawPreview(nullptr);
        return;
    }
    showCheckMessage(mSnglNeededHeight > mSnglSheetHeight + kLengthTolerance ? QStringLiteral("ERR_COVER_LANDSCAPE")
                                                                            : QStringLiteral("ERR_COVER_PORTRAIT"));
    // The other orientation is tried once; a cover that fits neither stays refused.
    if (afterRefusal)
        return;
    setSheet(1 - index);
    selectOption(optOrientation[size_t(1 - index)]);
    orientationChosen(1 - index, true);
}

// --- Drawing ---------------------------------------------------------------------------

void frmEditCover::calcNeededSize()
{
    SetEmptyValues();
    const std::optional<double> width = readCoverLength(txtBreite->text());
    const std::optional<double> left = readCoverLength(txtLeftBorder->text());
    const std::optional<double> height = readCoverLength(txtHoehe->text());
    const std::optional<double> top = readCoverLength(txtTopBorder->text());
    // A field that is no number leaves the size as it was.
    if (width && left)
        mSnglNeededWidth = *width + *left;
    if (height && top)
        mSnglNeededHeight = *height + *top;
}

std::optional<double> frmEditCover::creaseOffset(QLineEdit *crease, double drawnWidth) const
{
    const std::optional<double> c = readCoverLength(crease->text());
    const std::optional<double> width = readCoverLength(txtBreite->text());
    if (!c || !width || *width == 0)
        return std::nullopt;
    return roundHalfEven(*c / *width * drawnWidth);
}

void frmEditCover::drawPreview(QLineEdit *field)
{
    lines->raise();
    SetEmptyValues();
    calcNeededSize();
    const char *refusal = mSnglNeededHeight > mSnglSheetHeight + kLengthTolerance ? "ERR_BORDER_TOP"
                        : mSnglNeededWidth > mSnglSheetWidth + kLengthTolerance  ? "ERR_BORDER_LEFT"
                                                                                  : nullptr;
    if (refusal) {
        if (field)
            field->setText(mStrOldText);
        showCheckMessage(QLatin1String(refusal));
        return;
    }

    const TwipRect &sheet = CoverFormatDrawing::kSheet[size_t(mIntOrientation)];
    const std::optional<double> left = readCoverLength(txtLeftBorder->text());
    const std::optional<double> top = readCoverLength(txtTopBorder->text());
    const double L = left ? *left / mSnglSheetWidth * sheet.width : 0;
    const double T = top ? *top / mSnglSheetHeight * sheet.height : 0;
    const double x0 = sheet.left + L, y0 = sheet.top + T;

    TwipLine &lineLeft = mDrawing.lineBorderLeft;
    lineLeft.x1 = lineLeft.x2 = x0;
    lineLeft.y1 = sheet.top;
    lineLeft.y2 = sheet.top + sheet.height;
    lineLeft.visible = true;
    TwipLine &lineTop = mDrawing.lineBorderTop;
    lineTop.x1 = sheet.left;
    lineTop.x2 = sheet.left + sheet.width;
    lineTop.y1 = lineTop.y2 = y0;
    lineTop.visible = true;

    mDrawing.cover.left = x0;
    mDrawing.cover.top = y0;
    double W = 0, H = 0;
    if (const std::optional<double> width = readCoverLength(txtBreite->text())) {
        W = roundHalfEven(*width / mSnglSheetWidth * sheet.width);
        mDrawing.cover.width = W;
    }
    if (const std::optional<double> height = readCoverLength(txtHoehe->text())) {
        H = roundHalfEven(*height / mSnglSheetHeight * sheet.height);
        mDrawing.cover.height = H;
    }

    // Creases, proportional to the drawn width. A crease that cannot be computed (a zero
    // width) leaves its marker where it was.
    std::array<TwipLine, 2> &crease = mDrawing.lineBorder;
    const int layout = selectedBorderLayout();
    if (layout == 0) {
        crease[0].visible = crease[1].visible = false;
    } else if (!readCoverLength(txtBorder[1]->text())) {
        // Crease 1 holds no number: the markers stay as they are.
    } else if (layout == 1) {
        crease[1].visible = false;
        crease[0].visible = true;
        if (const auto c1 = creaseOffset(txtBorder[1], W))
            crease[0].x1 = crease[0].x2 = x0 + *c1;
        crease[0].y1 = y0;
        crease[0].y2 = y0 + H;
    } else if (layout == 2) {
        crease[0].visible = true;
        if (const auto c1 = creaseOffset(txtBorder[1], W))
            crease[0].x1 = crease[0].x2 = x0 + *c1;
        crease[0].y1 = y0;
        crease[0].y2 = y0 + H - 2;
        crease[1].visible = true;
        if (const auto c2 = creaseOffset(txtBorder[2], W))
            crease[1].x1 = crease[1].x2 = x0 + W - *c2 - 4;
        crease[1].y1 = y0;
        crease[1].y2 = y0 + H - 2;
    }
    placeDrawing();
}

void frmEditCover::placeDrawing()
{
    const platform::Screen &screen = platform::Screen::get();
    const double sx = screen.twipsPerPixelX(), sy = screen.twipsPerPixelY();
    const auto px = [sx](double x) { return roundToInt((x - kDrawingLeft) / sx); };
    const auto py = [sy](double y) { return roundToInt((y - kDrawingTop) / sy); };
    const auto place = [&](QWidget *w, const TwipRect &r) {
        w->setGeometry(px(r.left), py(r.top), roundToInt(r.width / sx) + 1, roundToInt(r.height / sy) + 1);
    };
    for (size_t i = 0; i < 2; ++i) {
        place(shpOrientation[i], CoverFormatDrawing::kSheet[i]);
        shpOrientation[i]->setVisible(mDrawing.sheetVisible[i]);
    }
    place(shpCover, mDrawing.cover);
    shpCover->raise();

    lines->clear();
    for (const TwipLine *l : {&mDrawing.lineBorderLeft, &mDrawing.lineBorderTop, &mDrawing.lineBorder[0], &mDrawing.lineBorder[1]})
        if (l->visible)
            lines->hdc().drawLine(QPoint(px(l->x1), py(l->y1)), QPoint(px(l->x2), py(l->y2)),
                                  platform::imaging::Pen{l->color, 255, 0, 1});
    lines->raise();
}

// --- Save and close --------------------------------------------------------------------

bool frmEditCover::checkAllFields()
{
    for (QLineEdit *f : {txtHoehe, txtBreite, txtLeftBorder, txtTopBorder, txtBorder[1], txtBorder[2]}) {
        const QString key = numericFieldRejection(f);
        if (!key.isEmpty()) {
            showCheckMessage(key);
            refocus(f);
            return false;
        }
    }
    calcNeededSize();
    if (mSnglNeededHeight > mSnglSheetHeight + kLengthTolerance) {
        showCheckMessage(QStringLiteral("ERR_BORDER_TOP"));
        refocus(txtTopBorder);
        return false;
    }
    if (mSnglNeededWidth > mSnglSheetWidth + kLengthTolerance) {
        showCheckMessage(QStringLiteral("ERR_BORDER_LEFT"));
        refocus(txtLeftBorder);
        return false;
    }
    const QString name = coverNameRejection(txtCoverName->text());
    if (!name.isEmpty()) {
        showCheckMessage(name);
        refocus(txtCoverName);
        return false;
    }
    return true;
}

void frmEditCover::cmdSave_Click()
{
    try {
        if (txtBreite->text() == QLatin1String("0") || txtHoehe->text() == QLatin1String("0")) {
            platform::Prompter::get().msgBox(getErrorText(QStringLiteral("ERR_WRONG_WIDTH_HEIGHT"), QStringLiteral("ERROR")),
                                             platform::MsgStyle::Critical,
                                             getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR")));
            return;
        }
        int layout = selectedBorderLayout();
        if (layout < 0)
            layout = 0;
        SetEmptyValues();

        const CoverTable &loaded = gVarCoverTypesLoaded[kUserDefinedMedium];
        // A table whose file had a bad line is never written back.
        if (loaded.isUnread())
            throw AppError(ErrNo::SubscriptOutOfRange,
                           QStringLiteral("The cover formats of %1 could not be read.").arg(coverFileName(kUserDefinedMedium)));
        if (!checkAllFields())
            return;

        const auto number = [](QLineEdit *f) { return CoverValue(*readCoverLength(f->text())); };
        CoverRecord record;
        record[CoverField::Name] = CoverValue(txtCoverName->text());
        record[CoverField::Height] = number(txtHoehe);
        record[CoverField::Width] = number(txtBreite);
        record[CoverField::LeftOffsetX] = record[CoverField::RightOffsetX] = number(txtLeftBorder);
        record[CoverField::LeftOffsetY] = record[CoverField::RightOffsetY] = number(txtTopBorder);
        for (int f = CoverField::Unused; f <= CoverField::PreselectRight; ++f)
            record[f] = CoverValue(0.0);
        record[CoverField::Crease1] = number(txtBorder[1]);
        record[CoverField::Crease2] = number(txtBorder[2]);
        record[CoverField::Orientation] = CoverValue(double(mIntOrientation));
        record[CoverField::FoldLayout] = CoverValue(double(layout));
        record[CoverField::DisplayName] = CoverValue(txtCoverName->text());

        // A new format goes after the last record (or takes the place of an empty file's
        // placeholder); an edited one replaces its record.
        CoverTable table = loaded;
        int index = mIntProfileIndex;
        if (!mBoolEditExisting || index < 0 || index >= table.count()) {
            table.append(record);
            index = table.count() - 1;
        } else {
            table.at(index) = record;
        }
        writeCoverTable(kUserDefinedMedium, table);

        mIntProfileIndex = index;
        mBoolEditExisting = true;
        gObjCover().setProfileIndex(std::int16_t(index));
        gVarCoverTypesLoaded[kUserDefinedMedium] = ReadUserData(coverFileName(kUserDefinedMedium), false);
        gVarCoverTypes[kUserDefinedMedium] = gVarCoverTypesLoaded[kUserDefinedMedium];
        close();
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_COVER"), QStringLiteral("frmEditCover.cmdSave_Click"));
    }
}

void frmEditCover::Form_Unload()
{
    if (mBoolUnloaded)
        return;
    mBoolUnloaded = true;
    mBoolClosing = true;
    frmPelmora *main = mainWindow();
    if (!main)
        return;
    try {
        restoreMainFormTopmost(main);
        main->selectMedium(kUserDefinedMedium);
        main->selectCoverEntry(gObjCover().EditedIndex(), gObjCover().ProfileIndex());
    } catch (...) {
        // Closing always succeeds; the main window shows what it could refill.
    }
}

void frmEditCover::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    QDialog::closeEvent(e);
}

void frmEditCover::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}
