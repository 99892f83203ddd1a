#include "gl_window.h"

#include <GL/freeglut.h>

#include <chrono>
#include <thread>

#include "app.h"

namespace {

void ignoreDisplay() {}

void createWindow() {
    static char name[] = "ostrivane_tests";
    static char *argv[] = {name, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowPosition(10, 10);
    glutInitWindowSize(600, 600);
    glutCreateWindow("Ostrivane tests");
    // GLUT's own redisplays draw nothing, so they never move the highlight
    // pulse between the frames that the caller draws.
    glutDisplayFunc(ignoreDisplay);
    glutReshapeFunc(onReshape);
    initScene();
}

}  // namespace

bool useGlWindowSize(int width, int height) {
    static bool created = false;
    if (!created) {
        createWindow();
        created = true;
    }
    if (glutGet(GLUT_WINDOW_WIDTH) != width || glutGet(GLUT_WINDOW_HEIGHT) != height) {
        glutReshapeWindow(width, height);
    }
    // Let GLUT deliver the resize (and, the first time, the map) so that the
    // drawable really has the size.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool reached = false;
    for (;;) {
        glutMainLoopEvent();
        reached = glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height;
        if (reached || std::chrono::steady_clock::now() > deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    onReshape(width, height);
    return reached;
}
