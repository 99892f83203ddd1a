// Forced-included (-include) into a second build of the drawing units of
// src/ for the layer's desktop tests: their GL and GLUT calls go to the
// page's fixed-function pipeline instead of the desktop's OpenGL, and the
// units' own functions get names of their own, so that both builds of the
// units live in one test program.
#ifndef OSTRIVANE_PIPELINE_REDIRECT_H
#define OSTRIVANE_PIPELINE_REDIRECT_H

#define glClearColor layerClearColor
#define glClear layerClear
#define glViewport layerViewport
#define glShadeModel layerShadeModel
#define glMatrixMode layerMatrixMode
#define glLoadIdentity layerLoadIdentity
#define glOrtho layerOrtho
#define glPushMatrix layerPushMatrix
#define glPopMatrix layerPopMatrix
#define glMultMatrixf layerMultMatrixf
#define glColor3f layerColor3f
#define glBegin layerBegin
#define glVertex2f layerVertex2f
#define glEnd layerEnd
#define glRectf layerRectf
#define glRasterPos2f layerRasterPos2f
#define glutBitmapCharacter layerBitmapCharacter
#define glutSwapBuffers layerSwapBuffers

#define initScene layerInitScene
#define onReshape layerOnReshape
#define onDisplay layerOnDisplay
#define drawAxes layerDrawAxes
#define drawFigure layerDrawFigure
#define syncDrawMatrix layerSyncDrawMatrix
#define drawMatrixPanel layerDrawMatrixPanel

#endif
