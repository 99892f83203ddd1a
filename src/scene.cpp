#include "scene.h"

#include "glut_include.h"

#include "editor_state.h"

void syncDrawMatrix() {
    float *draw = editorState.drawMatrix;
    const float *m = editorState.matrix;
    // The linear 2x2 block.
    for (int c = 0; c < 2; ++c) {
        for (int r = 0; r < 2; ++r) {
            draw[c * 4 + r] = m[c * 3 + r];
        }
    }
    for (int k = 0; k < 2; ++k) {
        draw[12 + k] = m[6 + k];         // translation
        draw[3 + 4 * k] = m[2 + 3 * k];  // homogeneous row
    }
    // The z row and column keep their zeros and element 15 its 1: the
    // bottom-right entry of the 3x3 matrix is never copied.
}

void drawFigure() {
    glColor3f(figureColour.red, figureColour.green, figureColour.blue);
    glPushMatrix();
    syncDrawMatrix();
    glMultMatrixf(editorState.drawMatrix);

    // Feet and legs.
    glBegin(GL_LINE_STRIP);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(3.0f, 3.0f);
    glVertex2f(5.0f, 0.0f);
    glVertex2f(6.0f, 0.0f);
    glEnd();

    // Body.
    glBegin(GL_LINES);
    glVertex2f(3.0f, 3.0f);
    glVertex2f(3.0f, 8.0f);
    glEnd();

    // Arms: one hanging down on the left, one raised on the right.
    glBegin(GL_LINE_STRIP);
    glVertex2f(1.0f, 3.5f);
    glVertex2f(1.0f, 4.0f);
    glVertex2f(3.0f, 6.0f);
    glVertex2f(5.0f, 6.0f);
    glVertex2f(5.0f, 7.0f);
    glVertex2f(4.5f, 7.5f);
    glEnd();

    // Head, a diamond.
    glBegin(GL_LINE_LOOP);
    glVertex2f(3.0f, 8.0f);
    glVertex2f(4.0f, 9.0f);
    glVertex2f(3.0f, 10.0f);
    glVertex2f(2.0f, 9.0f);
    glEnd();

    glPopMatrix();
}

void drawAxes() {
    glColor3f(axisColour.red, axisColour.green, axisColour.blue);
    glBegin(GL_LINES);
    glVertex2f(-50.0f, 0.0f);
    glVertex2f(50.0f, 0.0f);
    glVertex2f(0.0f, -50.0f);
    glVertex2f(0.0f, 50.0f);

    // Ticks two units long, every five units; the ones at 0 are drawn over
    // the axes in the darker blue.
    glColor3f(tickColour.red, tickColour.green, tickColour.blue);
    for (int i = 0; i <= 20; ++i) {
        const float t = -50.0f + 5.0f * static_cast<float>(i);
        glVertex2f(t, -1.0f);
        glVertex2f(t, 1.0f);
        glVertex2f(-1.0f, t);
        glVertex2f(1.0f, t);
    }
    glEnd();
}
