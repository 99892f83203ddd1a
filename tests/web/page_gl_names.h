// Included first in the glyph test's build of web/gl.cpp: the page's GL
// calls under names of their own, so that they do not take the place of
// libGL's in a program that also draws with desktop GLUT.
#ifndef OSTRIVANE_PAGE_GL_NAMES_H
#define OSTRIVANE_PAGE_GL_NAMES_H

#define glClearColor page_glClearColor
#define glClear page_glClear
#define glViewport page_glViewport
#define glShadeModel page_glShadeModel
#define glMatrixMode page_glMatrixMode
#define glLoadIdentity page_glLoadIdentity
#define glOrtho page_glOrtho
#define glPushMatrix page_glPushMatrix
#define glPopMatrix page_glPopMatrix
#define glMultMatrixf page_glMultMatrixf
#define glColor3f page_glColor3f
#define glBegin page_glBegin
#define glVertex2f page_glVertex2f
#define glEnd page_glEnd
#define glRectf page_glRectf
#define glRasterPos2f page_glRasterPos2f

#endif
