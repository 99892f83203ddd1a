// The figure drawn through the matrix, and the axes, read back from the
// window.
#include <GL/glut.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "scene.h"
#include "test_support.h"

namespace {

// The matrix's top two rows set to `m`'s.
void setMatrix(const Affine &m) {
    const double rows[2][3] = {{m.a, m.b, m.tx}, {m.c, m.d, m.ty}};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            entry(r, c) = static_cast<float>(rows[r][c]);
        }
    }
}

void expectFigureThrough(const Picture &frame, const Affine &m) {
    std::string why;
    EXPECT_TRUE(figureDrawnThrough(frame, m, &why)) << why;
}

}  // namespace

// Each kind of matrix moves the whole figure, and the named points where
// the matrix sends them: the head's top (3, 10) and the feet's ends (0.2, 0)
// and (5.8, 0); none is left where the identity draws it. The identity
// itself stands the figure on the x axis right of the origin, nothing above
// its head or beyond its feet.
TEST_F(RenderTest, FigureFollowsEachKindOfMatrix) {
    struct Point {
        float x, y;
    };
    struct Case {
        const char *name;
        Affine m;
        std::vector<Point> shown, gone;
    };
    const Case cases[] = {
        {"identity", {}, {{3, 10}, {0.2f, 0}, {5.8f, 0}}, {{3, 11}, {7, 0}, {-1, 0}}},
        {"move by (10, -20)", {1, 0, 10, 0, 1, -20}, {{13, -10}, {10.2f, -20}, {15.8f, -20}}, {{3, 10}}},
        {"mirror in the y axis", {-1, 0, 0, 0, 1, 0}, {{-5.8f, 0}, {-0.2f, 0}}, {{3, 0}, {-7, 0}}},
        {"shear in x", {1, 1, 0, 0, 1, 0}, {{13, 10}}, {{3, 10}}},
        {"scale by 3 and rotate a quarter turn", {0, -3, 0, 3, 0, 0}, {}, {{3.5f, 9.5f}}},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        resetEditorState();
        setMatrix(k.m);
        const Picture frame = GlWindow::drawFrame();
        expectFigureThrough(frame, k.m);
        for (const Point &p : k.shown) {
            EXPECT_TRUE(frame.hasNear(p.x, p.y, shade::figure, 1)) << "no figure at " << p.x << ", " << p.y;
        }
        for (const Point &p : k.gone) {
            EXPECT_FALSE(frame.hasNear(p.x, p.y, shade::figure, 2))
                << "figure left at " << p.x << ", " << p.y;
        }
    }
}

TEST_F(RenderTest, CollapsedMatrixDrawsAtMostAPointAndLeavesTheAxes) {
    setMatrix({0, 0, -20, 0, 0, -30});
    const Picture frame = GlWindow::drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Whatever is drawn of the figure lies on the single point.
    EXPECT_EQ(frame.countIn(-50, -50, -22, 50, shade::figure), 0);
    EXPECT_EQ(frame.countIn(-18, -50, 50, 50, shade::figure), 0);
    EXPECT_EQ(frame.countIn(-50, -28, 50, 50, shade::figure), 0);
    EXPECT_TRUE(frame.hasNear(0.0f, 25.0f, shade::axis, 1));
    EXPECT_TRUE(frame.hasNear(25.0f + 2.5f, 0.0f, shade::axis, 1));
}

TEST_F(RenderTest, NonFiniteAndHugeEntriesDrawWithoutFailing) {
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {inf, -inf, 3.0e38f, -3.0e38f};
    for (float v : values) {
        setMatrix({1, v, 0, 0, 1, v});
        const Picture frame = GlWindow::drawFrame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        // The axes and the panel's instruction line still draw.
        EXPECT_TRUE(frame.hasNear(-22.5f, 0.0f, shade::axis, 1)) << v;
        EXPECT_GT(frame.countIn(-48, -48, 0, -45, shade::instructions), 0) << v;
    }
}

