// Shared helpers for the test programs: a fresh editor state for every test,
// and a real GLUT window whose frames can be read back and probed at world
// positions.
#ifndef OSTRIVANE_TEST_SUPPORT_H
#define OSTRIVANE_TEST_SUPPORT_H

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "editor_state.h"
#include "glut_include.h"
#include "picture.h"

// Puts editorState back to the values it has when the program starts.
void resetEditorState();

// Row r, column c of the matrix, which is stored column-major.
inline float &entry(int r, int c) {
    return editorState.matrix[c * 3 + r];
}

// Input as GLUT delivers it to the program's callbacks: a press of `button`
// at window pixel (x, y); a left click (press and release); keys, one by one.
void press(int x, int y, int button = GLUT_LEFT_BUTTON);
void click(int x, int y);
void type(const std::string &keys);

// The window the rendering tests draw into; created on first use.
class GlWindow {
public:
    // Makes sure the window exists at the given size with the world
    // projection loaded, and that editorState knows the size.
    static void useSize(int width, int height);
    // One frame of the program's own (onDisplay), as the window shows it.
    static Picture drawFrame();
    // Reads a colour buffer as it stands (GL_BACK by default).
    static Picture readBack(GLenum buffer = GL_BACK);
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
