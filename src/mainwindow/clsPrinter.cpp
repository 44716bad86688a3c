#include "mainwindow/clsPrinter.h"

#include "canvas/clsMoveableObjects.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Numbers.h"
#include "core/mdlUtil.h"
#include "mainwindow/Globals.h"
#include "mainwindow/ImageFit.h"
#include "mainwindow/clsCover.h"
#include "mainwindow/clsPrintBorders.h"
#include "mainwindow/frmPelmora.h"
#include "mainwindow/frmPrinterOptions.h"
#include "platform/Rounding.h"
#include "platform/print/PrintLibrary.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"

#include <QListWidget>

namespace {
QString source(const QString &proc) { return QStringLiteral("clsPrinter.") + proc; }

bool printerNameUnset() { return namesNoPrinter(gStrPrinterName); }

// Line thicknesses given in pixels are pixels at this resolution, so that a line is as wide
// on paper at every printer resolution.
constexpr double kLineDpi = 600.0;

int listIndex(int side)
{
    frmPelmora *w = frmPelmora::instance();
    return w ? w->lstCoverNames[size_t(side)]->currentRow() : -1;
}
} // namespace

bool namesNoPrinter(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String("0"))
        return true;
    const QString prompt = QStringLiteral("Please choose a printer");
    return name == prompt || name == gObjLanguageStore().getVar(QStringLiteral("MESSAGES.MSG_SELECT_PRINTER"), prompt);
}

QString systemPrinterName(platform::PrintLibrary &library)
{
    const QStringList names = library.printerNames();
    if (names.isEmpty())
        return QString();
    const QString preferred = library.defaultPrinterName();
    return names.contains(preferred) ? preferred : names.first();
}

std::vector<SheetCall> sheetsFor(int medium, const QString &printType, int li0, int li1,
                                 const std::array<double, 2> &orientationOfOwn)
{
    const int P = 1, Q = 2;
    const bool all = printType == QLatin1String("All");
    const bool left = printType == QLatin1String("Left");
    const bool right = printType == QLatin1String("Right");
    if (!all && !left && !right)
        return {};
    auto oneSide = [&](int leftOrientation, int rightOrientation) -> std::vector<SheetCall> {
        if (left)
            return {{0, leftOrientation}};
        if (right)
            return {{1, rightOrientation}};
        return {{0, leftOrientation}, {1, rightOrientation}};
    };
    switch (medium) {
    case 0: // CD: position 1 (the booklet) lies across
        if (!all)
            return oneSide(li0 == 1 ? Q : P, li1 == 1 ? Q : P);
        if (li0 != 1 && li1 != 1)
            return {{2, P}};
        return oneSide(li0 == 1 ? Q : P, li1 == 1 ? Q : P);
    case 1: // DVD: the full covers (0, 4) need a sheet each
        if (!all)
            return oneSide(Q, Q);
        if (li0 == 0 || li1 == 0 || li0 == 4 || li1 == 4)
            return oneSide(Q, Q);
        return {{2, Q}};
    case 2: // Maxi-CD
        if (!all)
            return oneSide(li0 == 1 ? Q : P, li1 == 1 ? Q : P);
        if (li0 == 1)
            return oneSide(Q, P);
        if (li1 == 1)
            return oneSide(P, Q);
        return {{2, P}};
    case 3: // Video: the sleeve (0) needs a sheet of its own
        if (!all)
            return oneSide(Q, Q);
        if (li0 == 0 || li1 == 0)
            return oneSide(Q, Q);
        return {{2, Q}};
    case 4:
        return all ? std::vector<SheetCall>{{2, P}} : oneSide(P, P);
    case 5:
        return oneSide(orientationOfOwn[0] == 0 ? P : Q, orientationOfOwn[1] == 0 ? P : Q);
    default:
        return {};
    }
}

clsPrinter::clsPrinter()
{
    gIntPrintDialogResult = 0;
    // A missing configured printer is told once per print action, by init.
    if (!printerNameUnset())
        getPrinterIndex(gStrPrinterName, false);
}

platform::PrintLibrary &clsPrinter::getPrinter() { return platform::PrintLibrary::get(); }

