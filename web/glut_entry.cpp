// The GLUT calls that Ostrivane makes, for the page: the window is the
// page's canvas, the largest square that fits the browser's viewport, centred
// across and at the top; the main loop runs once per animation frame; mouse
// presses, taps, keys and what an on-screen keyboard inserts reach the
// callbacks as GLUT on X would deliver them (page.js turns taps and inserted
// text into presses and key codes).
#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "editor_state.h"
#include "key_map.h"
#include "layer.h"

namespace {

void (*displayCallback)() = nullptr;
void (*idleCallback)() = nullptr;
void (*reshapeCallback)(int, int) = nullptr;
void (*keyboardCallback)(unsigned char, int, int) = nullptr;
void (*mouseCallback)(int, int, int, int) = nullptr;

int canvasSide = -1;
bool redisplay = true;
bool firstFrameMarked = false;
int pointerX = 0;
int pointerY = 0;

// Sizes and places the canvas as the largest square that fits the viewport,
// in CSS pixels, and returns its side.
EM_JS(int, fitSquare, (), { return Module.fitSquare(); });

// Without WebGL there is nothing to draw on: the page puts a plain sentence
// in the canvas's place.
EM_JS(void, showWithoutWebGl, (), { window.showWithoutWebGl(); });

// Set once the first frame has been drawn, for the load-time measurement,
// which also times the start of main.
EM_JS(void, markFirstFrame, (), { window.ostrivaneFirstFrame = performance.now(); });
EM_JS(void, markMain, (), { performance.mark('ostrivane-main'); });

// The keyboard field is focused while an entry is in progress; the matrix
// is stated as text for screen readers.
EM_JS(void, showState, (int editing, const char *matrixText),
      { Module.showState(editing != 0, UTF8ToString(matrixText)); });

// What the page tells beside the picture after every event: whether an
// entry is in progress, and the stored matrix, row by row, as the panel
// shows its numbers.
void tellPage() {
    char text[256];
    int length = std::snprintf(text, sizeof text, "The matrix, row by row:");
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "%s%4.2f",
                                    c == 0 ? (r == 0 ? " " : "; ") : ", ",
                                    static_cast<double>(editorState.matrix[c * 3 + r]));
        }
    }
    std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".");
    showState(editorState.editing, text);
}

void followViewport() {
    const int side = fitSquare();
    if (side == canvasSide) {
        return;
    }
    canvasSide = side;
    // Setting the size, even the same one, would throw the drawing buffer
    // away: the page already made it the first frame's.
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size("#canvas", &width, &height);
    if (width != side || height != side) {
        emscripten_set_canvas_element_size("#canvas", side, side);
    }
    if (reshapeCallback != nullptr) {
        reshapeCallback(side, side);
    } else {
        glViewport(0, 0, side, side);
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

void type(int key) {
    if (key >= 0 && keyboardCallback != nullptr) {
        keyboardCallback(static_cast<unsigned char>(key), pointerX, pointerY);
        tellPage();
    }
}

EM_BOOL onKeyDown(int, const EmscriptenKeyboardEvent *event, void *) {
    // The system's and the browser's shortcuts (Command on a Mac) stay theirs.
    if (event->metaKey) {
        return EM_FALSE;
    }
    // An on-screen keyboard's key "Unidentified" (Android's keyCode 229)
    // types nothing: the text it inserts next does.
    const int key =
        glutKeyFromBrowser(event->key, event->shiftKey != 0, event->ctrlKey != 0, event->altKey != 0);
    if (key < 0 || keyboardCallback == nullptr) {
        return EM_FALSE;
    }
    type(key);
    // Keys typed with Control still reach the program, and the browser's own
    // shortcuts (Ctrl+W, Ctrl+R, ...) still work. Every other key is kept
    // from the keyboard field, so that it types once.
    return event->ctrlKey && !event->altKey ? EM_FALSE : EM_TRUE;
}

}  // namespace

extern "C" {

// A press or release of a mouse button (0 left, 1 middle, 2 right) or a tap,
// at a pixel of the canvas.
EMSCRIPTEN_KEEPALIVE void ostrivanePress(int button, int state, int x, int y) {
    pointerX = x;
    pointerY = y;
    if (mouseCallback != nullptr) {
        mouseCallback(button, state, x, y);
        tellPage();
    }
}

// A character an on-screen keyboard inserted (Latin-1 only, as X delivers
// it), or 8 for a deletion backwards.
EMSCRIPTEN_KEEPALIVE void ostrivaneType(int code) {
    if ((code >= 32 && code <= 255 && code != 127) || code == 8) {
        type(code);
    }
}

EMSCRIPTEN_KEEPALIVE void ostrivanePointerAt(int x, int y) {
    pointerX = x;
    pointerY = y;
}

// GLUT_BITMAP_HELVETICA_10 is this object's address.
void *glutBitmapHelvetica10 = nullptr;

void glutInit(int *, char **) {
    markMain();
}

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
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKeyDown);
    tellPage();
    // The first frame at once; then, never returning, like GLUT's own loop,
    // one frame for each of the browser's animation frames.
    frame();
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
        web::drawHelvetica10(character);
    }
}

}  // extern "C"
