#include "test_support.h"

#include <GL/freeglut.h>

#include <cmath>
#include <cstdlib>
#include <utility>

#include "gl_window.h"
#include "matrix_panel.h"
#include "scene.h"

namespace {

// editorState is constant-initialised, so this copy taken during dynamic
// initialisation holds the start-up values.
const EditorState pristineState = editorState;

}  // namespace

void resetEditorState() {
    editorState = pristineState;
}

Rgb toRgb(float r, float g, float b) {
    auto channel = [](float v) { return static_cast<int>(std::lround(v * 255.0f)); };
    return {channel(r), channel(g), channel(b)};
}

bool sameColour(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1;
}

Frame::Frame(int width, int height, std::vector<unsigned char> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

Rgb Frame::at(int column, int rowFromTop) const {
    if (column < 0 || column >= width_ || rowFromTop < 0 || rowFromTop >= height_) {
        return {-100, -100, -100};
    }
    // OpenGL rows run from the bottom.
    const std::size_t i = (static_cast<std::size_t>(height_ - 1 - rowFromTop) * width_ + column) * 3;
    return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
}

int Frame::columnOf(float worldX) const {
    return static_cast<int>(std::floor((worldX + 50.0f) * width_ / 100.0f));
}

int Frame::rowOf(float worldY) const {
    return static_cast<int>(std::floor((50.0f - worldY) * height_ / 100.0f));
}

bool Frame::hasNear(float worldX, float worldY, Rgb colour, int radius) const {
    const int c0 = columnOf(worldX);
    const int r0 = rowOf(worldY);
    for (int r = r0 - radius; r <= r0 + radius; ++r) {
        for (int c = c0 - radius; c <= c0 + radius; ++c) {
            if (sameColour(at(c, r), colour)) {
                return true;
            }
        }
    }
    return false;
}

int Frame::countIn(float x1, float y1, float x2, float y2, Rgb colour) const {
    int n = 0;
    for (int r = rowOf(y2); r <= rowOf(y1); ++r) {
        for (int c = columnOf(x1); c <= columnOf(x2); ++c) {
            n += sameColour(at(c, r), colour) ? 1 : 0;
        }
    }
    return n;
}

std::vector<int> Frame::maskOf(int column, int rowFromTop, int w, int h, Rgb colour) const {
    std::vector<int> mask;
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            if (sameColour(at(column + c, rowFromTop + r), colour)) {
                mask.push_back(r * w + c);
            }
        }
    }
    return mask;
}

int Frame::countLit(int column, int rowFromTop, int w, int h) const {
    int n = 0;
    for (int r = rowFromTop; r < rowFromTop + h; ++r) {
        for (int c = column; c < column + w; ++c) {
            const Rgb p = at(c, r);
            n += (p.r > 0 || p.g > 0 || p.b > 0) ? 1 : 0;
        }
    }
    return n;
}

void GlWindow::useSize(int width, int height) {
    if (!useGlWindowSize(width, height)) {
        ADD_FAILURE() << "the window did not reach " << width << "x" << height;
    }
}

Frame GlWindow::readBack() {
    const int w = static_cast<int>(editorState.windowWidth);
    const int h = static_cast<int>(editorState.windowHeight);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(w) * h * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return Frame(w, h, std::move(pixels));
}

Frame GlWindow::drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT);
    drawAxes();
    drawFigure();
    drawMatrixPanel();
    return readBack();
}

Frame GlWindow::drawReferenceText(const char *text, float x, float y) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2f(x, y);
    glutBitmapString(GLUT_BITMAP_HELVETICA_10, reinterpret_cast<const unsigned char *>(text));
    return readBack();
}

void RenderTest::SetUp() {
    resetEditorState();
    GlWindow::useSize(600, 600);
}
