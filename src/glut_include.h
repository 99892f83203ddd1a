// The GLUT header, which also brings in OpenGL's, from where each platform
// keeps it: Apple's GLUT framework on macOS, GL/glut.h everywhere else
// (freeglut on Linux and Windows).
#ifndef OSTRIVANE_GLUT_INCLUDE_H
#define OSTRIVANE_GLUT_INCLUDE_H

#ifdef __APPLE__
// Apple marks OpenGL and GLUT deprecated; keep the build free of warnings.
#ifndef GL_SILENCE_DEPRECATION
#define GL_SILENCE_DEPRECATION
#endif
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif

#endif
