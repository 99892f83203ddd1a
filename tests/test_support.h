// Shared helpers for the test programs: a fresh editor state for every test,
// and a real GLUT window whose frames can be read back and probed at world
// positions.
#ifndef OSTRIVANE_TEST_SUPPORT_H
#define OSTRIVANE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include "editor_state.h"
#include "picture.h"

// Puts editorState back to the values it has when the program starts.
void resetEditorState();

// The window the rendering tests draw into; created on first use.
class GlWindow {
public:
    // Makes sure the window exists at the given size with the world
    // projection loaded, and that editorState knows the size.
    static void useSize(int width, int height);
    // The body of one frame without the buffer swap, in the program's order.
    static Picture drawFrame();
    // Reads the back buffer as it stands.
    static Picture readBack();
    // Draws `text` in white in the 10-point Helvetica font at world (x, y)
    // on a cleared frame, as a reference for what the panel draws.
    static Picture drawReferenceText(const char *text, float x, float y);
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
