// GLUT's 10-pixel Helvetica bitmap font, codes 0 to 255, as a table generated
// at build time from the X 75-dpi Adobe Helvetica 10 font.
#ifndef OSTRIVANE_GLYPH_TABLE_H
#define OSTRIVANE_GLYPH_TABLE_H

struct BitmapGlyph {
    // Size of the bitmap in pixels; 0x0 for a glyph that draws nothing.
    unsigned char width;
    unsigned char height;
    // The raster position's place in the bitmap, from its lower-left corner,
    // as glBitmap takes it: the bitmap's corner lands at the raster position
    // minus this.
    signed char xorig;
    signed char yorig;
    // How far the raster position moves right after the glyph.
    unsigned char advance;
    // First byte of the bitmap in helvetica10Bits: rows from the bottom, each
    // (width + 7) / 8 bytes, the leftmost pixel in the highest bit.
    unsigned short offset;
};

extern const BitmapGlyph helvetica10Glyphs[256];
extern const unsigned char helvetica10Bits[];

#endif
