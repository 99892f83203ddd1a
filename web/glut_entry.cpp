// The GLUT calls that Ostrivane makes, for the page: the window is the
// page's canvas, sized by the page's style as the largest square that fits;
// the main loop runs once per animation frame while the picture can change
// and waits for the next event once a frame repeats the last one; presses,
// taps and keys (page.js decodes them) reach the callbacks as GLUT on X
// would deliver them.
#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "editor_state.h"
#include "layer.h"

namespace {

void (*displayCallback)() = nullptr;
void (*idleCallback)() = nullptr;
void (*reshapeCallback)(int, int) = nullptr;
void (*keyboardCallback)(unsigned char, int, int) = nullptr;
void (*mouseCallback)(int, int, int, int) = nullptr;

int canvasSide = -1;
bool redisplay = true;
bool asleep = false;
bool swapSent = false;
bool firstFrameMarked = false;
int pointerX = 0;
int pointerY = 0;

// The side of the square the page's style gave the canvas, in CSS pixels;
// the canvas's drawing buffer follows it.
EM_JS(int, fitCanvas, (), { return Module.fitCanvas(); });

// Set once the first frame has been drawn, for the load-time measurement,
// which also times the start of main.
EM_JS(void, markFirstFrame, (), { window.ostrivaneFirstFrame = performance.now(); });
EM_JS(void, markMain, (), { performance.mark('ostrivane-main'); });

// The page starts sending events once the program's callbacks are there.
EM_JS(void, startPage, (), { Module.startPage(); });

EM_JS(void, showState, (int editing, int column, int row, const char *cells, const char *said),
      { Module.showState(editing != 0, column, row, UTF8ToString(cells), UTF8ToString(said)); });

// What the page tells beside the picture after every event: the nine
// cells' texts as the panel shows them, row by row, the entry in progress
// and, after a commit, what the entry now holds and where the matrix takes
// the unit points and the origin.
void tellPage(int committedColumn, int committedRow) {
    const EditorState &s = editorState;
    char cells[9 * 112];
    int length = 0;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const bool typed = s.editing != 0 && c == s.selectedColumn && r == s.selectedRow;
            char value[104];
            std::snprintf(value, sizeof value, "%4.2f", static_cast<double>(s.matrix[c * 3 + r]));
            length += std::snprintf(cells + length, sizeof cells - static_cast<std::size_t>(length),
                                    "%s%.100s", r + c == 0 ? "" : "\n", typed ? s.entryText : value);
        }
    }
    char said[640] = "";
    if (committedColumn >= 0) {
        const float *m = s.matrix;
        const auto d = [](float v) { return static_cast<double>(v); };
        std::snprintf(
            said, sizeof said,
            "Row %d, column %d is now %4.2f. The point (1, 0) now goes to (%4.2f, %4.2f), the point "
            "(0, 1) to (%4.2f, %4.2f) and the origin to (%4.2f, %4.2f).",
            committedRow + 1, committedColumn + 1, d(m[committedColumn * 3 + committedRow]), d(m[0] + m[6]),
            d(m[1] + m[7]), d(m[3] + m[6]), d(m[4] + m[7]), d(m[6]), d(m[7]));
    }
    showState(s.editing, s.selectedColumn, s.selectedRow, cells, said);
}

void followViewport() {
    const int side = fitCanvas();
    if (side == canvasSide) {
        return;
    }
    canvasSide = side;
    web::forgetShownFrame();
    if (reshapeCallback != nullptr) {
        reshapeCallback(side, side);
    } else {
        glViewport(0, 0, side, side);
    }
    redisplay = true;
}

// One animation frame; once it repeats the last frame shown, the loop waits
// for an event: only an event changes the picture, but for the pulsing box,
// which makes every frame differ while an entry is in progress.
void frame() {
    followViewport();
    void (*draw)() = redisplay || idleCallback == nullptr ? displayCallback : idleCallback;
    redisplay = false;
    swapSent = false;
    if (draw != nullptr) {
        draw();
    }
    if (!swapSent) {
        asleep = true;
        emscripten_pause_main_loop();
    }
}

// After an event that reached the program: the page hears of it, and the
// frames go on.
void handled(int committedColumn, int committedRow) {
    tellPage(committedColumn, committedRow);
    web::wakeFrames();
}

}  // namespace

void web::wakeFrames() {
    if (asleep) {
        asleep = false;
        emscripten_resume_main_loop();
    }
}

extern "C" {

// A press or release of a mouse button (0 left, 1 middle, 2 right) or a tap,
// at a pixel of the canvas; keys are then reported at that pixel. A left
// press commits the entry in progress.
EMSCRIPTEN_KEEPALIVE void ostrivanePress(int button, int state, int x, int y) {
    pointerX = x;
    pointerY = y;
    if (mouseCallback == nullptr) {
        return;
    }
    const bool commits = editorState.editing != 0 && button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
    const int column = editorState.selectedColumn;
    const int row = editorState.selectedRow;
    mouseCallback(button, state, x, y);
    handled(commits ? column : -1, row);
}

// The character code GLUT on X would hand the keyboard callback.
EMSCRIPTEN_KEEPALIVE void ostrivaneKey(int code) {
    if (keyboardCallback == nullptr || code < 0 || code > 255) {
        return;
    }
    const bool wasEditing = editorState.editing != 0;
    const int column = editorState.selectedColumn;
    const int row = editorState.selectedRow;
    keyboardCallback(static_cast<unsigned char>(code), pointerX, pointerY);
    handled(wasEditing && editorState.editing == 0 ? column : -1, row);
}

// The system's contrast setting changed: the colours drawn follow it.
EMSCRIPTEN_KEEPALIVE void ostrivaneContrast(int more) {
    web::moreContrast = more != 0;
    web::wakeFrames();
}

// The picture may need drawing again: the page was resized or shown again.
EMSCRIPTEN_KEEPALIVE void ostrivaneRedraw() {
    web::forgetShownFrame();
    web::wakeFrames();
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

// Without WebGL the page has already said so in the canvas's place.
int glutCreateWindow(const char *title) {
    if (title != nullptr) {
        emscripten_set_window_title(title);
    }
    web::createRenderer();
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
    startPage();
    tellPage(-1, 0);
    // The first frame at once; then, never returning, like GLUT's own loop,
    // one frame for each of the browser's animation frames while awake.
    frame();
    asleep = false;
    emscripten_set_main_loop(frame, 0, 1);
}

void glutSwapBuffers() {
    // The browser shows the canvas once the animation frame ends.
    swapSent = web::present();
    if (swapSent && !firstFrameMarked) {
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
