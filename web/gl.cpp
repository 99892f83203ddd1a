// The OpenGL 1.x calls that Ostrivane makes, for the page, and nothing more:
// the current colour, the two matrix stacks, glOrtho and glMultMatrixf,
// glBegin/glEnd for lines, line strips and line loops (with colour changes
// between the vertices), glRectf, and the raster position with the bitmap
// glyphs that glutBitmapCharacter draws. Shading is flat, as the program
// selects it: a segment takes its second vertex's colour, a loop's closing
// segment its first vertex's. With the system's contrast setting, the colours
// that fall short of it are replaced (see `shownColour`).
#include <GL/gl.h>

#include <cmath>

#include "freeglut/fg_internal.h"
#include "layer.h"
#include "matrix_panel.h"

namespace {

struct Matrix {
    float m[16];
};

constexpr Matrix identity{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// The program pushes the modelview matrix once; two levels of each stack
// are plenty, and a push beyond them, or a pop of the last, changes nothing.
struct Stack {
    Matrix levels[2] = {identity, identity};
    int top = 0;
};

Stack modelview;
Stack projection;
Stack *selected = &modelview;
float colour[3] = {1.0f, 1.0f, 1.0f};
float clearRgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
int viewportBox[4] = {0, 0, 0, 0};

GLenum primitive = 0;
bool inside = false;
web::Vertex first{};
web::Vertex previous{};
int count = 0;

bool rasterValid = true;
float rasterX = 0.0f;
float rasterY = 0.0f;
float rasterColour[3] = {1.0f, 1.0f, 1.0f};

// a = a * b, column-major.
void multiplyInto(float a[16], const float b[16]) {
    float r[16];
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[c * 4 + k];
            }
            r[c * 4 + row] = sum;
        }
    }
    for (int i = 0; i < 16; ++i) {
        a[i] = r[i];
    }
}

void apply(const float m[16], const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
}

web::Vertex transformed(float x, float y) {
    const float object[4] = {x, y, 0.0f, 1.0f};
    float eye[4];
    float clip[4];
    apply(modelview.levels[modelview.top].m, object, eye);
    apply(projection.levels[projection.top].m, eye, clip);
    return {clip[0], clip[1], clip[2], clip[3], colour[0], colour[1], colour[2]};
}

// One segment, in the colour of `provoking`.
void segment(web::Vertex a, web::Vertex b, const web::Vertex &provoking) {
    a.r = b.r = provoking.r;
    a.g = b.g = provoking.g;
    a.b = b.b = provoking.b;
    web::frame().add(web::Kind::Lines, a, viewportBox);
    web::frame().add(web::Kind::Lines, b, viewportBox);
}

float clamped(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// The colour drawn for the program's colour. With more contrast, by this
// table (docs/accessibility.md gives the ratios), every other colour as the
// program draws it; the box is recognised by its red and its pulse's range.
struct Replacement {
    GlColour from, to;
};
constexpr Replacement replacements[] = {
    {axisColour, {0.35f, 0.55f, 1.0f}},
    {tickColour, {0.3f, 0.45f, 0.9f}},
    {panel::typedColour, {1.0f, 1.0f, 1.0f}},
};

void shownColour(float rgb[3]) {
    if (!web::moreContrast) {
        return;
    }
    for (const Replacement &r : replacements) {
        if (rgb[0] == r.from.red && rgb[1] == r.from.green && rgb[2] == r.from.blue) {
            rgb[0] = r.to.red, rgb[1] = r.to.green, rgb[2] = r.to.blue;
            return;
        }
    }
    const auto green = static_cast<float>(panel::boxGreen);
    if (rgb[0] == panel::boxRed && rgb[1] >= green - 0.01f && rgb[1] <= green + panel::pulseTop + 0.01f &&
        rgb[2] <= static_cast<float>(panel::boxBlue) + 0.01f) {
        rgb[1] = 0.42f + 0.3f * (rgb[1] - green);
    }
}

}  // namespace

