// The page's glyphs and colours against desktop GLUT: web/gl.cpp, compiled
// here with its GL calls renamed (page_gl_names.h). Its drawHelvetica10 draws
// every code from 1 to 255 as points; they must light exactly the pixels that
// glutBitmapCharacter lights from the same raster position, in the colour
// the raster position took, and move it as far (a bar drawn after each code
// must land where desktop GLUT puts it). Its table of colours for the
// system's contrast setting must reach the ratios the page promises.
#include <GL/freeglut.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "layer.h"
#include "matrix_panel.h"
#include "test_support.h"

extern "C" {
void page_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void page_glMatrixMode(GLenum mode);
void page_glLoadIdentity(void);
void page_glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal,
                  GLdouble farVal);
void page_glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void page_glRasterPos2f(GLfloat x, GLfloat y);
}

// What gl.cpp draws into, kept here as a plain list: the renderer's own
// (in glut_entry.cpp) needs WebGL.
namespace web {
void Frame::clear(const float rgba[4]) {
    cleared = true;
    for (int i = 0; i < 4; ++i) {
        clearRgba[i] = rgba[i];
    }
    vertices.clear();
}
void Frame::add(Kind kind, const Vertex &v, const int[4]) {
    if (kind == Kind::Points) {
        vertices.push_back(v);
    }
}
void Frame::reset() {
    vertices.clear();
}
Frame &frame() {
    static Frame instance;
    return instance;
}
}  // namespace web

namespace {

constexpr int side = 600;
constexpr int bar = '|';

// Lit pixels as (column, row from the top).
using Pixels = std::set<std::pair<int, int>>;

// Lit pixels as text, one row a line from the top, for messages.
std::string picture(const Pixels &lit) {
    std::string text;
    for (int row = 280; row <= 320; ++row) {
        std::string line;
        for (int column = 290; column <= 340; ++column) {
            line += lit.count({column, row}) != 0 ? '#' : '.';
        }
        text += line.find('#') == std::string::npos ? "" : line + "\n";
    }
    return text;
}

// Desktop GLUT: `code` then the bar, from world (0, 0), pixel (300, 300).
Pixels desktopGlut(int code) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(0.0f, 0.0f);
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, code);
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, bar);
    Pixels lit;
    for (int i : GlWindow::readBack().maskOf(0, 0, side, side, [](Rgb p) { return p.r != 0; })) {
        lit.insert({i % side, i / side});
    }
    return lit;
}

void pageWindow() {
    page_glViewport(0, 0, side, side);
    page_glMatrixMode(GL_PROJECTION);
    page_glLoadIdentity();
    page_glOrtho(-50.0, 50.0, -50.0, 50.0, -1.0, 1.0);
    page_glMatrixMode(GL_MODELVIEW);
    page_glLoadIdentity();
}

// The page's layer, the same way, with the colour changed after the raster
// position as the panel does; every point must have the raster position's
// white.
Pixels pageLayer(int code, bool *white) {
    pageWindow();
    page_glColor3f(1.0f, 1.0f, 1.0f);
    page_glRasterPos2f(0.0f, 0.0f);
    page_glColor3f(1.0f, 0.0f, 0.0f);
    web::frame().reset();
    web::drawHelvetica10(code);
    web::drawHelvetica10(bar);
    Pixels lit;
    *white = true;
    for (const web::Vertex &v : web::frame().vertices) {
        lit.insert({static_cast<int>(std::floor((v.x / v.w + 1.0f) / 2.0f * side)),
                    side - 1 - static_cast<int>(std::floor((v.y / v.w + 1.0f) / 2.0f * side))});
        *white = *white && v.r == 1.0f && v.g == 1.0f && v.b == 1.0f;
    }
    return lit;
}

using GlyphTable = RenderTest;

TEST_F(GlyphTable, EveryCodeDrawsAndAdvancesAsDesktopGlut) {
    int mismatches = 0;
    for (int code = 1; code <= 255; ++code) {
        bool white = false;
        const Pixels page = pageLayer(code, &white);
        const Pixels desktop = desktopGlut(code);
        EXPECT_TRUE(white) << "code " << code << " is not drawn in the raster position's colour";
        if (page != desktop) {
            ++mismatches;
            ADD_FAILURE() << "code " << code << " and a bar draw differently\ndesktop GLUT:\n"
                          << picture(desktop) << "page:\n"
                          << picture(page);
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Codes outside the font draw nothing.
    bool white = false;
    EXPECT_EQ(pageLayer(0, &white), pageLayer(256, &white));
}

// The colour the page draws for a colour the program sets: a glyph's, drawn
// from a raster position set in it.
Rgb shownByThePage(GlColour c) {
    pageWindow();
    page_glColor3f(c.red, c.green, c.blue);
    page_glRasterPos2f(0.0f, 0.0f);
    web::frame().reset();
    web::drawHelvetica10('H');
    const web::Vertex &v = web::frame().vertices.at(0);
    return toRgb(v.r, v.g, v.b);
}

using PageColours = RenderTest;

// Without the contrast setting the page draws the program's colours; with
// it, the axes and ticks stand at least 3:1 against the black world, and at
// every level of the pulse the box at least 3:1 and the entry's text on it
// at least 4.5:1, the pulse still to be seen.
TEST_F(PageColours, TheContrastTableReachesItsRatiosAndOnlyOnRequest) {
    for (const GlColour c : {axisColour, tickColour, figureColour, panel::valueColour,
                             panel::fixedValueColour, panel::typedColour, panel::instructionColour}) {
        EXPECT_TRUE(sameColour(shownByThePage(c), toRgb(c))) << c.red << " " << c.green << " " << c.blue;
    }
    web::moreContrast = true;
    EXPECT_GE(contrastRatio(shownByThePage(axisColour), shade::black), 3.0);
    EXPECT_GE(contrastRatio(shownByThePage(tickColour), shade::black), 3.0);
    std::set<int> greens;
    float level = 0.0f;
    for (int step = 0; step <= 20; ++step, level += 0.01f) {
        // As the panel sets the box's colour for the level.
        const double l = level;
        const Rgb box = shownByThePage(
            {panel::boxRed, static_cast<float>(l + panel::boxGreen), static_cast<float>(panel::boxBlue - l)});
        EXPECT_GE(contrastRatio(box, shade::black), 3.0) << "level " << level;
        EXPECT_GE(contrastRatio(shownByThePage(panel::typedColour), box), 4.5) << "level " << level;
        greens.insert(box.g);
    }
    EXPECT_GE(greens.size(), 4u) << "the box hardly pulses";
    web::moreContrast = false;
}

}  // namespace
