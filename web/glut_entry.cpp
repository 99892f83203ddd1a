// The GLUT calls that Ostrivane makes, for the page: the window is the page's
// canvas, presses and keys (page.js decodes them) reach the callbacks as GLUT
// on X would deliver them, and glutSwapBuffers shows the frame with WebGL.
#include <GL/glut.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

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

bool hasWebGl = false;
bool contextLost = false;
web::Frame shown;
bool shownValid = false;
int canvasSide = -1;
bool asleep = false;
bool swapSent = false;
int pointerX = 0, pointerY = 0;

// The context page.js made, handed to Emscripten's GL calls; 0 when the
// browser offers no WebGL. Only WebGL 1 is used, and no extension.
EM_JS(int, pageContext, (), {
    return Module.gl ? GL.registerContext(Module.gl, {majorVersion : 1, enableExtensionsByDefault : false})
                     : 0;
});

// The side of the square the page's style gave the canvas, in CSS pixels.
EM_JS(int, fitCanvas, (), { return Module.fitCanvas(); });

// The page starts its events and lays its table over the panel's boxes (the
// first's left and top edges, the pitch, a box's size, in % of the square).
EM_JS(void, startPage, (double left, double top, double pitch, double width, double height),
      { Module.startPage(left, top, pitch, width, height); });

// After every event: the entry in progress, the nine cells' texts as the
// panel shows them (each in `stride` bytes) and values, row by row, and the
// entry a commit ended, its text and how much of it the number took.
EM_JS(void, showState,
      (int editing, int column, int row, const char *cells, int stride, const float *values,
       int committedColumn, int committedRow, const char *text, int numberLength),
      { Module.showState.apply(null, arguments); });

// Each vertex in its own colour; points are single pixels.
const char *const vertexShader =
    "attribute vec4 position; attribute vec3 colour; varying vec3 fragmentColour;\n"
    "void main() { gl_Position = position; gl_PointSize = 1.0; fragmentColour = colour; }\n";
const char *const fragmentShader =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n"
    "varying vec3 fragmentColour;\nvoid main() { gl_FragColor = vec4(fragmentColour, 1.0); }\n";
constexpr GLuint positionAttribute = 0, colourAttribute = 1;

GLuint compile(GLenum type, const char *source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// Every WebGL object, made again when a lost context comes back. The link is
// not waited for: asking for its result stalls the first frame.
void makeWebGlObjects() {
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertexShader));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragmentShader));
    emscripten_glBindAttribLocation(program, positionAttribute, "position");
    emscripten_glBindAttribLocation(program, colourAttribute, "colour");
    emscripten_glLinkProgram(program);
    emscripten_glUseProgram(program);
    GLuint buffer = 0;
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    emscripten_glEnableVertexAttribArray(positionAttribute);
    emscripten_glEnableVertexAttribArray(colourAttribute);
    emscripten_glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(web::Vertex), nullptr);
    emscripten_glVertexAttribPointer(colourAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(web::Vertex),
                                     reinterpret_cast<const void *>(offsetof(web::Vertex, r)));
}

// Compared bit for bit: the same bits draw the same pixels.
bool same(const web::Frame &a, const web::Frame &b) {
    return a.cleared == b.cleared && std::memcmp(a.clearRgba, b.clearRgba, sizeof a.clearRgba) == 0 &&
           a.vertices.size() == b.vertices.size() && a.runs.size() == b.runs.size() &&
           (a.vertices.empty() || std::memcmp(a.vertices.data(), b.vertices.data(),
                                              a.vertices.size() * sizeof(web::Vertex)) == 0) &&
           (a.runs.empty() ||
            std::memcmp(a.runs.data(), b.runs.data(), a.runs.size() * sizeof(web::Run)) == 0);
}

void send(const web::Frame &f) {
    if (f.cleared) {
        emscripten_glClearColor(f.clearRgba[0], f.clearRgba[1], f.clearRgba[2], f.clearRgba[3]);
        emscripten_glClear(GL_COLOR_BUFFER_BIT);
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(f.vertices.size() * sizeof(web::Vertex)),
                            f.vertices.data(), GL_STREAM_DRAW);
    constexpr GLenum modes[] = {GL_POINTS, GL_LINES, GL_TRIANGLES};  // by web::Kind
    for (const web::Run &run : f.runs) {
        emscripten_glViewport(run.viewport[0], run.viewport[1], run.viewport[2], run.viewport[3]);
        emscripten_glDrawArrays(modes[static_cast<int>(run.kind)], run.first, run.count);
    }
}

void wakeFrames() {
    if (asleep) {
        asleep = false;
        emscripten_resume_main_loop();
    }
}

// Without preventing the default (returning true) the browser never gives
// the context back. Meanwhile frames go on, and only their drawing is lost.
EM_BOOL onContextEvent(int type, const void *, void *) {
    contextLost = type == EMSCRIPTEN_EVENT_WEBGLCONTEXTLOST;
    if (!contextLost) {
        makeWebGlObjects();
        shownValid = false;
        wakeFrames();
    }
    return EM_TRUE;
}

