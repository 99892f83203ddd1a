#include "app.h"

#include "glut_include.h"

#include "editor_state.h"
#include "entry_input.h"
#include "matrix_panel.h"
#include "scene.h"

namespace {

// The world square, whatever the window's size or shape.
void loadWorldProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-50.0, 50.0, -50.0, 50.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

void initScene() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_FLAT);
    loadWorldProjection();
}

void onReshape(int width, int height) {
    editorState.windowWidth = static_cast<float>(width);
    editorState.windowHeight = static_cast<float>(height);
    glViewport(0, 0, width, height);
    loadWorldProjection();
}

void onDisplay() {
    glClear(GL_COLOR_BUFFER_BIT);
    drawAxes();
    drawFigure();
    drawMatrixPanel();
    glutSwapBuffers();
}

// The library build that the tests link leaves the entry point out, so that
// a test program can bring its own.
#ifndef OSTRIVANE_NO_MAIN
int main(int argc, char **argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowPosition(10, 10);
    glutInitWindowSize(600, 600);
    glutCreateWindow("Ostrivane");
    initScene();
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyboard);
    glutMouseFunc(onMouse);
    glutIdleFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutMainLoop();
    return 0;
}
#endif
