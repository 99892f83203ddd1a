#include "bitmap_font.h"

#include "glyph_table.h"

void drawHelvetica10Character(fixedfn::Pipeline &pipeline, int code) {
    if (code < 1 || code > 255) {
        return;
    }
    const BitmapGlyph &g = helvetica10Glyphs[code];
    pipeline.bitmap(g.width, g.height, g.xorig, g.yorig, g.advance, 0.0f, helvetica10Bits + g.offset);
}
