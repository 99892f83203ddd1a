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
#include "entry_input.h"
#include "layer.h"
#include "matrix_panel.h"

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
int pointerX = 0;
int pointerY = 0;

// The side of the square the page's style gave the canvas, in CSS pixels;
// the canvas's drawing buffer follows it.
EM_JS(int, fitCanvas, (), { return Module.fitCanvas(); });

// The page starts sending events once the program's callbacks are there,
// and lays its table over the panel's boxes: the first box's left and top
// edges, the pitch, a box's width and height, in percent of the square.
EM_JS(void, startPage, (double left, double top, double pitch, double width, double height),
      { Module.startPage(left, top, pitch, width, height); });

// What the page hears after every event: the entry in progress, the nine
// cells' texts as the panel shows them, each in `stride` bytes, and their
// values, row by row, and after a commit, the entry committed, its text and
// how much of it the number took.
EM_JS(void, showState,
      (int editing, int column, int row, const char *cells, int stride, const float *values,
       int committedColumn, int committedRow, const char *text, int numberLength),
      {
          Module.showState(editing, column, row, cells, stride, values, committedColumn, committedRow, text,
                           numberLength);
      });

void tellPage(int committedColumn, int committedRow, const char *committedText) {
    const EditorState &s = editorState;
    char cells[9][panel::valueTextSize];
    float values[9];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            values[r * 3 + c] = s.matrix[c * 3 + r];
            formatValue(cells[r * 3 + c], values[r * 3 + c]);
            if (s.editing != 0 && c == s.selectedColumn && r == s.selectedRow) {
                std::snprintf(cells[r * 3 + c], panel::valueTextSize, "%s", s.entryText);
            }
        }
    }
    showState(s.editing, s.selectedColumn, s.selectedRow, cells[0], sizeof cells[0], values, committedColumn,
              committedRow, committedText, static_cast<int>(plainDecimalPrefix(committedText)));
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
void handled(int committedColumn, int committedRow, const char *committedText) {
    tellPage(committedColumn, committedRow, committedText);
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
    const EditorState before = editorState;
    mouseCallback(button, state, x, y);
    const bool committed = before.editing != 0 && button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
    handled(committed ? before.selectedColumn : -1, before.selectedRow, before.entryText);
}

// The character code GLUT on X would hand the keyboard callback.
EMSCRIPTEN_KEEPALIVE void ostrivaneKey(int code) {
    if (keyboardCallback == nullptr || code < 0 || code > 255) {
        return;
    }
    const EditorState before = editorState;
    keyboardCallback(static_cast<unsigned char>(code), pointerX, pointerY);
    const bool committed = before.editing != 0 && editorState.editing == 0;
    handled(committed ? before.selectedColumn : -1, before.selectedRow, before.entryText);
}

// Whether an entry is in progress, for the page to read a key as the
// program will.
EMSCRIPTEN_KEEPALIVE int ostrivaneEditing() {
    return editorState.editing;
}

// The picture may need drawing again: the page was resized or shown again,
// or its contrast switch or the system's setting changed the colours drawn.
EMSCRIPTEN_KEEPALIVE void ostrivaneRedraw(int moreContrast) {
    web::moreContrast = moreContrast != 0;
    web::forgetShownFrame();
    web::wakeFrames();
}

// GLUT_BITMAP_HELVETICA_10 is this object's address.
void *glutBitmapHelvetica10 = nullptr;

void glutInit(int *, char **) {}

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
    startPage(panel::left + 50, 50 - (panel::firstTextY - panel::boxBelowText + panel::boxHeight),
              panel::cellPitch, panel::boxWidth, panel::boxHeight);
    tellPage(-1, 0, "");
    // The first frame at once; then, never returning, like GLUT's own loop,
    // one frame for each of the browser's animation frames while awake.
    frame();
    asleep = false;
    emscripten_set_main_loop(frame, 0, 1);
}

void glutSwapBuffers() {
    // The browser shows the canvas once the animation frame ends.
    swapSent = web::present();
}

void glutBitmapCharacter(void *font, int character) {
    // The only font the program uses, and the only one the page has.
    if (font == GLUT_BITMAP_HELVETICA_10) {
        web::drawHelvetica10(character);
    }
}

}  // extern "C"
