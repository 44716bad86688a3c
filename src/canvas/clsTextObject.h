#pragma once
// One text item on the canvas of a cover side: the settings it is rendered from, the
// rendered picture (and its unrotated backup), its position, layer and drag state.
//
// The font size and width percent are full-scale values; the picture is held at the editor
// canvas's scale, so every rendering for the canvas multiplies the font size by the zoom
// meanwhile. The width percent is a proportion of the font's normal width and stays as it is
// at every zoom.
#include "canvas/clsCanvasObject.h"
#include "canvas/clsTextGradient.h"
#include "canvas/clsTextShadow.h"

#include "platform/imaging/TextDrawing.h"

#include <QFont>

#include <functional>

class clsTextObject final : public clsCanvasObject {
public:
    clsTextObject();
    QString typeName() const override { return QStringLiteral("clsTextObject"); }

    QFont mfntFont;
    std::uint8_t mbyteAlignment = 0;  // 0 left, 1 centre, 2 right
    std::int32_t mlngColor = 0;       // 0x00BBGGRR
    double mdblAntiAlias = 0;         // 0, 1, 2, 5 or 9
    QString mstrText;
    clsTextShadowPtr mObjTextShadow = std::make_shared<clsTextShadow>();
    clsTextGradientPtr mObjTextGradient = std::make_shared<clsTextGradient>();
    float mSnglWidthInPercent = 100;
    std::int32_t mLngCharSpace = 0;
    std::int32_t mLngOriginalWidth = 0;
    std::int16_t mIntOldResizeMode = 0;

    // The font size in points (fractional sizes are kept).
    double fontSize() const { return mfntFont.pointSizeF(); }
    void setFontSize(double size);

    void copy(const clsTextObject &source);
    bool isInMousePosition(int x, int y) const override;
    void DrawToImgX(platform::ImgxImage &target, double zoom, clsEffects *effects, double scale = 1.0) override;
    // Renders the text into a new picture, rotated when the angle asks for it; true when it
    // did. A text whose pictures would be over the picture limits is refused before anything
    // is drawn and the user is told; a failure is reported. Either way the object keeps the
    // pictures it had.
    bool TextToImgX(clsEffects *effects);
    // While one lives, a refused rendering is not told at once: an operation that renders a
    // text many times tells it once, with tellTooLarge, when it gives up.
    class QuietTooLarge {
    public:
        QuietTooLarge();
        ~QuietTooLarge();
        QuietTooLarge(const QuietTooLarge &) = delete;
        QuietTooLarge &operator=(const QuietTooLarge &) = delete;
        // Whether a rendering was refused as too large since this one was made.
        bool refused() const { return sRefusals > refusalsBefore_; }

    private:
        long refusalsBefore_;
    };
    // The bound a text that cannot be drawn met: its pictures would be over the picture limits,
    // its characters beyond the bounds of their laying out (too many, too many accents on one
    // letter, spacing past the font's positions), or filling its glyphs would take too long.
    enum class Refusal { Picture, Characters, Marks, Spacing, Work };
    // The bound of those the text's characters meet at that style, if any; else Picture.
    static Refusal refusalOf(const platform::imaging::TextStyle &style, const QString &text);
    // Tells the user that the text cannot be drawn, naming the bound the last refusal met.
    static void tellTooLarge();
    // Counts a rendering or turn of a text refused at a bound and tells it unless a
    // QuietTooLarge lives; false.
    static bool refusedTooLarge(Refusal why = Refusal::Picture);
    // The drawing settings a text is rendered with, the fill left out. The text editor's
    // preview draws with the same settings from its controls.
    static platform::imaging::TextStyle textStyle(const QFont &font, double size, double widthPercent,
                                                  std::int32_t charSpace, std::int32_t color, double antiAlias);
    // The picture a gradient fills a text of the measured size with: the gradient's points
    // that are not 0 are moved on by the text's width (x) or height (y).
    static QImage gradientFill(const clsTextGradient &gradient, QSize measured);
    // Renders the text at a zoom: the font size times the zoom for the rendering, the same
    // width percent. The one place that scales a text for the canvas. True when it rendered.
    bool renderAtZoom(double zoom, clsEffects *effects);
    clsCanvasObjectPtr clone() const override;

    // Resizing by the eight handles and fitting the text to the size reached.
    std::int16_t isInResizePosition(int relX, int relY) override;
    void startResize(int x, int y) override;
    void doResize(int x, int y) override;
    void stopResize() override;
    void checkPosition() override;
    void stretchToWidth(int target, clsEffects *effects);
    void stretchToHeight(int target, clsEffects *effects);

    // How many passes a fit may take, and the widest a stretch makes a text (in percent).
    static constexpr int kMaxFitPasses = 61;
    static constexpr double kMaxStretchPercent = 100000;

private:
    // The drawing settings of the text as it stands (a width below 1 % raised to 1 %).
    platform::imaging::TextStyle currentStyle();
    // The size of the picture of a text whose ink measures measured: with a shadow, room for
    // its offset and blur.
    QSize pictureSize(QSize measured) const;
    // Whether the angle turns the picture (any angle but a whole number of turns).
    bool turnsPicture() const;
    // Whether the pictures a rendering of a text of this measured size makes, and the buffers
    // it takes beside them, are within the picture limits.
    bool picturesFit(QSize measured) const;
    static int sQuietTooLarge;
    static long sRefusals;
    static Refusal sLastRefusal;
    // The width the text's picture has with its settings as they stand, measured without
    // drawing unless the angle turns the picture by other than quarter turns: from the text
    // as measured once for every width percent.
    int pictureWidth(clsEffects *effects, const platform::imaging::TextMeasurement &measured);
    // The size of the picture the text would have at a zoom, measured without drawing; for a
    // text over the picture limits an empty size, the refusal counted as a rendering's is.
    QSize pictureSizeAtZoom(double zoom);
    // Whether the text can be drawn at full scale (printed, saved), found without drawing it;
    // a text that cannot is refused as too large.
    bool drawableAtFullScale();
    // Runs a change of the text's size that renders it, perhaps many times. When a rendering
    // is refused as too large, the text is taken back as it was and the user told once.
    void changeSize(const std::function<void()> &change);
    void stretchToWidthOriginal(int target, clsEffects *effects);
    void stretchToHeightOriginal(int target, clsEffects *effects);
    void startResizeOriginal(int x, int y);
    void doResizeOriginal(int x, int y);
    void stopResizeOriginal();
    void adaptFontsizeToHeight(int target);
    void adaptWidthInPercent(int target, bool measureResizeCopy);
    // The fit shared by font size and width percent.
    void fit(double &quantity, double initialMeasure, int target, bool byHeight, bool zeroFactorIsOne);
};

using clsTextObjectPtr = std::shared_ptr<clsTextObject>;
