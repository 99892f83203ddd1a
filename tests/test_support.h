// Shared helpers for the test programs: a fresh editor state for every test,
// and a real GLUT window whose frames can be read back and probed at world
// positions.
#ifndef OSTRIVANE_TEST_SUPPORT_H
#define OSTRIVANE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <vector>

#include "editor_state.h"

// Puts editorState back to the values it has when the program starts.
void resetEditorState();

struct Rgb {
    int r, g, b;
};

// Colours as the 8-bit framebuffer holds them.
Rgb toRgb(float r, float g, float b);

// One frame read back from the window, rows stored from the top.
class Frame {
public:
    Frame(int width, int height, std::vector<unsigned char> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int column, int rowFromTop) const;

    // Pixel of a world position in this frame's window.
    int columnOf(float worldX) const;
    int rowOf(float worldY) const;

    // True when a pixel within `radius` pixels of the world position has the
    // colour (each channel within 1).
    bool hasNear(float worldX, float worldY, Rgb colour, int radius = 2) const;
    // Number of pixels of the colour inside the world rectangle.
    int countIn(float x1, float y1, float x2, float y2, Rgb colour) const;
    // Pixels of the colour inside the pixel rectangle, as a set of offsets
    // from its corner; used to compare drawn text with a reference.
    std::vector<int> maskOf(int column, int rowFromTop, int w, int h, Rgb colour) const;
    // Any pixel that is not black.
    int countLit(int column, int rowFromTop, int w, int h) const;

private:
    int width_, height_;
    std::vector<unsigned char> pixels_;
};

bool sameColour(Rgb a, Rgb b);

// The window the rendering tests draw into; created on first use.
class GlWindow {
public:
    // Makes sure the window exists at the given size with the world
    // projection loaded, and that editorState knows the size.
    static void useSize(int width, int height);
    // The body of one frame without the buffer swap, in the program's order.
    static Frame drawFrame();
    // Reads the back buffer as it stands.
    static Frame readBack();
    // Draws `text` in white in the 10-point Helvetica font at world (x, y)
    // on a cleared frame, as a reference for what the panel draws.
    static Frame drawReferenceText(const char *text, float x, float y);
};

// Fixture for tests that draw: a fresh state and a 600x600 window.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Fixture for tests of the state alone.
class StateTest : public ::testing::Test {
protected:
    void SetUp() override { resetEditorState(); }
};

#endif