TEST_F(RenderTest, AxesAndTicksAreBlueEveryFiveUnits) {
    const Picture frame = GlWindow::drawFrame();
    // The axes between ticks.
    for (float t : {-47.5f, -32.5f, -12.5f, 17.5f, 42.5f, 47.5f}) {
        EXPECT_TRUE(frame.hasNear(t, 0.0f, shade::axis, 1)) << "x axis at " << t;
        EXPECT_TRUE(frame.hasNear(0.0f, t, shade::axis, 1)) << "y axis at " << t;
    }
    // Ticks every five units. Those at -50 lie on the window's left and
    // bottom edges, on the pixel boundary, and the rasteriser may leave them
    // out.
    for (int i = 1; i <= 20; ++i) {
        const float t = -50.0f + 5.0f * static_cast<float>(i);
        if (t == 0.0f) {
            continue;
        }
        const float inside = t > 0 ? t - 0.05f : t + 0.05f;
        EXPECT_TRUE(frame.hasNear(inside, 0.7f, shade::tick, 1)) << "x tick at " << t;
        EXPECT_TRUE(frame.hasNear(inside, -0.7f, shade::tick, 1)) << "x tick at " << t;
        EXPECT_TRUE(frame.hasNear(0.7f, inside, shade::tick, 1)) << "y tick at " << t;
        EXPECT_TRUE(frame.hasNear(-0.7f, inside, shade::tick, 1)) << "y tick at " << t;
    }
    // Ticks are two units long: nothing blue 1.7 units off the axis.
    EXPECT_FALSE(frame.hasNear(-25.0f, 1.7f, shade::tick, 1));
    EXPECT_FALSE(frame.hasNear(-1.7f, -25.0f, shade::tick, 1));
    // At the origin the darker ticks cover the axes for one unit each way
    // (right of the origin the figure's feet lie over them).
    for (const auto &p : {std::pair<float, float>{-0.5f, 0.0f}, {0.0f, -0.5f}, {0.0f, 0.5f}}) {
        EXPECT_TRUE(frame.hasNear(p.first, p.second, shade::tick, 1)) << p.first << ", " << p.second;
        EXPECT_FALSE(frame.hasNear(p.first, p.second, shade::axis, 1)) << p.first << ", " << p.second;
    }
    // Between ticks, away from the axes, the world is black.
    EXPECT_TRUE(sameColour(frame.at(frame.columnOf(-22.5f), frame.rowOf(-22.5f)), shade::black));
}

// The axes stay where they are whatever the matrix, and drawing leaves the
// modelview matrix at the identity for the panel and the next frame.
TEST_F(RenderTest, AxesDoNotMoveWithTheMatrix) {
    const Picture before = GlWindow::drawFrame();
    setMatrix({2, -1, -40, 0, 1, 30});
    const Picture after = GlWindow::drawFrame();
    for (int i = 0; i <= 20; ++i) {
        const float t = -50.0f + 5.0f * static_cast<float>(i);
        for (const Rgb colour : {shade::axis, shade::tick}) {
            EXPECT_EQ(before.hasNear(t, 0.5f, colour, 1), after.hasNear(t, 0.5f, colour, 1)) << t;
        }
    }
    EXPECT_TRUE(after.hasNear(22.5f, 0.0f, shade::axis, 1));
    EXPECT_TRUE(after.hasNear(0.0f, -22.5f, shade::axis, 1));
    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f) << "element " << i;
    }
}

TEST_F(RenderTest, ReshapedTo300By600TheWorldIsSqueezedHorizontally) {
    GlWindow::useSize(300, 600);
    const Picture frame = GlWindow::drawFrame();
    ASSERT_EQ(frame.width(), 300);
    // World x maps to column (x + 50) * 3 and y still to row (50 - y) * 6.
    EXPECT_TRUE(sameColour(frame.at(150, frame.rowOf(-22.5f)), shade::axis) ||
                sameColour(frame.at(149, frame.rowOf(-22.5f)), shade::axis));
    EXPECT_TRUE(frame.hasNear(-45.0f, 0.7f, shade::tick, 1));
    EXPECT_TRUE(frame.hasNear(50.0f - 0.2f, 0.7f, shade::tick, 1));
    EXPECT_TRUE(frame.hasNear(0.7f, 50.0f - 0.2f, shade::tick, 1));
    EXPECT_TRUE(frame.hasNear(0.7f, -45.0f, shade::tick, 1));
    // Ticks three pixels apart in x are 30 pixels apart in y.
    EXPECT_TRUE(sameColour(frame.at(frame.columnOf(25.0f), frame.rowOf(0.5f)), shade::tick) ||
                sameColour(frame.at(frame.columnOf(25.0f) - 1, frame.rowOf(0.5f)), shade::tick));
    expectFigureThrough(frame, {});
    EXPECT_TRUE(frame.hasNear(3.0f, 10.0f, shade::figure, 1));
    // The panel keeps its world position: the top-left value starts at x 30.
    EXPECT_GT(frame.countIn(30, 44, 34, 46, shade::editableValue), 0);
    EXPECT_EQ(frame.countIn(-50, 40, 28, 50, shade::editableValue), 0);
    GlWindow::useSize(600, 600);
}
