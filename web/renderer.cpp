// Draws the layer's points, lines and triangles with WebGL 1. Every WebGL
// object is made here and only here, so that when the browser gives a lost
// context back they are all made again, with the clear colour and viewport
// the program last set; meanwhile frames go on, and only the drawing is lost.
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include "layer.h"

namespace web {

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
bool lost = false;
GLuint program = 0;
GLuint buffer = 0;
float clearRgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
int viewportBox[4] = {0, 0, 0, 0};

const char *const vertexShader =
    "attribute vec4 position;\n"
    "attribute vec3 colour;\n"
    "varying vec3 fragmentColour;\n"
    "void main() {\n"
    "    gl_Position = position;\n"
    "    gl_PointSize = 1.0;\n"
    "    fragmentColour = colour;\n"
    "}\n";

const char *const fragmentShader =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n"
    "varying vec3 fragmentColour;\n"
    "void main() {\n"
    "    gl_FragColor = vec4(fragmentColour, 1.0);\n"
    "}\n";

GLuint compile(GLenum type, const char *source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// The program, the vertex buffer and the state the program has set. The
// attributes get fixed places and the link is not waited for: asking for
// its result stalls the first frame until the shaders are compiled.
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
    emscripten_glClearColor(clearRgba[0], clearRgba[1], clearRgba[2], clearRgba[3]);
    emscripten_glViewport(viewportBox[0], viewportBox[1], viewportBox[2], viewportBox[3]);
}

bool drawable() {
    return context > 0 && !lost && program != 0;
}

// Without preventing the default the browser never gives the context back.
EM_BOOL onContextLost(int, const void *, void *) {
    lost = true;
    program = 0;
    buffer = 0;
    return EM_TRUE;
}

EM_BOOL onContextRestored(int, const void *, void *) {
    lost = false;
    makeObjects();
    return EM_TRUE;
}

}  // namespace

bool createRenderer() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // An opaque canvas without multisampling, so that lines and glyphs come
    // out as sharp, single pixels, as in the desktop window.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    // No extension is needed; enabling them all costs the first frame time.
    attributes.enableExtensionsByDefault = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context("#canvas", &attributes);
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

void flush() {
    Drawing &d = drawing();
    if (drawable() && !d.vertices.empty()) {
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(d.vertices.size() * sizeof(Vertex)),
                                d.vertices.data(), GL_STREAM_DRAW);
        const GLsizei stride = sizeof(Vertex);
        emscripten_glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, stride, nullptr);
        emscripten_glVertexAttribPointer(colourAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                                         reinterpret_cast<const void *>(4 * sizeof(float)));
        for (const Run &run : d.runs) {
            const GLenum mode = run.kind == Kind::Points  ? GL_POINTS
                                : run.kind == Kind::Lines ? GL_LINES
                                                          : GL_TRIANGLES;
            emscripten_glDrawArrays(mode, run.first, run.count);
        }
    }
    d.clear();
}

void clearColour(float r, float g, float b, float a) {
    clearRgba[0] = r;
    clearRgba[1] = g;
    clearRgba[2] = b;
    clearRgba[3] = a;
    if (drawable()) {
        emscripten_glClearColor(r, g, b, a);
    }
}

void clear(unsigned mask) {
    flush();
    if (drawable()) {
        emscripten_glClear(mask);
    }
}

void viewport(int x, int y, int width, int height) {
    flush();
    viewportBox[0] = x;
    viewportBox[1] = y;
    viewportBox[2] = width;
    viewportBox[3] = height;
    if (drawable()) {
        emscripten_glViewport(x, y, width, height);
    }
}

}  // namespace web
