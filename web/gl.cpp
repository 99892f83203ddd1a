// The OpenGL 1.x calls that Ostrivane makes, as a correct program makes them
// (what OpenGL reports as an error is not looked for), worked out on the CPU
// into the frame (layer.h). Shading is flat, as the program selects it.
#include <GL/gl.h>

#include <array>
#include <cmath>
#include <utility>

extern "C" {
#include "freeglut/fg_internal.h"
}
#include "layer.h"
#include "matrix_panel.h"

namespace {

// Column-major, as OpenGL keeps it.
using Matrix = std::array<float, 16>;
using Vector = std::array<float, 4>;
using Colour = std::array<float, 3>;

constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Two levels of each stack: the program pushes the modelview matrix once.
struct Stack {
    Matrix levels[2] = {identity, identity};
    int top = 0;
    Matrix &current() { return levels[top]; }
};

Stack modelview;
Stack projection;
Stack *selected = &modelview;
Colour colour{1, 1, 1};
std::array<float, 4> clearRgba{};
std::array<int, 4> viewportBox{};

// The primitive being drawn: its mode, its vertices so far, the first, the last.
GLenum primitive = 0;
int count = 0;
web::Vertex first{};
web::Vertex previous{};

bool rasterValid = true;
float rasterX = 0, rasterY = 0;
Colour rasterColour{1, 1, 1};

Matrix product(const Matrix &a, const float b[16]) {
    Matrix p{};
    for (int i = 0; i < 16; ++i) {  // column i / 4, row i % 4
        for (int k = 0; k < 4; ++k) {
            p[i] += a[k * 4 + i % 4] * b[i / 4 * 4 + k];
        }
    }
    return p;
}

Vector product(const Matrix &m, const Vector &v) {
    Vector p;
    for (int r = 0; r < 4; ++r) {
        p[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
    }
    return p;
}

web::Vertex transformed(float x, float y) {
    const Vector clip = product(projection.current(), product(modelview.current(), Vector{x, y, 0, 1}));
    return {clip[0], clip[1], clip[2], clip[3], colour[0], colour[1], colour[2]};
}

void add(web::Kind kind, const web::Vertex &v) {
    web::frame().add(kind, v, viewportBox.data());
}

// A segment in its second end's colour, as flat shading draws it; a loop's
// closing segment ends at, and takes the colour of, the loop's first vertex.
void segment(const web::Vertex &from, const web::Vertex &to) {
    add(web::Kind::Lines, {from.x, from.y, from.z, from.w, to.r, to.g, to.b});
    add(web::Kind::Lines, to);
}

float clamped(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// With more contrast, the program's colours by this table (docs/accessibility.md
// gives the ratios); the box is recognised by its red and its pulse's range.
constexpr std::pair<GlColour, Colour> replacements[] = {
    {axisColour, {0.35f, 0.55f, 1.0f}},
    {tickColour, {0.3f, 0.45f, 0.9f}},
    {panel::typedColour, {1.0f, 1.0f, 1.0f}},
};

Colour shown(const Colour &c) {
    if (!web::moreContrast) {
        return c;
    }
    for (const auto &[from, to] : replacements) {
        if (c == Colour{from.red, from.green, from.blue}) {
            return to;
        }
    }
    const auto green = static_cast<float>(panel::boxGreen);
    if (c[0] == panel::boxRed && c[1] >= green - 0.01f && c[1] <= green + panel::pulseTop + 0.01f &&
        c[2] <= static_cast<float>(panel::boxBlue) + 0.01f) {
        return {c[0], 0.42f + 0.3f * (c[1] - green), c[2]};
    }
    return c;
}

}  // namespace

namespace web {

bool moreContrast = false;

void drawHelvetica10(int code) {
    if (code < 1 || code > 255 || !rasterValid) {
        return;
    }
    // glBitmap as freeglut calls it, one point at the centre of each lit pixel:
    // Characters[code] + 1 holds Height rows of `width` pixels, from the bottom,
    // whole bytes each, the leftmost pixel in the highest bit.
    const SFG_Font &font = fgFontHelvetica10;
    const int width = font.Characters[code][0];
    const unsigned char *bits = font.Characters[code] + 1;
    const int left = static_cast<int>(std::floor(rasterX - font.xorig)) - viewportBox[0];
    const int bottom = static_cast<int>(std::floor(rasterY - font.yorig)) - viewportBox[1];
    const float vw = static_cast<float>(viewportBox[2]);
    const float vh = static_cast<float>(viewportBox[3]);
    for (int row = 0; vw > 0.0f && vh > 0.0f && row < font.Height; ++row) {
        for (int column = 0; column < width; ++column) {
            if ((bits[row * ((width + 7) / 8) + column / 8] & (0x80 >> (column % 8))) != 0) {
                const float x = (static_cast<float>(left + column) + 0.5f) / vw * 2 - 1;
                const float y = (static_cast<float>(bottom + row) + 0.5f) / vh * 2 - 1;
                add(Kind::Points, {x, y, 0, 1, rasterColour[0], rasterColour[1], rasterColour[2]});
            }
        }
    }
    rasterX += static_cast<float>(width);
}

}  // namespace web

extern "C" {

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    clearRgba = {clamped(red), clamped(green), clamped(blue), clamped(alpha)};
}

void glClear(GLbitfield mask) {
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) {
        web::frame().clear(clearRgba.data());
    }
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    viewportBox = {x, y, width, height};
}

void glShadeModel(GLenum) {}

void glMatrixMode(GLenum mode) {
    selected = mode == GL_PROJECTION ? &projection : &modelview;
}

void glLoadIdentity(void) {
    selected->current() = identity;
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal,
             GLdouble farVal) {
    const float l = static_cast<float>(left), r = static_cast<float>(right);
    const float b = static_cast<float>(bottom), t = static_cast<float>(top);
    const float n = static_cast<float>(nearVal), f = static_cast<float>(farVal);
    Matrix ortho = identity;
    ortho[0] = 2 / (r - l);
    ortho[5] = 2 / (t - b);
    ortho[10] = -2 / (f - n);
    ortho[12] = -(r + l) / (r - l);
    ortho[13] = -(t + b) / (t - b);
    ortho[14] = -(f + n) / (f - n);
    selected->current() = product(selected->current(), ortho.data());
}

void glPushMatrix(void) {
    selected->levels[1] = selected->levels[0];
    selected->top = 1;
}

void glPopMatrix(void) {
    selected->top = 0;
}

void glMultMatrixf(const GLfloat *m) {
    selected->current() = product(selected->current(), m);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    colour = shown({clamped(red), clamped(green), clamped(blue)});
}

void glBegin(GLenum mode) {
    primitive = mode;
    count = 0;
}

void glVertex2f(GLfloat x, GLfloat y) {
    const web::Vertex v = transformed(x, y);
    if (count == 0) {
        first = v;
    } else if (primitive == GL_LINE_STRIP || primitive == GL_LINE_LOOP ||
               (primitive == GL_LINES && count % 2 == 1)) {
        segment(previous, v);
    }
    previous = v;
    ++count;
}

void glEnd(void) {
    if (primitive == GL_LINE_LOOP && count >= 2) {
        segment(previous, first);
    }
}

void glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    // Two triangles, as OpenGL draws the rectangle's polygon.
    const web::Vertex corners[4] = {transformed(x1, y1), transformed(x2, y1), transformed(x2, y2),
                                    transformed(x1, y2)};
    for (const int i : {0, 1, 2, 0, 2, 3}) {
        add(web::Kind::Triangles, corners[i]);
    }
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    const web::Vertex clip = transformed(x, y);
    const float w = clip.w;
    rasterColour = colour;
    rasterValid = w > 0 && std::fabs(clip.x) <= w && std::fabs(clip.y) <= w && std::fabs(clip.z) <= w;
    if (rasterValid) {
        const float halfWidth = static_cast<float>(viewportBox[2]) * 0.5f;
        const float halfHeight = static_cast<float>(viewportBox[3]) * 0.5f;
        rasterX = clip.x / w * halfWidth + (halfWidth + static_cast<float>(viewportBox[0]));
        rasterY = clip.y / w * halfHeight + (halfHeight + static_cast<float>(viewportBox[1]));
    }
}

}  // extern "C"
