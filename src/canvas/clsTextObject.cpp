#include "canvas/clsTextObject.h"

#include "canvas/CanvasServices.h"
#include "canvas/Globals.h"
#include "canvas/clsEffects.h"
#include "canvas/clsMoveableObjects.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/mdlUtil.h"
#include "platform/Rounding.h"
#include "platform/imaging/Colors.h"
#include "platform/imaging/Filters.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImgxCanvas.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/Screen.h"

#include <QLocale>

#include <cmath>
#include <limits>

using platform::kNoUndo;

namespace {

QString source(const char *proc) { return QStringLiteral("clsTextObject.") + QLatin1String(proc); }
} // namespace

clsTextObject::clsTextObject() : mfntFont(QStringLiteral("Arial"))
{
    mfntFont.setPointSizeF(8);
    mImgXPicture->setUndoLevels(15);
}

void clsTextObject::setFontSize(double size)
{
    // A font has a size above 0; what the fits and zooms compute is kept as it comes.
    mfntFont.setPointSizeF(size > 0.01 ? size : 0.01);
}

void clsTextObject::copy(const clsTextObject &source)
{
    copyFont(source.mfntFont, mfntFont);
    mstrIndex = source.mstrIndex;
    mBoolDeleted = source.mBoolDeleted;
    if (mBoolDeleted)
        return;
    mbyteAlignment = source.mbyteAlignment;
    mlngColor = source.mlngColor;
    mdblAntiAlias = source.mdblAntiAlias;
    mstrText = source.mstrText;
    mObjTextShadow->copy(*source.mObjTextShadow);
    mObjTextGradient->copy(*source.mObjTextGradient);
    mIntLayer = source.mIntLayer;
    // Copied into this object's own images; one the collector freed is made anew.
    auto importInto = [](platform::ImgxImagePtr &mine, const platform::ImgxImagePtr &theirs) {
        if (!theirs || theirs->isEmpty())
            return;
        if (!mine)
            mine = platform::ImgxImage::create();
        mine->importImage(*theirs, QString());
    };
    importInto(mImgXPicture, source.mImgXPicture);
    importInto(mImgXBackup, source.mImgXBackup);
    mDblAngle = source.mDblAngle;
    mBoolFocus = source.mBoolFocus;
    mBoolDragging = source.mBoolDragging;
    mBoolIsRotated = source.mBoolIsRotated;
    mObjPointMouseOffset->copy(*source.mObjPointMouseOffset);
    mObjPointMousePos->copy(*source.mObjPointMousePos);
    mSnglWidthInPercent = source.mSnglWidthInPercent;
    mLngCharSpace = source.mLngCharSpace;
    mLngOriginalWidth = source.mLngOriginalWidth;
}

clsCanvasObjectPtr clsTextObject::clone() const
{
    auto t = std::make_shared<clsTextObject>();
    t->copy(*this);
    return t;
}

bool clsTextObject::isInMousePosition(int x, int y) const
{
    if (!mImgXPicture || mBoolDeleted || mImgXPicture->isEmpty())
        return false;
    return X() < x && x < X() + W() && Y() < y && y < Y() + H();
}

bool clsTextObject::renderAtZoom(double zoom, clsEffects *effects)
{
    const double size = fontSize();
    setFontSize(size * zoom);
    const bool rendered = TextToImgX(effects);
    setFontSize(size);
    return rendered;
}

void clsTextObject::DrawToImgX(platform::ImgxImage &target, double zoom, clsEffects *effects, double scale)
{
    if (mBoolDeleted)
        return;
    // The text is rendered anew from its full-scale settings, at the target's resolution,
    // not enlarged from the canvas picture; the canvas picture and its backup are kept.
    const platform::ImgxImagePtr picture = mImgXPicture;
    const platform::ImgxImagePtr backup = mImgXBackup;
    const bool rotated = mBoolIsRotated;
    try {
        if (zoom == 0 || !std::isfinite(zoom) || !(scale > 0) || !std::isfinite(scale))
            throw AppError(ErrNo::DivisionByZero);
        mImgXBackup = platform::ImgxImage::create();
        // A text that cannot be drawn at the target's scale has been told of; the rest is drawn.
        if (renderAtZoom(scale, effects)) {
            const double f = scale / zoom;
            target.drawImage(*mImgXPicture, roundToInt(f * X()), roundToInt(f * Y()), QString());
        }
    } catch (...) {
        reportError(QStringLiteral("ERR_SAVE_COVER"), source("DrawToImgXCtrl"));
    }
    mImgXPicture = picture;
    mImgXBackup = backup;
    mBoolIsRotated = rotated;
}

