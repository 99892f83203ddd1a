// Prints the stick figure's strokes as the program draws them, for the
// printable handouts (docs/lessons/handout.lua draws the worksheet's frames
// from them). It links the program's own drawFigure() and stands in for the
// few OpenGL calls it makes, recording the vertices instead of drawing them;
// the editor state keeps its starting identity, so the strokes are in the
// figure's own coordinates.
//
// Output: one stroke a line, "x1 y1 x2 y2", in drawing order.
#include <cstdio>
#include <vector>

#include "glut_include.h"
#include "scene.h"

namespace {

GLenum mode = 0;
std::vector<GLfloat> vertices;  // x, y of the block in progress

void segment(std::size_t from, std::size_t to) {
    std::printf("%g %g %g %g\n", static_cast<double>(vertices[2 * from]),
                static_cast<double>(vertices[2 * from + 1]), static_cast<double>(vertices[2 * to]),
                static_cast<double>(vertices[2 * to + 1]));
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

int main() {
    drawFigure();
    return std::fflush(stdout) == 0 ? 0 : 1;
}
