#include "matrix_panel.h"

#include "glut_include.h"

#include <cstdio>

#include "editor_state.h"

namespace {

constexpr int lineBufferSize = static_cast<int>(panel::valueTextSize);

// Draws a text in the panel's bitmap font with its origin at world (x, y).
// The colour is set first: OpenGL takes the raster colour when the raster
// position is set.
void drawText(const char *line, const GlColour &colour, float x, float y) {
    glColor3f(colour.red, colour.green, colour.blue);
    glRasterPos2f(x, y);
    for (const char *p = line; *p != '\0'; ++p) {
        // Codes 128 to 255 arrive as negative values and draw nothing.
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, static_cast<signed char>(*p));
    }
}

void advancePulse() {
    EditorState &s = editorState;
    s.pulseLevel += s.pulseStep;
    if (s.pulseLevel <= 0.0f || s.pulseLevel >= panel::pulseTop) {
        s.pulseStep = -s.pulseStep;
    }
}

}  // namespace

void formatValue(char (&text)[panel::valueTextSize], float value) {
    std::snprintf(text, sizeof text, "%4.2f", static_cast<double>(value));
}

void drawMatrixPanel() {
    EditorState &s = editorState;
    char line[lineBufferSize];

    if (s.editing != 0) {
        advancePulse();
        const double level = s.pulseLevel;
        glColor3f(panel::boxRed, static_cast<float>(level + panel::boxGreen),
                  static_cast<float>(panel::boxBlue - level));
        const float left = static_cast<float>(panel::left + panel::cellPitch * s.selectedColumn);
        const float bottom =
            static_cast<float>(panel::firstTextY - panel::cellPitch * s.selectedRow) - panel::boxBelowText;
        glRectf(left, bottom, left + panel::boxWidth, bottom + panel::boxHeight);
    }

    for (int c = 0; c < panel::columnCount; ++c) {
        for (int r = 0; r < panel::rowCount; ++r) {
            const float x = static_cast<float>(panel::firstTextX + panel::cellPitch * c);
            const float y = static_cast<float>(panel::firstTextY - panel::cellPitch * r);
            if (s.editing != 0 && c == s.selectedColumn && r == s.selectedRow) {
                // Entries are kept to 99 characters, so this copies the whole text.
                std::snprintf(line, sizeof line, "%.*s", lineBufferSize - 1, s.entryText);
                drawText(line, panel::typedColour, x, y);
            } else {
                formatValue(line, s.matrix[c * 3 + r]);
                drawText(line, r == 2 ? panel::fixedValueColour : panel::valueColour, x, y);
            }
        }
    }

    drawText(
        "Click on a green matrix value and type a new number.  "
        "Tickmarks are every five units along axes.",
        panel::instructionColour, -48.0f, -48.0f);
}
