// The GLUT calls that Ostrivane makes, for the page: the window is the
// page's canvas, the largest square that fits the browser's viewport, centred
// across and at the top; the main loop runs once
// per animation frame; mouse presses and key presses reach the callbacks as
// GLUT on X would deliver them.
#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>

#include "bitmap_font.h"
#include "key_map.h"
#include "platform.h"

namespace {

void (*displayCallback)() = nullptr;
void (*idleCallback)() = nullptr;
void (*reshapeCallback)(int, int) = nullptr;
void (*keyboardCallback)(unsigned char, int, int) = nullptr;
void (*mouseCallback)(int, int, int, int) = nullptr;

int canvasWidth = -1;
int canvasHeight = -1;
bool redisplay = true;
bool firstFrameMarked = false;
int pointerX = 0;
int pointerY = 0;

// The size of the browser's viewport in CSS pixels.
EM_JS(int, viewportWidth, (), { return window.innerWidth | 0; });
EM_JS(int, viewportHeight, (), { return window.innerHeight | 0; });

// Without WebGL there is nothing to draw on: the page puts a plain sentence
// in the canvas's place.
EM_JS(void, showWithoutWebGl, (), { window.showWithoutWebGl(); });

// Set once the first frame has been drawn, for the load-time measurement.
EM_JS(void, markFirstFrame, (), { window.ostrivaneFirstFrame = performance.now(); });

// The program's window is the largest square that fits the viewport: the
// world stays square on a projector or a phone, whatever the window's shape.
void followViewport() {
    const int side = std::min(viewportWidth(), viewportHeight());
    const int width = side;
    const int height = side;
    if (width == canvasWidth && height == canvasHeight) {
        return;
    }
    canvasWidth = width;
    canvasHeight = height;
    emscripten_set_canvas_element_size("#canvas", width, height);
    emscripten_set_element_css_size("#canvas", width, height);
    if (reshapeCallback != nullptr) {
        reshapeCallback(width, height);
    } else {
        glViewport(0, 0, width, height);
    }
    redisplay = true;
}

void frame() {
    followViewport();
    if (redisplay && displayCallback != nullptr) {
        redisplay = false;
        displayCallback();
    } else if (idleCallback != nullptr) {
        idleCallback();
    }
}

EM_BOOL onMouseButton(int eventType, const EmscriptenMouseEvent *event, void *) {
    pointerX = static_cast<int>(event->targetX);
    pointerY = static_cast<int>(event->targetY);
    if (mouseCallback == nullptr || event->button > 2) {
        return EM_FALSE;
    }
    // DOM buttons 0, 1, 2 are left, middle, right, as GLUT numbers them.
    const int state = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN ? GLUT_DOWN : GLUT_UP;
    mouseCallback(event->button, state, pointerX, pointerY);
    return EM_TRUE;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent *event, void *) {
    pointerX = static_cast<int>(event->targetX);
    pointerY = static_cast<int>(event->targetY);
    return EM_FALSE;
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent *event, void *) {
    // The system's and the browser's shortcuts (Command on a Mac) stay theirs.
    if (event->metaKey) {
        return EM_FALSE;
    }
    const int key =
        glutKeyFromBrowser(event->key, event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
    if (key < 0 || keyboardCallback == nullptr) {
        return EM_FALSE;
    }
    keyboardCallback(static_cast<unsigned char>(key), pointerX, pointerY);
    // Keys typed with Control still reach the program, and the browser's own
    // shortcuts (Ctrl+W, Ctrl+R, ...) still work.
    return event->ctrlKey ? EM_FALSE : EM_TRUE;
}

}  // namespace

extern "C" {

// GLUT_BITMAP_HELVETICA_10 is this object's address.
void *glutBitmapHelvetica10 = nullptr;

void glutInit(int *, char **) {}

void glutInitDisplayMode(unsigned int) {}

// The canvas is always the square that fits the browser's viewport; the
// position and size asked for by the program do not apply.
void glutInitWindowPosition(int, int) {}

void glutInitWindowSize(int, int) {}

int glutCreateWindow(const char *title) {
    if (title != nullptr) {
        emscripten_set_window_title(title);
    }
    if (!web::createRenderer()) {
        showWithoutWebGl();
    }
    return 1;
}

void glutDisplayFunc(void (*callback)()) {
    displayCallback = callback;
}

void glutIdleFunc(void (*callback)()) {
    idleCallback = callback;
}

void glutReshapeFunc(void (*callback)(int, int)) {
    reshapeCallback = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    keyboardCallback = callback;
}

void glutMouseFunc(void (*callback)(int, int, int, int)) {
    mouseCallback = callback;
}

void glutMainLoop() {
    if (!web::rendererReady()) {
        return;
    }
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_FALSE, onMouseButton);
    emscripten_set_mouseup_callback("#canvas", nullptr, EM_FALSE, onMouseButton);
    emscripten_set_mousemove_callback("#canvas", nullptr, EM_FALSE, onMouseMove);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKeyDown);
    // Never returns, like GLUT's own loop: the frames run from the browser's
    // animation frames.
    emscripten_set_main_loop(frame, 0, 1);
}

void glutSwapBuffers() {
    // The browser shows the canvas once the animation frame ends.
    web::flush();
    if (!firstFrameMarked) {
        firstFrameMarked = true;
        markFirstFrame();
    }
}

void glutBitmapCharacter(void *font, int character) {
    // The only font the program uses, and the only one the page has.
    if (font == GLUT_BITMAP_HELVETICA_10) {
        drawHelvetica10Character(web::pipeline(), character);
    }
}

}  // extern "C"