platform::imaging::TextStyle clsTextObject::textStyle(const QFont &font, double size, double widthPercent,
                                                     std::int32_t charSpace, std::int32_t color, double antiAlias)
{
    platform::imaging::TextStyle st;
    st.fontName = font.family();
    st.size = float(size);
    st.italic = font.italic();
    st.underline = font.underline();
    st.widthPercent = widthPercent;
    st.charSpacing = charSpace;
    st.weight = font.bold() ? 7 : 4;
    st.strikethrough = font.strikeOut();
    st.penColor = std::uint32_t(color);
    st.antiAlias = antiAlias;
    return st;
}

QImage clsTextObject::gradientFill(const clsTextGradient &g, QSize measured)
{
    namespace imaging = platform::imaging;
    const int w = measured.width();
    const int h = measured.height();
    const auto colors = g.mBoolRainbow
        ? imaging::GradientColors::rainbow()
        : imaging::GradientColors::twoColors(imaging::fromColorRef(std::uint32_t(g.mlngColor1), 255),
                                             imaging::fromColorRef(std::uint32_t(g.mlngColor2), 255));
    auto gradient = platform::ImgxImage::create();
    if (!g.mBoolCenter) {
        const clsPoint &s = *g.mObjPointStart;
        const clsPoint &e = *g.mObjPointEnd;
        const QPointF start(s.mLngX != 0 ? s.mLngX + w : 0, s.mLngY != 0 ? s.mLngY + h : 0);
        const QPointF end(e.mLngX != 0 ? e.mLngX + w : 0, e.mLngY != 0 ? e.mLngY + h : 0);
        gradient->linearGradient(w + 255, h + 255, start, end, colors, platform::kNoUndo);
    } else {
        const QPointF centre(roundHalfEven((w + 255) / 2.0), roundHalfEven((h + 255) / 2.0));
        gradient->centredGradient(w + 255, h + 255, centre, (w + 255) / 2.0, colors, platform::kNoUndo);
    }
    return gradient->qimage();
}

platform::imaging::TextStyle clsTextObject::currentStyle()
{
    if (mSnglWidthInPercent < 1)
        mSnglWidthInPercent = 1;
    return textStyle(mfntFont, fontSize(), mSnglWidthInPercent, mLngCharSpace, mlngColor, mdblAntiAlias);
}

QSize clsTextObject::pictureSize(QSize measured) const
{
    const clsTextShadow &sh = *mObjTextShadow;
    if (!sh.mBoolIsActive)
        return measured;
    // Room for the shadow's offset and for the blur around text and shadow as well.
    const int reach = platform::imaging::shadowReach(sh.mDblBlurLevel);
    const auto grown = [reach](int side, std::int32_t offset) {
        return int(std::min<qint64>(std::numeric_limits<int>::max(), qint64(side) + std::abs(qint64(offset)) + 5 + 2 * reach));
    };
    return {grown(measured.width(), sh.mLngX), grown(measured.height(), sh.mLngY)};
}

bool clsTextObject::turnsPicture() const
{
    const double angle = mDblAngle;
    return !(angle == 0 || angle / 360.0 == double(static_cast<long long>(roundHalfEven(angle)) / 360));
}

int clsTextObject::pictureWidth(clsEffects *effects, const platform::imaging::TextMeasurement &measured)
{
    const QSize drawn = pictureSize(measured.at(currentStyle().widthPercent).size);
    if (!turnsPicture())
        return drawn.width();
    // A quarter turn moves the pixels of the picture as drawn (at least one each way); any
    // other angle makes a picture of its own.
    const int turns = platform::imaging::quarterTurnsOf(float(mDblAngle));
    if (turns < 0) {
        TextToImgX(effects);
        return W();
    }
    const QSize picture = drawn.expandedTo(QSize(1, 1));
    return turns % 2 == 0 ? picture.width() : picture.height();
}

QSize clsTextObject::pictureSizeAtZoom(double zoom)
{
    namespace imaging = platform::imaging;
    const double size = fontSize();
    setFontSize(size * zoom);
    const imaging::TextStyle st = currentStyle();
    const int side = platform::kMaxImageSide;
    QSize measured;
    const bool fits = !imaging::layoutExceeds(st, mstrText, side, side)
                      && picturesFit(measured = imaging::measureText(st, mstrText, mbyteAlignment));
    setFontSize(size);
    if (!fits) {
        refusedTooLarge(refusalOf(st, mstrText));
        return {};
    }
    return pictureSize(measured).expandedTo(QSize(1, 1));
}

