// The page's fixed-function pipeline against the desktop's OpenGL. The
// drawing units of src/, built a second time onto the pipeline, draw the
// same frame as the real program; the pipeline's points, lines and triangles
// are then drawn with OpenGL, from clip coordinates, on the same renderer.
// Where the pipeline computes the same matrices, colours, raster positions
// and glyph pixels as OpenGL, both frames are the same, up to a colour's
// rounding.
#include <GL/freeglut.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

#include "app.h"
#include "pipeline_shim.h"
#include "test_support.h"

namespace {

// Draws what the pipeline collected with OpenGL, every vertex already in
// clip coordinates, and reads the frame back.
Frame drawPipelineOutput(int width, int height) {
    const fixedfn::Pipeline &p = layerPipeline();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(1.0f);
    for (const fixedfn::Run &run : p.runs()) {
        glBegin(run.kind == fixedfn::Kind::Points  ? GL_POINTS
                : run.kind == fixedfn::Kind::Lines ? GL_LINES
                                                   : GL_TRIANGLES);
        for (int i = run.first; i < run.first + run.count; ++i) {
            const fixedfn::Vertex &v = p.vertices()[static_cast<std::size_t>(i)];
            glColor3f(v.r, v.g, v.b);
            glVertex4f(v.x, v.y, v.z, v.w);
        }
        glEnd();
    }
    const Frame frame = GlWindow::readBack();
    // Back to the program's own state for the next test.
    glShadeModel(GL_FLAT);
    onReshape(width, height);
    return frame;
}

struct Difference {
    int pixels = 0;
    std::string where;
};

Difference compare(const Frame &a, const Frame &b) {
    Difference d;
    std::ostringstream where;
    for (int row = 0; row < a.height(); ++row) {
        for (int column = 0; column < a.width(); ++column) {
            const Rgb x = a.at(column, row);
            const Rgb y = b.at(column, row);
            // OpenGL lets renderers round a colour such as 0.5 either way
            // (Mesa gives 128 for a bitmap and 127 for a point).
            if (!sameColour(x, y)) {
                if (++d.pixels <= 10) {
                    where << " (" << column << ", " << row << ") desktop " << x.r << "," << x.g << "," << x.b
                          << " page " << y.r << "," << y.g << "," << y.b << ";";
                }
            }
        }
    }
    d.where = where.str();
    return d;
}

// One frame of the program in both builds, in a window of the given size.
Difference drawBoth(int width, int height) {
    GlWindow::useSize(width, height);
    const float level = editorState.pulseLevel;
    const float step = editorState.pulseStep;
    const Frame desktop = GlWindow::drawFrame();
    // The panel moved the highlight pulse; the second drawing starts from
    // where the first did.
    editorState.pulseLevel = level;
    editorState.pulseStep = step;
    layerOnReshape(width, height);
    layerPipeline().clearDrawn();
    layerDrawAxes();
    layerDrawFigure();
    layerDrawMatrixPanel();
    return compare(desktop, drawPipelineOutput(width, height));
}

void setMatrix(float a, float b, float c, float d, float tx, float ty) {
    float *m = editorState.matrix;
    m[0] = a;
    m[1] = c;
    m[3] = b;
    m[4] = d;
    m[6] = tx;
    m[7] = ty;
}

void startEntry(int column, int row, const char *text) {
    editorState.editing = 1;
    editorState.selectedColumn = column;
    editorState.selectedRow = row;
    std::strncpy(editorState.entryText, text, sizeof editorState.entryText - 1);
}

class PipelineAgainstOpenGl : public ::testing::Test {
protected:
    void SetUp() override {
        resetEditorState();
        static bool initialised = false;
        if (!initialised) {
            initialised = true;
            GlWindow::useSize(600, 600);
            layerInitScene();
        }
    }
};

TEST_F(PipelineAgainstOpenGl, StartFrameAtTheDesktopSize) {
    const Difference d = drawBoth(600, 600);
    EXPECT_EQ(d.pixels, 0) << d.where;
}

TEST_F(PipelineAgainstOpenGl, ShearedFigureWithAnEntryInProgress) {
    setMatrix(1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    startEntry(1, 0, "-12.5e1");
    const Difference d = drawBoth(600, 600);
    EXPECT_EQ(d.pixels, 0) << d.where;
}

TEST_F(PipelineAgainstOpenGl, RotatedAndMovedInASqueezedWindow) {
    const float a = 0.5235988f;
    setMatrix(std::cos(a), -std::sin(a), std::sin(a), std::cos(a), -20.0f, 12.5f);
    startEntry(2, 1, "3.25");
    const Difference d = drawBoth(300, 600);
    EXPECT_EQ(d.pixels, 0) << d.where;
}

TEST_F(PipelineAgainstOpenGl, OddWindowSizesAndLatin1EntryText) {
    setMatrix(2.0f, 0.0f, 0.0f, -0.5f, 7.0f, -3.0f);
    startEntry(0, 1, "7,5\xE9(\x01");
    for (const auto &size : {std::pair<int, int>{437, 513}, {601, 599}, {1000, 350}}) {
        const Difference d = drawBoth(size.first, size.second);
        EXPECT_EQ(d.pixels, 0) << size.first << "x" << size.second << ":" << d.where;
    }
}

TEST_F(PipelineAgainstOpenGl, FigurePushedOutOfTheWorld) {
    setMatrix(-1.0f, 0.0f, 0.0f, 30.0f, 48.0f, -70.0f);
    const Difference d = drawBoth(600, 600);
    EXPECT_EQ(d.pixels, 0) << d.where;
}

}  // namespace
