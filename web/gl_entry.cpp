// The OpenGL 1.x calls that Ostrivane makes, for the page: each one goes to
// the fixed-function pipeline, whose output WebGL draws.
#include <GL/gl.h>

#include "platform.h"

extern "C" {

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    web::clearColour(red, green, blue, alpha);
}

void glClear(GLbitfield mask) {
    web::clear(mask);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    web::viewport(x, y, width, height);
}

void glShadeModel(GLenum mode) {
    web::pipeline().shadeModel(mode);
}

void glMatrixMode(GLenum mode) {
    web::pipeline().matrixMode(mode);
}

void glLoadIdentity(void) {
    web::pipeline().loadIdentity();
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal,
             GLdouble farVal) {
    web::pipeline().ortho(left, right, bottom, top, nearVal, farVal);
}

void glPushMatrix(void) {
    web::pipeline().pushMatrix();
}

void glPopMatrix(void) {
    web::pipeline().popMatrix();
}

void glMultMatrixf(const GLfloat *m) {
    web::pipeline().multMatrix(m);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    web::pipeline().color(red, green, blue);
}

void glBegin(GLenum mode) {
    web::pipeline().begin(mode);
}

void glVertex2f(GLfloat x, GLfloat y) {
    web::pipeline().vertex(x, y);
}

void glEnd(void) {
    web::pipeline().end();
}

void glRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    web::pipeline().rect(x1, y1, x2, y2);
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    web::pipeline().rasterPos(x, y);
}

}  // extern "C"