void clsPrinter::setImage(int side, const platform::ImgxImage &image)
{
    // The side's pixels are shared, not copied: each side is fitted when its sheet is printed.
    auto copy = platform::ImgxImage::create();
    copy->setUndoLevels(0);
    copy->importImage(image, platform::kNoUndo);
    images_[size_t(side)] = copy;
}

QImage clsPrinter::printedPicture(int side, const QSize &dots) const
{
    const platform::ImgxImagePtr &source = images_[size_t(side)];
    if (!source || source->isEmpty())
        return {};
    // The printer gets no more pixels than it has dots for the cover: a picture larger than
    // that is brought to the cover's size in dots here, once, instead of a full-size copy in
    // the printer's own format.
    const auto toDots = [&dots](const QImage &picture) {
        if (dots.width() > 0 && dots.height() > 0 && picture.width() >= dots.width() && picture.height() >= dots.height()
            && picture.size() != dots)
            return platform::imaging::resized(picture, dots.width(), dots.height(), platform::imaging::ResizeMode::Quality);
        return picture;
    };
    const auto &model = gObjPartMoveableObjects[size_t(side)];
    const bool objects = gBoolPartHasObjects[size_t(side)] && model && !model->colObjectLayers.isEmpty();
    const QSize fitted = fittedImageSize(source->qimage().size(), previewBoxPixels(side));
    // Without objects the fitting would only be a first step towards the same shape: the
    // picture goes to the cover's dots in one.
    if (!objects && platform::withinPictureLimits(fitted) && fitted.width() > dots.width() && fitted.height() > dots.height())
        return toDots(source->qimage());
    // The picture fitted to the side's preview box, so that the objects' coordinates match
    // it, with the objects drawn in, at the cover's dots where it is larger.
    QImage picture = sidePictureWithObjects(*source, side, dots)->qimage();
    return toDots(picture);
}

