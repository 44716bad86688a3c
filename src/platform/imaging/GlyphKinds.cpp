#include "platform/imaging/GlyphKinds.h"

#include <QtEndian>

#include <algorithm>

namespace platform::imaging {
namespace {

quint32 at16(const QByteArray &t, qsizetype offset)
{
    return offset + 2 <= t.size() ? qFromBigEndian<quint16>(t.constData() + offset) : 0;
}

quint32 at32(const QByteArray &t, qsizetype offset)
{
    return offset + 4 <= t.size() ? qFromBigEndian<quint32>(t.constData() + offset) : 0;
}

// The base glyphs of the colour table: of its layer records (version 0) and of its paints
// (version 1).
std::unordered_set<quint32> colourGlyphs(const QByteArray &colr)
{
    std::unordered_set<quint32> glyphs;
    if (colr.size() < 14)
        return glyphs;
    const quint32 bases = at16(colr, 2), records = at32(colr, 4);
    for (quint32 i = 0; i < bases && records + 6 * qsizetype(i) + 6 <= colr.size(); ++i)
        glyphs.insert(at16(colr, records + 6 * qsizetype(i)));
    if (at16(colr, 0) >= 1 && colr.size() >= 18) {
        const qsizetype list = at32(colr, 14);
        const quint32 paints = list != 0 ? at32(colr, list) : 0;
        for (quint32 i = 0; i < paints && list + 4 + 6 * qsizetype(i) + 6 <= colr.size(); ++i)
            glyphs.insert(at16(colr, list + 4 + 6 * qsizetype(i)));
    }
    return glyphs;
}

} // namespace

const GlyphKinds::Font &GlyphKinds::fontOf(const QRawFont &font)
{
    const auto known = std::find_if(fonts_.begin(), fonts_.end(), [&](const Font &f) { return f.font == font; });
    if (known != fonts_.end())
        return *known;
    Font f;
    f.font = font;
    // TrueType outlines come with their index, PostScript ones in a table of their own. A font
    // with colour bitmaps is drawn by Qt whole, as Qt's engine loads such a font's glyphs in colour.
    f.colourBitmaps = !font.fontTable("CBLC").isEmpty() || !font.fontTable("sbix").isEmpty();
    f.outlines = !f.colourBitmaps
                 && (!font.fontTable("loca").isEmpty() || !font.fontTable("CFF ").isEmpty()
                     || !font.fontTable("CFF2").isEmpty());
    if (f.outlines)
        f.coloured = colourGlyphs(font.fontTable("COLR"));
    fonts_.push_back(std::move(f));
    return fonts_.back();
}

GlyphKind GlyphKinds::of(const QRawFont &font, quint32 glyph)
{
    const Font &f = fontOf(font);
    if (f.colourBitmaps)
        return GlyphKind::ColourBitmap;
    return f.outlines && !f.coloured.contains(glyph) ? GlyphKind::Outline : GlyphKind::OtherByQt;
}

} // namespace platform::imaging
