// The world under the panel: the stick figure and the axes.
#ifndef OSTRIVANE_SCENE_H
#define OSTRIVANE_SCENE_H

// Copies the 3x3 `matrix` into the 4x4 `drawMatrix` (eight elements only).
void syncDrawMatrix();

// Draws the yellow stick figure through the current matrix. Expects the
// modelview matrix at the identity and leaves it so.
void drawFigure();

// Draws the blue axes with a tick mark every five units, untransformed.
void drawAxes();

#endif
