// What the page's GL and GLUT entry points share: the fixed-function
// pipeline and the WebGL renderer that draws its output on the canvas.
#ifndef OSTRIVANE_WEB_PLATFORM_H
#define OSTRIVANE_WEB_PLATFORM_H

#include "fixed_function.h"

namespace web {

fixedfn::Pipeline &pipeline();

// Creates the WebGL context on the page's canvas; false when the browser
// offers no WebGL.
bool createRenderer();
bool rendererReady();

// Draws what the pipeline has collected, in order, and empties it.
void flush();

void clearColour(float r, float g, float b, float a);
void clear(unsigned mask);
void viewport(int x, int y, int width, int height);

}  // namespace web

#endif
