// The page's glyphs against desktop GLUT: every code from 1 to 255 drawn
// with glutBitmapCharacter must light exactly the pixels that the page's copy
// of freeglut's font data lights when drawn with glBitmap at the same raster
// position, and move the raster position as far.
#include <GL/freeglut.h>
#include <dlfcn.h>

#include <string>
#include <vector>

#include "freeglut/fg_internal.h"
#include "test_support.h"

namespace {

// A square of the back buffer around the raster position, large enough for
// any glyph of the font.
constexpr int boxLeft = 280;
constexpr int boxBottom = 280;
constexpr int boxSize = 40;

std::vector<unsigned char> readBox() {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(boxSize) * boxSize * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(boxLeft, boxBottom, boxSize, boxSize, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Lit pixels of the box as text, one row a line from the top, for messages.
std::string picture(const std::vector<unsigned char> &pixels) {
    std::string text;
    for (int row = boxSize - 1; row >= 0; --row) {
        std::string line;
        bool any = false;
        for (int column = 0; column < boxSize; ++column) {
            const bool lit = pixels[(static_cast<std::size_t>(row) * boxSize + column) * 3] != 0;
            line += lit ? '#' : '.';
            any = any || lit;
        }
        if (any) {
            text += line + "\n";
        }
    }
    return text;
}

struct Drawn {
    std::vector<unsigned char> pixels;
    float advance;
};

// Draws one glyph in white with its origin at world (0, 0), the window's
// centre, pixel (300, 300).
template <typename DrawGlyph>
Drawn drawAtCentre(DrawGlyph draw) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(0.0f, 0.0f);
    draw();
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    return {readBox(), raster[0] - 300.0f};
}

using GlyphTable = RenderTest;

TEST_F(GlyphTable, EveryCodeDrawsAndAdvancesAsDesktopGlut) {
    // The copy compared is the page's own: its names, hidden, do not take the
    // place of the installed library's, which desktop GLUT draws from.
    ASSERT_NE(dlsym(RTLD_DEFAULT, "fgFontHelvetica10"), static_cast<void *>(&fgFontHelvetica10));
    const SFG_Font &font = fgFontHelvetica10;
    int mismatches = 0;
    for (int code = 1; code <= 255; ++code) {
        const Drawn desktop = drawAtCentre([code] { glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, code); });
        const GLubyte *face = font.Characters[code];
        const Drawn table = drawAtCentre([&font, face] {
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glBitmap(face[0], font.Height, font.xorig, font.yorig, face[0], 0.0f, face + 1);
        });
        EXPECT_EQ(desktop.advance, table.advance) << "advance of code " << code;
        if (desktop.pixels != table.pixels) {
            ++mismatches;
            ADD_FAILURE() << "code " << code << " draws differently\ndesktop GLUT:\n"
                          << picture(desktop.pixels) << "table:\n"
                          << picture(table.pixels);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
