// The page's layer under the program: its GL calls are worked out on the CPU
// (gl.cpp) into one frame, which glutSwapBuffers (glut_entry.cpp) sends to
// WebGL unless it repeats the last one shown.
#ifndef OSTRIVANE_WEB_LAYER_H
#define OSTRIVANE_WEB_LAYER_H

#include <array>
#include <vector>

namespace web {

enum class Kind { Points, Lines, Triangles };

struct Vertex {
    float x, y, z, w;  // clip coordinates
    float r, g, b;
};

// Vertices of one kind, in drawing order, drawn in one viewport.
struct Run {
    Kind kind;
    int first, count;
    std::array<int, 4> viewport;
};

// A clear (which covers everything drawn before it) and the runs after it.
struct Frame {
    bool cleared = false;
    float clearRgba[4] = {0, 0, 0, 0};
    std::vector<Vertex> vertices;
    std::vector<Run> runs;
    void clear(const float rgba[4]);
    void add(Kind kind, const Vertex &v, const int viewport[4]);
    void reset();
};
// What the GL calls have drawn since the last swap.
Frame &frame();

// glutBitmapCharacter for the 10-pixel Helvetica font, as desktop GLUT draws
// it; codes outside 1 to 255 draw nothing and do not move the raster position.
void drawHelvetica10(int code);

// Draws the colours that fall short of more contrast with replacements.
extern bool moreContrast;

}  // namespace web

#endif