std::int16_t clsPrinter::getPrinterIndex(const QString &name, bool report)
{
    std::int16_t found = -1;
    try {
        const QStringList names = getPrinter().printerNames();
        for (int i = 0; i < names.size(); ++i) {
            if (names[i] == name) {
                found = std::int16_t(i);
                gIntPrinterId = found;
            }
        }
    } catch (...) {
    }
    if (found == -1 && report && gBytePrintWithDefault == 1) {
        QString text = gObjLanguageStore().getVar(QStringLiteral("ERRORS.ERR_CANT_FIND_PRINTER"));
        text.replace(QStringLiteral("@printer@"), gStrPrinterName);
        platform::Prompter::get().msgBox(text, platform::MsgStyle::Critical,
                                         getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR")));
    }
    return found;
}

bool clsPrinter::checkPrinter()
{
    try {
        if (getPrinter().printerNames().contains(gStrPrinterName))
            return true;
        QString text = getErrorText(QStringLiteral("ERR_CANT_FIND_PRINTER"), QStringLiteral("ERROR"));
        text.replace(QStringLiteral("@printer@"), gStrPrinterName);
        platform::Prompter::get().msgBox(text, platform::MsgStyle::Critical,
                                         getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR")));
    } catch (...) {
        reportError(QStringLiteral("ERR_NO_PRINTERS"), source(QStringLiteral("checkPrinter")));
    }
    return false;
}

std::int16_t clsPrinter::init()
{
    try {
        platform::PrintLibrary &lib = getPrinter();
        const QStringList names = lib.printerNames();
        const QString title = getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR"));
        if (names.isEmpty()) {
            platform::Prompter::get().msgBox(getErrorText(QStringLiteral("ERR_NO_PRINTER_INSTALLED"),
                                                          QStringLiteral("No printer is installed: nothing was printed.")),
                                             platform::MsgStyle::Critical, title);
            return 0;
        }
        // Printing without the presets asks for the printer every time, whatever is stored.
        if (gBytePrintWithDefault != 1)
            return lib.showPrinterDialog(frmPelmora::instance()) ? 1 : 0;
        // A fresh installation names no printer: it prints with the system's default printer.
        const bool systemDefault = printerNameUnset();
        if (gIntPrinterId == -1 && !systemDefault) {
            // Nothing would be printed: say so instead of ending silently.
            platform::Prompter::get().msgBox(getErrorText(QStringLiteral("ERR_NO_PRINTERS"), QStringLiteral("ERROR")),
                                             platform::MsgStyle::Critical, title);
            return 0;
        }
        std::int16_t index = -1;
        if (systemDefault) {
            // The system's default printer, or its first when it names none of them.
            index = std::int16_t(std::max<qsizetype>(0, names.indexOf(lib.defaultPrinterName())));
        } else {
            index = getPrinterIndex(gStrPrinterName);
            if (index == -1)
                return 0;
        }
        lib.setCurrentPrinter(index);
        static const int qualities[] = {-4, -3, -2, -1};
        if (gIntPrinterQuality >= 0 && gIntPrinterQuality <= 3)
            lib.setQuality(qualities[gIntPrinterQuality]);
        // Option 0 is colour print, 1 black and white.
        lib.setColor(gBytePrinterColor == 0);
        return 1;
    } catch (...) {
        reportError(QStringLiteral("ERR_PRINTER_NOT_CHOOSEABLE"), source(QStringLiteral("init")));
        return 0;
    }
}

bool clsPrinter::coversFitOnSheets(const std::vector<SheetCall> &sheets)
{
    platform::PrintLibrary &lib = getPrinter();
    for (const SheetCall &c : sheets) {
        const QSizeF paper = lib.paperSizeMm(c.orientation);
        const std::vector<int> sides = c.side == 2 ? std::vector<int>{0, 1} : std::vector<int>{c.side};
        for (int s : sides) {
            if (coverFitsOn(s, paper))
                continue;
            const QString text = s == 0
                ? getMessageText(QStringLiteral("MSG_OUTSIDE_PAGE_LEFT"),
                                 QStringLiteral("The left cover lies wholly or partly outside the page: nothing was printed. "
                                                "Please check its size and position."))
                : getMessageText(QStringLiteral("MSG_OUTSIDE_PAGE_RIGHT"),
                                 QStringLiteral("The right cover lies wholly or partly outside the page: nothing was printed. "
                                                "Please check its size and position."));
            platform::Prompter::get().msgBox(text, platform::MsgStyle::Exclamation,
                                             getErrorText(QStringLiteral("ERR"), QStringLiteral("ERROR")));
            return false;
        }
    }
    return true;
}

bool clsPrinter::coverFitsOn(int side, const QSizeF &paperMm) const
{
    if (paperMm.isEmpty())
        return true; // a sheet of unknown size is not judged
    const auto &g = geometry_[size_t(side)];
    constexpr double kSlackCm = 0.005; // 0,05 mm of rounding in typed numbers is not off the sheet
    const double width = paperMm.width() / 10.0, height = paperMm.height() / 10.0;
    return g[2] >= -kSlackCm && g[3] >= -kSlackCm && g[2] + g[0] <= width + kSlackCm && g[3] + g[1] <= height + kSlackCm;
}

void clsPrinter::Printer_Handling()
{
    try {
        if (init() != 1)
            return;
        const int medium = gObjCover().aktMedium();
        const int li0 = listIndex(0), li1 = listIndex(1);
        std::array<double, 2> own{0, 0};
        if (medium == 5) {
            const CoverTable &t = gVarCoverTypesLoaded[5];
            for (int s = 0; s < 2; ++s) {
                const int li = s == 0 ? li0 : li1;
                if (li >= 0 && li < t.count())
                    own[size_t(s)] = t.at(li).number(CoverField::Orientation);
            }
        }
        const std::vector<SheetCall> sheets = sheetsFor(medium, gObjCover().printType(), li0, li1, own);
        if (!coversFitOnSheets(sheets))
            return;
        // The hourglass while the sheets are made, the normal pointer also where one fails.
        const platform::BusyPointer busy;
        for (const SheetCall &c : sheets)
            printSheet(std::int16_t(c.side), c.orientation);
    } catch (...) {
        reportError(QStringLiteral("ERR_PRINT_PICTURE"), source(QStringLiteral("Printer_Handling")));
    }
}

PrintPlacement clsPrinter::placement(int side, int dpiX, int dpiY, int offX, int offY) const
{
    const auto &g = geometry_[size_t(side)];
    PrintPlacement p;
    const int x = roundToInt(cmToInch(g[2]) * dpiX) - offX;
    const int y = roundToInt(cmToInch(g[3]) * dpiY) - offY;
    const int w = roundToInt(cmToInch(g[0]) * dpiX);
    const int h = roundToInt(cmToInch(g[1]) * dpiY);
    p.cover = QRect(x, y, w, h);
    if (gBytePrintBorder == 1)
        p.borderWidth = toInt32(mmToInch(gDblBorderWidth) * dpiX);
    p.foldThickness = std::max(1, roundToInt(kFoldThickness * dpiX / kLineDpi));
    const int li0count = frmPelmora::instance() ? frmPelmora::instance()->lstCoverNames[0]->count() : 0;
    const int li = listIndex(side);
    const CoverTable &table = gVarCoverTypes[size_t(std::clamp<int>(gObjCover().aktMedium(), 0, kMediumCount - 1))];
    if (gBytePrintMargin == 1 && li0count > 0 && li >= 0 && li < table.count()) {
        const CoverRecord &rec = table.at(li);
        const double W = rec.number(CoverField::Width);
        const float c1 = float(rec.number(CoverField::Crease1)), c2 = float(rec.number(CoverField::Crease2));
        if (W != 0) {
            const double r = c1 / W;
            auto marks = [&](int xPos) {
                switch (gByteMarginType) {
                case 1: p.foldLines.emplace_back(QPoint(xPos, y), QPoint(xPos, y + toInt32(h * 0.01))); break;
                case 2:
                    p.foldLines.emplace_back(QPoint(xPos, y - toInt32(h * 0.025)), QPoint(xPos, y));
                    p.foldLines.emplace_back(QPoint(xPos, y + h), QPoint(xPos, y + h + toInt32(h * 0.025)));
                    break;
                default: p.foldLines.emplace_back(QPoint(xPos, y), QPoint(xPos, y + h)); break;
                }
            };
            if (c1 != 0)
                marks(x + toInt32(r * w));
            if (c2 != 0)
                marks(x + toInt32(w - r * w));
        }
    }
    return p;
}

void clsPrinter::printSheet(std::int16_t side, int orientation)
{
    platform::PrintLibrary &lib = getPrinter();
    try {
        lib.setOrientation(orientation);
        if (!lib.startDoc(QStringLiteral("Pelmora")))
            throw AppError(ErrNo::PathFileAccess, QStringLiteral("The printer did not start the document"));
        lib.startPage();
        clsPrintBorders borders;
        borders.setCanvas([&lib]() -> platform::imaging::DeviceContext & { return lib.hdc(); });
        const std::vector<int> sides = side == 2 ? std::vector<int>{0, 1} : std::vector<int>{side};
        for (int s : sides) {
            const PrintPlacement pl = placement(s, lib.dpiX(), lib.dpiY(), lib.physicalOffsetX(), lib.physicalOffsetY());
            if (!images_[size_t(s)])
                continue;
            const QRect &c = pl.cover;
            const QImage picture = printedPicture(s, c.size());
            if (gBytePrintBorder == 1) {
                const float half = pl.borderWidth / 2.0f;
                borders.setThickness(std::int16_t(pl.borderWidth));
                borders.setLineStyle(gByteBorderStyle == 0 ? 0 : 2);
                borders.setLineColor(gLngBorderColor);
                const float x = float(c.x()), y = float(c.y()), w = float(c.width()), h = float(c.height());
                borders.singleLine(x - half, y - half, x + w + half, y - half);
                borders.singleLine(x - half, y + h + half, x + w + half, y + h + half);
                borders.singleLine(x - half, y - half, x - half, y + h + half);
                borders.singleLine(x + w + half, y - half, x + w + half, y + h + half);
            }
            if (!picture.isNull())
                lib.hdc().paintImageStretched(picture, c);
            borders.setLineColor(gLngMarginColor);
            borders.setLineStyle(0);
            borders.setThickness(std::int16_t(pl.foldThickness));
            for (const auto &[a, b] : pl.foldLines)
                borders.singleLine(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
        }
        lib.endPage();
        lib.endDoc();
    } catch (...) {
        // A failed sheet leaves no half document behind.
        lib.abortDoc();
        reportError(QStringLiteral("ERR_PRINT_PICTURE"), source(QStringLiteral("printSheet_%1").arg(side)));
    }
}