// After an event, given the state before it: the page hears what changed and
// which entry was committed (by Enter, Esc or a left press), and frames go on.
void handled(const EditorState &before, bool leftPress) {
    const EditorState &s = editorState;
    const bool committed = before.editing != 0 && (leftPress || s.editing == 0);
    char cells[9][panel::valueTextSize];
    float values[9];
    for (int i = 0; i < 9; ++i) {
        const int r = i / 3, c = i % 3;
        values[i] = s.matrix[c * 3 + r];
        formatValue(cells[i], values[i]);
        if (s.editing != 0 && c == s.selectedColumn && r == s.selectedRow) {
            std::snprintf(cells[i], panel::valueTextSize, "%s", s.entryText);
        }
    }
    showState(s.editing, s.selectedColumn, s.selectedRow, cells[0], sizeof cells[0], values,
              committed ? before.selectedColumn : -1, before.selectedRow, before.entryText,
              static_cast<int>(plainDecimalPrefix(before.entryText)));
    wakeFrames();
}

// One animation frame; once it repeats the last one shown, the loop waits for
// an event (while an entry is in progress its pulsing box changes every frame).
void frame() {
    const int side = fitCanvas();
    const bool resized = side != canvasSide;  // so is the first frame
    if (resized) {
        canvasSide = side;
        shownValid = false;  // a resized canvas shows nothing to rely on
        if (reshapeCallback != nullptr) {
            reshapeCallback(side, side);
        } else {
            glViewport(0, 0, side, side);
        }
    }
    void (*draw)() = resized || idleCallback == nullptr ? displayCallback : idleCallback;
    swapSent = false;
    draw();
    if (!swapSent) {
        asleep = true;
        emscripten_pause_main_loop();
    }
}

}  // namespace

extern "C" {

// A press or release of a mouse button (0 left, 1 middle, 2 right) or a tap,
// at a pixel of the canvas; keys are then reported at that pixel.
EMSCRIPTEN_KEEPALIVE void ostrivanePress(int button, int state, int x, int y) {
    pointerX = x;
    pointerY = y;
    if (mouseCallback != nullptr) {
        const EditorState before = editorState;
        mouseCallback(button, state, x, y);
        handled(before, button == GLUT_LEFT_BUTTON && state == GLUT_DOWN);
    }
}

// The character code GLUT on X would hand the keyboard callback.
EMSCRIPTEN_KEEPALIVE void ostrivaneKey(int code) {
    if (keyboardCallback != nullptr && code >= 0 && code <= 255) {
        const EditorState before = editorState;
        keyboardCallback(static_cast<unsigned char>(code), pointerX, pointerY);
        handled(before, false);
    }
}

// Whether an entry is in progress, for the page to read a key as the program will.
EMSCRIPTEN_KEEPALIVE int ostrivaneEditing() {
    return editorState.editing;
}

// The page was resized or shown again, or the contrast setting changed.
EMSCRIPTEN_KEEPALIVE void ostrivaneRedraw(int moreContrast) {
    web::moreContrast = moreContrast != 0;
    shownValid = false;
    wakeFrames();
}

// GLUT_BITMAP_HELVETICA_10 is this object's address.
void *glutBitmapHelvetica10 = nullptr;

void glutInit(int *, char **) {}

void glutInitDisplayMode(unsigned int) {}

// The canvas is always the square that fits the browser's viewport.
void glutInitWindowPosition(int, int) {}

void glutInitWindowSize(int, int) {}

// Without WebGL the page has already said so in the canvas's place.
int glutCreateWindow(const char *title) {
    emscripten_set_window_title(title);
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = pageContext();
    hasWebGl = context > 0;
    if (hasWebGl) {
        emscripten_webgl_make_context_current(context);
        emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, onContextEvent);
        emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, onContextEvent);
        makeWebGlObjects();
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

// Without a display callback GLUT stops the program here.
void glutMainLoop() {
    if (!hasWebGl || displayCallback == nullptr) {
        return;
    }
    startPage(panel::left + 50, 50 - (panel::firstTextY - panel::boxBelowText + panel::boxHeight),
              panel::cellPitch, panel::boxWidth, panel::boxHeight);
    handled(editorState, false);  // the state the page starts from
    // The first frame at once; then, never returning, one per animation frame.
    frame();
    asleep = false;
    emscripten_set_main_loop(frame, 0, 1);
}

// The frame goes to WebGL unless it repeats the last one shown.
void glutSwapBuffers() {
    web::Frame &drawn = web::frame();
    swapSent = !contextLost && !(shownValid && same(drawn, shown));
    if (swapSent) {
        send(drawn);
        std::swap(shown, drawn);
        shownValid = true;
    }
    drawn.reset();
}

void glutBitmapCharacter(void *font, int character) {
    // The only font the program uses, and the only one the page has.
    if (font == GLUT_BITMAP_HELVETICA_10) {
        web::drawHelvetica10(character);
    }
}

}  // extern "C"

namespace web {

void Frame::clear(const float rgba[4]) {
    reset();
    cleared = true;
    std::memcpy(clearRgba, rgba, sizeof clearRgba);
}

void Frame::add(Kind kind, const Vertex &v, const int viewport[4]) {
    const std::array<int, 4> box{viewport[0], viewport[1], viewport[2], viewport[3]};
    if (runs.empty() || runs.back().kind != kind || runs.back().viewport != box) {
        runs.push_back({kind, static_cast<int>(vertices.size()), 0, box});
    }
    vertices.push_back(v);
    ++runs.back().count;
}

void Frame::reset() {
    cleared = false;
    vertices.clear();
    runs.clear();
}

Frame &frame() {
    static Frame instance;
    return instance;
}

}  // namespace web
