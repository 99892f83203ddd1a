// The page's layer under the program. The GL calls it makes are worked out
// on the CPU (gl.cpp) into one list of points, lines and triangles in clip
// coordinates, in drawing order; the renderer (renderer.cpp) draws that list
// with WebGL and owns every WebGL object, so that it can make them again
// when the browser gives a lost context back. The program's state never
// lives in WebGL.
#ifndef OSTRIVANE_WEB_LAYER_H
#define OSTRIVANE_WEB_LAYER_H

#include <vector>

namespace web {

enum class Kind { Points, Lines, Triangles };

struct Vertex {
    float x, y, z, w;  // clip coordinates
    float r, g, b;
};

// A run of vertices of one kind.
struct Run {
    Kind kind;
    int first;
    int count;
};

// What the GL calls have drawn since the renderer last drew it.
struct Drawing {
    std::vector<Vertex> vertices;
    std::vector<Run> runs;
    void add(Kind kind, const Vertex &v);
    void clear();
};
Drawing &drawing();

// glutBitmapCharacter for the 10-pixel Helvetica font: draws `code` at the
// raster position and advances it, as desktop GLUT does; codes outside 1 to
// 255 draw nothing and do not move it.
void drawHelvetica10(int code);

// Makes the WebGL context on the page's canvas and its objects; false when
// the browser offers no WebGL.
bool createRenderer();
bool rendererReady();
// Draws the drawing, in order, and empties it. While the context is lost
// the drawing is only emptied.
void flush();
void clearColour(float r, float g, float b, float a);
void clear(unsigned mask);
void viewport(int x, int y, int width, int height);

}  // namespace web

#endif
