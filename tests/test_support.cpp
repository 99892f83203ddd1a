#include "test_support.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <utility>

#include "app.h"
#include "entry_input.h"
#include "gl_window.h"

namespace {

// editorState is constant-initialised, so this copy taken during dynamic
// initialisation holds the start-up values.
const EditorState pristineState = editorState;

}  // namespace

// The tests' window keeps each frame the program draws in its back buffer,
// where they read it: its buffer swap, which would leave the back buffer's
// contents undefined, does nothing. (The program's own binary and the
// benchmark link GLUT's.)
extern "C" void glutSwapBuffers() {}

void resetEditorState() {
    editorState = pristineState;
}

void press(int x, int y, int button) {
    onMouse(button, GLUT_DOWN, x, y);
}

void click(int x, int y) {
    press(x, y);
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
}

void type(const std::string &keys) {
    for (const char key : keys) {
        onKeyboard(static_cast<unsigned char>(key), 0, 0);
    }
}

void GlWindow::useSize(int width, int height) {
    if (!useGlWindowSize(width, height)) {
        ADD_FAILURE() << "the window did not reach " << width << "x" << height;
    }
}

Picture GlWindow::readBack(GLenum buffer) {
    const int w = static_cast<int>(editorState.windowWidth);
    const int h = static_cast<int>(editorState.windowHeight);
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    std::vector<unsigned char> pixels(rowBytes * h);
    glFinish();
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    // OpenGL's rows run from the bottom, a picture's from the top.
    std::vector<unsigned char> top(pixels.size());
    for (int r = 0; r < h; ++r) {
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * (h - 1 - r)), rowBytes,
                    top.begin() + static_cast<std::ptrdiff_t>(rowBytes * r));
    }
    return Picture(w, h, std::move(top));
}

Picture GlWindow::drawFrame() {
    onDisplay();
    return readBack();
}

Picture GlWindow::drawReferenceText(const char *text, float x, float y) {
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
