// Draws the pipeline's points, lines and triangles with WebGL 1.
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include "platform.h"

namespace web {

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
GLuint program = 0;
GLuint buffer = 0;
GLint positionAttribute = -1;
GLint colourAttribute = -1;

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

bool buildProgram() {
    program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, vertexShader));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, fragmentShader));
    emscripten_glLinkProgram(program);
    GLint linked = 0;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == 0) {
        return false;
    }
    emscripten_glUseProgram(program);
    positionAttribute = emscripten_glGetAttribLocation(program, "position");
    colourAttribute = emscripten_glGetAttribLocation(program, "colour");
    emscripten_glGenBuffers(1, &buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, buffer);
    emscripten_glEnableVertexAttribArray(static_cast<GLuint>(positionAttribute));
    emscripten_glEnableVertexAttribArray(static_cast<GLuint>(colourAttribute));
    return positionAttribute >= 0 && colourAttribute >= 0;
}

}  // namespace

fixedfn::Pipeline &pipeline() {
    static fixedfn::Pipeline instance;
    return instance;
}

bool createRenderer() {
    if (context > 0) {
        return true;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // An opaque canvas without multisampling, so that lines and glyphs come
    // out as sharp, single pixels, as in the desktop window.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE created = emscripten_webgl_create_context("#canvas", &attributes);
    if (created <= 0) {
        return false;
    }
    emscripten_webgl_make_context_current(created);
    context = created;
    if (!buildProgram()) {
        return false;
    }
    return true;
}

bool rendererReady() {
    return context > 0 && program != 0;
}

void flush() {
    fixedfn::Pipeline &p = pipeline();
    if (!rendererReady() || p.vertices().empty()) {
        p.clearDrawn();
        return;
    }
    const std::vector<fixedfn::Vertex> &vertices = p.vertices();
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(vertices.size() * sizeof(fixedfn::Vertex)),
                            vertices.data(), GL_STREAM_DRAW);
    const GLsizei stride = sizeof(fixedfn::Vertex);
    emscripten_glVertexAttribPointer(static_cast<GLuint>(positionAttribute), 4, GL_FLOAT, GL_FALSE, stride,
                                     nullptr);
    emscripten_glVertexAttribPointer(static_cast<GLuint>(colourAttribute), 3, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<const void *>(4 * sizeof(float)));
    for (const fixedfn::Run &run : p.runs()) {
        const GLenum mode = run.kind == fixedfn::Kind::Points  ? GL_POINTS
                            : run.kind == fixedfn::Kind::Lines ? GL_LINES
                                                               : GL_TRIANGLES;
        emscripten_glDrawArrays(mode, run.first, run.count);
    }
    p.clearDrawn();
}

void clearColour(float r, float g, float b, float a) {
    if (rendererReady()) {
        emscripten_glClearColor(r, g, b, a);
    }
}

void clear(unsigned mask) {
    flush();
    if (rendererReady()) {
        emscripten_glClear(mask);
    }
}

void viewport(int x, int y, int width, int height) {
    flush();
    pipeline().viewport(x, y, width, height);
    if (rendererReady() && width >= 0 && height >= 0) {
        emscripten_glViewport(x, y, width, height);
    }
}

}  // namespace web
