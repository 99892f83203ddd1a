// The world under the panel: the stick figure and the axes.
#ifndef OSTRIVANE_SCENE_H
#define OSTRIVANE_SCENE_H

// A colour as glColor3f takes it.
struct GlColour {
    float red, green, blue;
};

// The scene's colours: blue axes, their darker tick marks, the yellow figure.
constexpr GlColour axisColour{0.0f, 0.0f, 0.7f};
constexpr GlColour tickColour{0.0f, 0.0f, 0.5f};
constexpr GlColour figureColour{1.0f, 1.0f, 0.2f};

// Copies the 3x3 `matrix` into the 4x4 `drawMatrix` (eight elements only).
void syncDrawMatrix();

// Draws the yellow stick figure through the current matrix. Expects the
// modelview matrix at the identity and leaves it so.
void drawFigure();

// Draws the blue axes with a tick mark every five units, untransformed.
void drawAxes();

#endif
