// The page's layer under the program. The GL calls it makes are worked out
// on the CPU (gl.cpp) into one frame: its clear and a list of points, lines
// and triangles in clip coordinates, in drawing order, each run with its
// viewport. The renderer (renderer.cpp) sends a frame to WebGL only when it
// differs from the last one shown, and owns every WebGL object, so that it
// can make them again when the browser gives a lost context back. The
// program's state never lives in WebGL.
#ifndef OSTRIVANE_WEB_LAYER_H
#define OSTRIVANE_WEB_LAYER_H

#include <vector>

namespace web {

enum class Kind { Points, Lines, Triangles };

struct Vertex {
    float x, y, z, w;  // clip coordinates
    float r, g, b;
};

// A run of vertices of one kind, drawn in one viewport.
struct Run {
    Kind kind;
    int first;
    int count;
    int viewport[4];
};

// What the GL calls have drawn since the last frame was presented.
struct Frame {
    bool cleared = false;
    float clearRgba[4] = {0, 0, 0, 0};
    std::vector<Vertex> vertices;
    std::vector<Run> runs;
    // A clear covers everything drawn before it in the frame.
    void clear(const float rgba[4]);
    void add(Kind kind, const Vertex &v, const int viewport[4]);
    void reset();
    bool sameAs(const Frame &other) const;
};
Frame &frame();

// glutBitmapCharacter for the 10-pixel Helvetica font: draws `code` at the
// raster position and advances it, as desktop GLUT does; codes outside 1 to
// 255 draw nothing and do not move it.
void drawHelvetica10(int code);

// With the system's contrast setting the program's colours that fall short
// of it are drawn with their replacements (gl.cpp has the table).
extern bool moreContrast;

// Takes the page's WebGL context and makes its objects; false when the
// browser offers no WebGL.
bool createRenderer();
bool rendererReady();
// Sends the frame to WebGL unless it repeats the last one shown, and starts
// the next; true when it was sent. While the context is lost nothing is.
bool present();
// The canvas shows nothing that can be relied on (it was resized, or the
// context came back): the next frame is sent whatever it holds.
void forgetShownFrame();
// Resumes the frame loop if it waits for an event (glut_entry.cpp).
void wakeFrames();

}  // namespace web

#endif
