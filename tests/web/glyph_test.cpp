// The page's glyphs against desktop GLUT: web/gl.cpp's drawHelvetica10,
// compiled here with its GL calls renamed (page_gl_names.h), draws every code
// from 1 to 255 as points; they must light exactly the pixels that
// glutBitmapCharacter lights from the same raster position, in the colour
// the raster position took, and move it as far (a bar drawn after each code
// must land where desktop GLUT puts it).
#include <GL/freeglut.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "layer.h"
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
// (renderer.cpp) needs WebGL.
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

// Lit pixels as (column, row from the bottom).
using Pixels = std::set<std::pair<int, int>>;

// Lit pixels as text, one row a line from the top, for messages.
std::string picture(const Pixels &lit) {
    std::string text;
    for (int row = 320; row >= 280; --row) {
        std::string line;
        bool any = false;
        for (int column = 290; column <= 340; ++column) {
            const bool on = lit.count({column, row}) != 0;
            line += on ? '#' : '.';
            any = any || on;
        }
        if (any) {
            text += line + "\n";
        }
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
    glFinish();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(side) * side * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side, side, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    Pixels lit;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            if (rgb[(static_cast<std::size_t>(row) * side + column) * 3] != 0) {
                lit.insert({column, row});
            }
        }
    }
    return lit;
}

// The page's layer, the same way, with the colour changed after the raster
// position as the panel does; every point must have the raster position's
// white.
Pixels pageLayer(int code, bool *white) {
    page_glViewport(0, 0, side, side);
    page_glMatrixMode(GL_PROJECTION);
    page_glLoadIdentity();
    page_glOrtho(-50.0, 50.0, -50.0, 50.0, -1.0, 1.0);
    page_glMatrixMode(GL_MODELVIEW);
    page_glLoadIdentity();
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
                    static_cast<int>(std::floor((v.y / v.w + 1.0f) / 2.0f * side))});
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

}  // namespace
