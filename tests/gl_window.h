// The GLUT window that the test programs and the frame benchmark draw into.
// No test framework here: the benchmark links it too.
#ifndef OSTRIVANE_GL_WINDOW_H
#define OSTRIVANE_GL_WINDOW_H

// Makes sure the window exists (600x600 and double-buffered like the
// program's, with the program's reshape callback and world projection, and a
// display callback that draws nothing, so that only the caller draws), brings
// it to width x height and waits until the drawable has that size; then
// passes the size to the program's reshape callback, so that the viewport and
// editorState follow it even when the window already had it. False when the
// window did not reach the size within 20 seconds.
bool useGlWindowSize(int width, int height);

#endif