bool clsTextObject::drawableAtFullScale()
{
    if (pictureSizeAtZoom(1).isEmpty())
        return false;
    if (platform::imaging::drawingWork(currentStyle(), mstrText, mbyteAlignment) > platform::imaging::kMaxOutlineWork)
        return refusedTooLarge(Refusal::Work);
    return true;
}

int clsTextObject::sQuietTooLarge = 0;
long clsTextObject::sRefusals = 0;
clsTextObject::Refusal clsTextObject::sLastRefusal = clsTextObject::Refusal::Picture;

clsTextObject::QuietTooLarge::QuietTooLarge() : refusalsBefore_(sRefusals) { ++sQuietTooLarge; }
clsTextObject::QuietTooLarge::~QuietTooLarge() { --sQuietTooLarge; }

clsTextObject::Refusal clsTextObject::refusalOf(const platform::imaging::TextStyle &style, const QString &text)
{
    using platform::imaging::TextBound;
    switch (platform::imaging::textBoundMet(style, text)) {
    case TextBound::Characters: return Refusal::Characters;
    case TextBound::Marks: return Refusal::Marks;
    case TextBound::Spacing: return Refusal::Spacing;
    case TextBound::None: break;
    }
    return Refusal::Picture;
}

void clsTextObject::tellTooLarge()
{
    // The bounds are the drawing's own, whatever the language file says.
    struct Message {
        const char *key;
        const char *text;
    };
    static const Message messages[] = {
        {"MSG_TEXT_TOO_LARGE", "The text is too large to be drawn: its picture would have more than @side@ pixels a "
                               "side or @pixels@ pixels in all. Make the text shorter or its font smaller."},
        {"MSG_TEXT_TOO_LONG", "The text is too long to be drawn: it has more than @characters@ characters (fewer "
                              "where scripts are mixed). Make the text shorter."},
        {"MSG_TEXT_TOO_MANY_ACCENTS", "The text cannot be drawn: a letter of it carries more than @marks@ accents. "
                                      "Remove some of them."},
        {"MSG_TEXT_TOO_WIDELY_SPACED", "The text cannot be drawn: its letter spacing takes a line further than "
                                       "letters can be placed. Make the spacing smaller or the line shorter."},
        {"MSG_TEXT_TOO_COSTLY", "The text is too much to fill at this size: drawing its letters would take more than "
                                "about @seconds@ seconds. Make the text shorter, its font smaller or its stretch "
                                "narrower."},
    };
    const Message &m = messages[int(sLastRefusal)];
    QString text = getMessageText(QLatin1String(m.key), QString::fromUtf8(m.text));
    // The pixels in all in the user's digit groups (also in the C locale, which leaves them out).
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    text.replace(QStringLiteral("@side@"), QString::number(platform::kMaxImageSide))
        .replace(QStringLiteral("@pixels@"), locale.toString(qlonglong(platform::kMaxImagePixels)))
        // (a language file of earlier versions names the megapixels)
        .replace(QStringLiteral("@megapixels@"), QString::number(platform::kMaxImagePixels / (1024 * 1024)))
        .replace(QStringLiteral("@characters@"), QString::number(platform::imaging::kMaxTextCharacters))
        .replace(QStringLiteral("@marks@"), QString::number(platform::imaging::kMaxCombiningMarks))
        .replace(QStringLiteral("@seconds@"), QString::number(platform::imaging::kMaxDrawingSeconds));
    platform::Prompter::get().msgBox(text, platform::MsgStyle::Exclamation,
                                     gObjLanguageStore().getVar(QStringLiteral("ERRORS.ERR"), QStringLiteral("Error")));
}

