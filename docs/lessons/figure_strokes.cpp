// Prints the stick figure's strokes as the program draws them, for the
// printable handouts (docs/lessons/handout.lua draws the worksheet's frames
// from them). It links the program's own drawFigure() and stands in for the
// few OpenGL calls it makes, recording the vertices instead of drawing them;
// the editor state keeps its starting identity, so the strokes are in the
// figure's own coordinates.
//
// Output: one stroke a line, "x1 y1 x2 y2", in drawing order. With
// --colours instead: the window's named colours as an 8-bit framebuffer
// holds them, one a line, "NAME #RRGGBB" (the handouts print each in its own
// colour on paper).
#include <cstdio>
#include <cstring>
#include <vector>

#include "glut_include.h"
#include "matrix_panel.h"
#include "scene.h"

namespace {

GLenum mode = 0;
std::vector<GLfloat> vertices;  // x, y of the block in progress

void segment(std::size_t from, std::size_t to) {
    std::printf("%g %g %g %g\n", static_cast<double>(vertices[2 * from]),
                static_cast<double>(vertices[2 * from + 1]), static_cast<double>(vertices[2 * to]),
                static_cast<double>(vertices[2 * to + 1]));
}

void printColour(const char *name, GlColour c) {
    const auto byte = [](float channel) { return static_cast<int>(channel * 255.0f + 0.5f); };
    std::printf("%s #%02X%02X%02X\n", name, byte(c.red), byte(c.green), byte(c.blue));
}

}  // namespace

// The recording stand-ins. Colour and the matrix stack change no vertex
// here: the matrix is the identity, as the program starts.
extern "C" {
void APIENTRY glColor3f(GLfloat, GLfloat, GLfloat) {}
void APIENTRY glPushMatrix() {}
void APIENTRY glPopMatrix() {}
void APIENTRY glMultMatrixf(const GLfloat *) {}
void APIENTRY glBegin(GLenum kind) {
    mode = kind;
    vertices.clear();
}
void APIENTRY glVertex2f(GLfloat x, GLfloat y) {
    vertices.push_back(x);
    vertices.push_back(y);
}
void APIENTRY glEnd() {
    const std::size_t count = vertices.size() / 2;
    if (mode == GL_LINES) {
        for (std::size_t i = 0; i + 1 < count; i += 2) {
            segment(i, i + 1);
        }
    } else if (mode == GL_LINE_STRIP || mode == GL_LINE_LOOP) {
        for (std::size_t i = 0; i + 1 < count; ++i) {
            segment(i, i + 1);
        }
        if (mode == GL_LINE_LOOP && count > 2) {
            segment(count - 1, 0);
        }
    }
    vertices.clear();
}
}

int main(int argc, char **argv) {
    if (argc > 1 && std::strcmp(argv[1], "--colours") == 0) {
        printColour("figure", figureColour);
        printColour("axis", axisColour);
        printColour("tick", tickColour);
        printColour("value", panel::valueColour);
        printColour("fixed-value", panel::fixedValueColour);
        printColour("instruction", panel::instructionColour);
    } else {
        drawFigure();
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
