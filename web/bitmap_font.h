// glutBitmapCharacter for the 10-pixel Helvetica font, on the pipeline.
#ifndef OSTRIVANE_BITMAP_FONT_H
#define OSTRIVANE_BITMAP_FONT_H

#include "fixed_function.h"

// Draws `code` at the raster position and advances it, as desktop GLUT does;
// codes outside 1 to 255 draw nothing and do not move the raster position.
void drawHelvetica10Character(fixedfn::Pipeline &pipeline, int code);

#endif
