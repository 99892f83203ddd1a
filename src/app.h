// Program entry, the window and the frame loop.
#ifndef OSTRIVANE_APP_H
#define OSTRIVANE_APP_H

// One-time OpenGL state: black clear colour, flat shading, the fixed
// orthographic world x, y in [-50, 50].
void initScene();

// Reshape callback: stores the window size and stretches the world over the
// whole window.
void onReshape(int width, int height);

// Display and idle callback: draws one frame and swaps the buffers.
void onDisplay();

#endif
