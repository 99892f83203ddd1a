// The part of fixed-function OpenGL that Ostrivane draws with, computed on
// the CPU: the current colour, the two matrix stacks, glBegin/glEnd for
// points, lines, line strips, line loops and polygons, rectangles, the raster
// position and bitmap glyphs. Everything drawn comes out as a list of
// vertices in clip coordinates, ready for any renderer that draws points,
// lines and triangles (the page draws it with WebGL).
#ifndef OSTRIVANE_FIXED_FUNCTION_H
#define OSTRIVANE_FIXED_FUNCTION_H

#include <vector>

namespace fixedfn {

enum class Kind { Points, Lines, Triangles };

struct Vertex {
    float x, y, z, w;  // clip coordinates
    float r, g, b;
};

// A run of vertices of one kind, in drawing order.
struct Run {
    Kind kind;
    int first;
    int count;
};

// OpenGL's primitive and matrix-mode numbers, as glBegin and glMatrixMode
// take them.
enum : unsigned {
    points = 0x0000,
    lines = 0x0001,
    lineLoop = 0x0002,
    lineStrip = 0x0003,
    triangles = 0x0004,
    triangleStrip = 0x0005,
    triangleFan = 0x0006,
    quads = 0x0007,
    polygon = 0x0009,
    modelviewMode = 0x1700,
    projectionMode = 0x1701,
    flatShading = 0x1D00,
};

class Pipeline {
public:
    Pipeline();

    void viewport(int x, int y, int width, int height);
    void matrixMode(unsigned mode);
    void loadIdentity();
    void multMatrix(const float *m);
    void ortho(double left, double right, double bottom, double top, double nearVal, double farVal);
    void pushMatrix();
    void popMatrix();
    void shadeModel(unsigned mode) { flat_ = mode == flatShading; }
    void color(float r, float g, float b);

    void begin(unsigned mode);
    void vertex(float x, float y);
    void end();
    void rect(float x1, float y1, float x2, float y2);

    void rasterPos(float x, float y);
    // Draws a bitmap at the raster position as glBitmap does (rows from the
    // bottom, byte-padded, leftmost pixel in the highest bit) and moves the
    // raster position by (xmove, ymove). Nothing when the raster position is
    // not valid.
    void bitmap(int width, int height, float xorig, float yorig, float xmove, float ymove,
                const unsigned char *bits);
    bool rasterValid() const { return rasterValid_; }
    // Window coordinates of the raster position.
    float rasterX() const { return rasterX_; }
    float rasterY() const { return rasterY_; }

    // What has been drawn since the last clearDrawn().
    const std::vector<Vertex> &vertices() const { return vertices_; }
    const std::vector<Run> &runs() const { return runs_; }
    void clearDrawn();

private:
    struct Matrix {
        float m[16];
    };
    struct Pending {
        float x, y, z, w;
        float r, g, b;
    };

    Matrix &current();
    void transform(float x, float y, float out[4]) const;
    void emit(Kind kind, const Pending &v, const float colour[3]);

    std::vector<Matrix> modelview_;
    std::vector<Matrix> projection_;
    bool projectionSelected_ = false;
    bool flat_ = false;
    float colour_[3] = {1.0f, 1.0f, 1.0f};
    int viewport_[4] = {0, 0, 0, 0};

    bool inside_ = false;
    unsigned mode_ = 0;
    std::vector<Pending> pending_;

    bool rasterValid_ = true;
    float rasterX_ = 0.0f;
    float rasterY_ = 0.0f;
    float rasterColour_[3] = {1.0f, 1.0f, 1.0f};

    std::vector<Vertex> vertices_;
    std::vector<Run> runs_;
};

}  // namespace fixedfn

#endif
