// GL and GLUT calls of the redirected build of the drawing units, on the
// page's pipeline (the same calls that gl_entry.cpp and glut_entry.cpp make
// for the page, without WebGL).
#include <GL/freeglut.h>

#include "bitmap_font.h"
#include "pipeline_shim.h"

fixedfn::Pipeline &layerPipeline() {
    static fixedfn::Pipeline pipeline;
    return pipeline;
}

extern "C" {

void layerClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void layerClear(GLbitfield) {
    layerPipeline().clearDrawn();
}
void layerViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    layerPipeline().viewport(x, y, width, height);
}
void layerShadeModel(GLenum mode) {
    layerPipeline().shadeModel(mode);
}
void layerMatrixMode(GLenum mode) {
    layerPipeline().matrixMode(mode);
}
void layerLoadIdentity() {
    layerPipeline().loadIdentity();
}
void layerOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    layerPipeline().ortho(l, r, b, t, n, f);
}
void layerPushMatrix() {
    layerPipeline().pushMatrix();
}
void layerPopMatrix() {
    layerPipeline().popMatrix();
}
void layerMultMatrixf(const GLfloat *m) {
    layerPipeline().multMatrix(m);
}
void layerColor3f(GLfloat r, GLfloat g, GLfloat b) {
    layerPipeline().color(r, g, b);
}
void layerBegin(GLenum mode) {
    layerPipeline().begin(mode);
}
void layerVertex2f(GLfloat x, GLfloat y) {
    layerPipeline().vertex(x, y);
}
void layerEnd() {
    layerPipeline().end();
}
void layerRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    layerPipeline().rect(x1, y1, x2, y2);
}
void layerRasterPos2f(GLfloat x, GLfloat y) {
    layerPipeline().rasterPos(x, y);
}
void layerBitmapCharacter(void *font, int character) {
    if (font == GLUT_BITMAP_HELVETICA_10) {
        drawHelvetica10Character(layerPipeline(), character);
    }
}
void layerSwapBuffers() {}

}  // extern "C"