namespace web {

bool moreContrast = false;

void drawHelvetica10(int code) {
    if (code < 1 || code > 255 || inside) {
        return;
    }
    const SFG_Font &font = fgFontHelvetica10;
    const int width = font.Characters[code][0];
    if (!rasterValid) {
        return;
    }
    // glBitmap as freeglut calls it: one point at the centre of each lit
    // pixel, rows from the bottom, the leftmost pixel in the highest bit.
    const unsigned char *bits = font.Characters[code] + 1;
    const int left = static_cast<int>(std::floor(rasterX - font.xorig));
    const int bottom = static_cast<int>(std::floor(rasterY - font.yorig));
    const int stride = (width + 7) / 8;
    const float vw = static_cast<float>(viewportBox[2]);
    const float vh = static_cast<float>(viewportBox[3]);
    for (int row = 0; vw > 0.0f && vh > 0.0f && row < font.Height; ++row) {
        for (int column = 0; column < width; ++column) {
            if ((bits[row * stride + column / 8] & (0x80 >> (column % 8))) == 0) {
                continue;
            }
            const float px = static_cast<float>(left + column) + 0.5f - static_cast<float>(viewportBox[0]);
            const float py = static_cast<float>(bottom + row) + 0.5f - static_cast<float>(viewportBox[1]);
            frame().add(Kind::Points,
                        Vertex{px / vw * 2.0f - 1.0f, py / vh * 2.0f - 1.0f, 0.0f, 1.0f, rasterColour[0],
                               rasterColour[1], rasterColour[2]},
                        viewportBox);
        }
    }
    rasterX += static_cast<float>(width);
}

}  // namespace web

extern "C" {

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    clearRgba[0] = clamped(red);
    clearRgba[1] = clamped(green);
    clearRgba[2] = clamped(blue);
    clearRgba[3] = clamped(alpha);
}

void glClear(GLbitfield mask) {
    if ((mask & GL_COLOR_BUFFER_BIT) != 0) {
        web::frame().clear(clearRgba);
    }
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (width < 0 || height < 0) {
        return;
    }
    viewportBox[0] = x;
    viewportBox[1] = y;
    viewportBox[2] = width;
    viewportBox[3] = height;
}

void glShadeModel(GLenum) {}

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) {
        selected = mode == GL_PROJECTION ? &projection : &modelview;
    }
}

void glLoadIdentity(void) {
    selected->levels[selected->top] = identity;
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal,
             GLdouble farVal) {
    const float l = static_cast<float>(left);
    const float r = static_cast<float>(right);
    const float b = static_cast<float>(bottom);
    const float t = static_cast<float>(top);
    const float n = static_cast<float>(nearVal);
    const float f = static_cast<float>(farVal);
    if (l == r || b == t || n == f) {
        return;
    }
    Matrix m = identity;
    m.m[0] = 2.0f / (r - l);
    m.m[5] = 2.0f / (t - b);
    m.m[10] = -2.0f / (f - n);
    m.m[12] = -(r + l) / (r - l);
    m.m[13] = -(t + b) / (t - b);
    m.m[14] = -(f + n) / (f - n);
    multiplyInto(selected->levels[selected->top].m, m.m);
}

void glPushMatrix(void) {
    if (selected->top == 0) {
        selected->levels[1] = selected->levels[0];
        selected->top = 1;
    }
}

void glPopMatrix(void) {
    selected->top = 0;
}

void glMultMatrixf(const GLfloat *m) {
    multiplyInto(selected->levels[selected->top].m, m);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    colour[0] = clamped(red);
    colour[1] = clamped(green);
    colour[2] = clamped(blue);
    shownColour(colour);
}

void glBegin(GLenum mode) {
    inside = true;
    primitive = mode;
    count = 0;
}

void glVertex2f(GLfloat x, GLfloat y) {
    if (!inside) {
        return;
    }
    const web::Vertex v = transformed(x, y);
    if (count == 0) {
        first = v;
    } else if (primitive == GL_LINE_STRIP || primitive == GL_LINE_LOOP ||
               (primitive == GL_LINES && count % 2 == 1)) {
        segment(previous, v, v);
    }
    previous = v;
    ++count;
}

void glEnd(void) {
    if (inside && primitive == GL_LINE_LOOP && count >= 2) {
        segment(previous, first, first);
    }
    inside = false;
}

void glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    // Two triangles, as OpenGL draws the rectangle's polygon.
    const web::Vertex corners[4] = {transformed(x1, y1), transformed(x2, y1), transformed(x2, y2),
                                    transformed(x1, y2)};
    for (const int i : {0, 1, 2, 0, 2, 3}) {
        web::frame().add(web::Kind::Triangles, corners[i], viewportBox);
    }
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    const web::Vertex clip = transformed(x, y);
    rasterColour[0] = colour[0];
    rasterColour[1] = colour[1];
    rasterColour[2] = colour[2];
    const float w = clip.w;
    rasterValid =
        w > 0.0f && clip.x >= -w && clip.x <= w && clip.y >= -w && clip.y <= w && clip.z >= -w && clip.z <= w;
    if (rasterValid) {
        const float halfWidth = static_cast<float>(viewportBox[2]) * 0.5f;
        const float halfHeight = static_cast<float>(viewportBox[3]) * 0.5f;
        rasterX = clip.x / w * halfWidth + (halfWidth + static_cast<float>(viewportBox[0]));
        rasterY = clip.y / w * halfHeight + (halfHeight + static_cast<float>(viewportBox[1]));
    }
}

}  // extern "C"
