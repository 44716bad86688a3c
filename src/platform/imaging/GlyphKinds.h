#pragma once
// What kind each glyph of a font is, read from the font's own tables: an outline the program may
// fill, or a glyph Qt draws itself (a colour bitmap, colour layers, a bitmap strike).
//
// Read from the tables, never by asking Qt for a glyph's outline: for a font without outlines
// (colour emoji, bitmap strikes) that request leaves Qt's font engine at another size, and the
// font's texts measure narrower from then on, in the whole program.
#include <QRawFont>

#include <list>
#include <unordered_set>

namespace platform::imaging {

enum class GlyphKind {
    Outline,      // an outline that is the glyph's whole drawing
    ColourBitmap, // a glyph of a font with colour bitmaps
    OtherByQt,    // colour layers, a glyph of a font without outlines
};

class GlyphKinds {
public:
    GlyphKind of(const QRawFont &font, quint32 glyph);

private:
    struct Font {
        QRawFont font;
        bool outlines = false;
        bool colourBitmaps = false;
        std::unordered_set<quint32> coloured; // glyphs drawn in colour layers
    };
    const Font &fontOf(const QRawFont &font);
    std::list<Font> fonts_;
};

} // namespace platform::imaging