bool clsTextObject::picturesFit(QSize measured) const
{
    // In whole numbers of a wider range: a measured side may be near the int range's end.
    if (!platform::withinPictureLimits(measured))
        return false;
    const QSize picture = pictureSize(measured);
    if (!platform::withinPictureLimits(picture))
        return false;
    // What drawing takes beside the picture: the gradient and the layer the glyphs are filled
    // on, the shadow's two planes of 16 bits a pixel, the turned copy.
    const double pixels = double(picture.width()) * picture.height();
    double bytes = 4 * pixels;
    if (mObjTextGradient->mBoolIsActive) {
        const QSize gradient(measured.width() + 255, measured.height() + 255);
        if (!platform::withinPictureLimits(gradient))
            return false;
        bytes += 4 * pixels + 4.0 * gradient.width() * gradient.height();
    }
    if (mObjTextShadow->mBoolIsActive)
        bytes += 4 * pixels;
    if (turnsPicture()) {
        // At the angle the turn is made with.
        const QSize turned = platform::imaging::rotatedSize(picture, float(mDblAngle));
        if (!platform::withinPictureLimits(turned))
            return false;
        bytes += 4.0 * turned.width() * turned.height();
    }
    return bytes <= double(platform::kMaxDecodeBytes);
}

bool clsTextObject::TextToImgX(clsEffects *effects)
{
    namespace imaging = platform::imaging;
    try {
        const imaging::TextStyle st = currentStyle();
        // Nothing is drawn for a text whose pictures would be over the picture limits: a text
        // far too large is known from its lines, any other from its measured extent.
        const int side = platform::kMaxImageSide;
        if (imaging::layoutExceeds(st, mstrText, side, side))
            return refusedTooLarge(refusalOf(st, mstrText));
        // The picture holds all of the ink: the measured area reaches past the layout box
        // where italic, descenders or tight spacing do.
        const imaging::TextExtent extent = imaging::textExtent(st, mstrText, mbyteAlignment);
        const QSize m = extent.size;
        if (!picturesFit(m))
            return refusedTooLarge();
        const int w = m.width();
        const int h = m.height();
        const clsTextShadow &sh = *mObjTextShadow;
        const int dx = sh.mLngX, dy = sh.mLngY;
        // With a shadow the text sits 2 pixels in; a shadow offset up or left moves it further
        // in, so that text and shadow both stay inside the picture.
        const int reach = imaging::shadowReach(sh.mDblBlurLevel);
        const QPoint at = sh.mBoolIsActive ? QPoint(2 + reach + std::max(0, -dx), 2 + reach + std::max(0, -dy)) : QPoint();
        // The glyphs' work is counted before any picture is made: a text too costly to draw
        // costs none.
        const imaging::TextPlan plan(st, mstrText, QRect(at, QSize(w, h)), mbyteAlignment, extent);
        if (plan.tooCostly())
            return refusedTooLarge(Refusal::Work);
        const QImage fill = mObjTextGradient->mBoolIsActive ? gradientFill(*mObjTextGradient, m) : QImage();

        // The new pictures are made aside and become the object's when all of them are made:
        // a failure leaves the object as it was. A new picture has no steps to undo.
        auto picture = platform::ImgxImage::create();
        const QSize size = pictureSize(m);
        picture->blank(size.width(), size.height(), 0, 0, 6, kNoUndo);
        picture->drawText(plan, fill, kNoUndo);
        if (sh.mBoolIsActive)
            picture->dropShadow(dx, dy, std::uint32_t(sh.mlngColor), sh.mByteOpacitiy, sh.mDblBlurLevel, kNoUndo);
        picture->setImageType(platform::ImgxImage::kTypeInMemory);

        const bool rotated = turnsPicture();
        platform::ImgxImagePtr turned;
        if (rotated) {
            turned = platform::ImgxImage::create();
            turned->importImage(*picture, kNoUndo);
            clsEffects fallback;
            (effects ? *effects : fallback).rotate(*turned, float(mDblAngle), 0, false);
        }
        mImgXPicture = picture;
        mBoolIsRotated = rotated;
        if (rotated) {
            doBackupImgX();
            mImgXPicture = turned;
        }
        return true;
    } catch (const platform::PictureTooLarge &) {
        // A picture over the limits all the same (the turned one, say) is a text too large.
        return refusedTooLarge();
    } catch (...) {
        const FailureInfo f = currentFailure();
        const bool memory = f.number == 5 || f.number == 6 || f.number == 7 || f.number == 91
                            || f.number == long(0x8004028DL);
        reportError(memory ? QStringLiteral("ERR_OUTOFMEMORY") : QStringLiteral("ERR_TEXTTOIMGX"), source("TextToImgX"));
        return false;
    }
}

bool clsTextObject::refusedTooLarge(Refusal why)
{
    ++sRefusals;
    sLastRefusal = why;
    if (sQuietTooLarge == 0)
        tellTooLarge();
    return false;
}
