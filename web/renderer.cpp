// Draws the layer's frames with WebGL 1, on the context the page made. Every
// WebGL object is made here and only here, so that when the browser gives a
// lost context back they are all made again; meanwhile frames go on, and
// only their drawing is lost. A frame that repeats the last one shown is not
// sent at all: the browser keeps showing the canvas as it is.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <cstring>

#include "layer.h"

namespace web {

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
bool lost = false;
GLuint program = 0;
GLuint buffer = 0;
Frame shown;
bool shownValid = false;

// The context page.js made, with the page's one list of attributes, handed
// to Emscripten's GL calls; 0 when the browser offers no WebGL. Only WebGL 1
// is used, and no extension.
EM_JS(int, pageContext, (), {
    return Module.gl ? GL.registerContext(Module.gl, {majorVersion : 1, enableExtensionsByDefault : false})
                     : 0;
});

// Each vertex in its own colour; points are single pixels.
const char *const vertexShader =
    "attribute vec4 position; attribute vec3 colour; varying vec3 fragmentColour;\n"
    "void main() { gl_Position = position; gl_PointSize = 1.0; fragmentColour = colour; }\n";
const char *const fragmentShader =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n"
    "varying vec3 fragmentColour;\nvoid main() { gl_FragColor = vec4(fragmentColour, 1.0); }\n";

GLuint compile(GLenum type, const char *source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// The program and the vertex buffer. The attributes get fixed places and
// the link is not waited for: asking for its result stalls the first frame
// until the shaders are compiled.
constexpr GLuint positionAttribute = 0;
constexpr GLuint colourAttribute = 1;

void makeObjects() {
    program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertexShader));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragmentShader));
    emscripten_glBindAttribLocation(program, positionAttribute, "position");
    emscripten_glBindAttribLocation(program, colourAttribute, "colour");
    emscripten_glLinkProgram(program);
    emscripten_glUseProgram(program);
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    emscripten_glEnableVertexAttribArray(positionAttribute);
    emscripten_glEnableVertexAttribArray(colourAttribute);
    emscripten_glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    emscripten_glVertexAttribPointer(colourAttribute, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void *>(4 * sizeof(float)));
}

void send(const Frame &f) {
    if (f.cleared) {
        emscripten_glClearColor(f.clearRgba[0], f.clearRgba[1], f.clearRgba[2], f.clearRgba[3]);
        emscripten_glClear(GL_COLOR_BUFFER_BIT);
    }
    if (f.vertices.empty()) {
        return;
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(f.vertices.size() * sizeof(Vertex)),
                            f.vertices.data(), GL_STREAM_DRAW);
    for (const Run &run : f.runs) {
        emscripten_glViewport(run.viewport[0], run.viewport[1], run.viewport[2], run.viewport[3]);
        const GLenum mode = run.kind == Kind::Points  ? GL_POINTS
                            : run.kind == Kind::Lines ? GL_LINES
                                                      : GL_TRIANGLES;
        emscripten_glDrawArrays(mode, run.first, run.count);
    }
}

// Without preventing the default the browser never gives the context back.
EM_BOOL onContextLost(int, const void *, void *) {
    lost = true;
    return EM_TRUE;
}

EM_BOOL onContextRestored(int, const void *, void *) {
    lost = false;
    makeObjects();
    forgetShownFrame();
    wakeFrames();
    return EM_TRUE;
}

}  // namespace

bool createRenderer() {
    context = pageContext();
    if (context <= 0) {
        return false;
    }
    emscripten_webgl_make_context_current(context);
    emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, onContextRestored);
    makeObjects();
    return true;
}

bool rendererReady() {
    return context > 0;
}

void forgetShownFrame() {
    shownValid = false;
}

bool present() {
    Frame &f = frame();
    const bool sent = !lost && !(shownValid && f.sameAs(shown));
    if (sent) {
        send(f);
        std::swap(shown, f);
        shownValid = true;
    }
    f.reset();
    return sent;
}

void Frame::clear(const float rgba[4]) {
    cleared = true;
    std::memcpy(clearRgba, rgba, sizeof clearRgba);
    vertices.clear();
    runs.clear();
}

void Frame::add(Kind kind, const Vertex &v, const int viewport[4]) {
    if (runs.empty() || runs.back().kind != kind ||
        std::memcmp(runs.back().viewport, viewport, 4 * sizeof(int)) != 0) {
        runs.push_back(Run{kind,
                           static_cast<int>(vertices.size()),
                           0,
                           {viewport[0], viewport[1], viewport[2], viewport[3]}});
    }
    vertices.push_back(v);
    ++runs.back().count;
}

void Frame::reset() {
    cleared = false;
    vertices.clear();
    runs.clear();
}

// Compared bit for bit: the same bits draw the same pixels.
bool Frame::sameAs(const Frame &other) const {
    return cleared == other.cleared && std::memcmp(clearRgba, other.clearRgba, sizeof clearRgba) == 0 &&
           vertices.size() == other.vertices.size() && runs.size() == other.runs.size() &&
           (vertices.empty() ||
            std::memcmp(vertices.data(), other.vertices.data(), vertices.size() * sizeof(Vertex)) == 0) &&
           (runs.empty() || std::memcmp(runs.data(), other.runs.data(), runs.size() * sizeof(Run)) == 0);
}

Frame &frame() {
    static Frame instance;
    return instance;
}

}  // namespace web
