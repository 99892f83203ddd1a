#include "matrix_panel.h"

#include "glut_include.h"

#include <cmath>
#include <cstdio>

#include "editor_state.h"

namespace {

constexpr int lineBufferSize = 100;

// Draws a text in the panel's bitmap font with its origin at world (x, y).
// The colour is set first: OpenGL takes the raster colour when the raster
// position is set.
void drawText(const char *line, float red, float green, float blue, float x, float y) {
    glColor3f(red, green, blue);
    glRasterPos2f(x, y);
    for (const char *p = line; *p != '\0'; ++p) {
        // Codes 128 to 255 arrive as negative values and draw nothing.
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, static_cast<signed char>(*p));
    }
}

// Formats one matrix value the way the panel shows it. Infinities, which a
// number too large for single precision becomes, read "inf" and "-inf".
void formatValue(char *line, float value) {
    if (std::isinf(value)) {
        std::snprintf(line, lineBufferSize, "%s", value < 0.0f ? "-inf" : "inf");
    } else {
        std::snprintf(line, lineBufferSize, "%4.2f", static_cast<double>(value));
    }
}

void advancePulse() {
    EditorState &s = editorState;
    s.pulseLevel += s.pulseStep;
    if (s.pulseLevel <= 0.0f || s.pulseLevel >= 0.2f) {
        s.pulseStep = -s.pulseStep;
    }
}

}  // namespace

void drawMatrixPanel() {
    EditorState &s = editorState;
    char line[lineBufferSize];

    if (s.editing != 0) {
        advancePulse();
        const double level = s.pulseLevel;
        glColor3f(0.2f, static_cast<float>(level + 0.4), static_cast<float>(0.2 - level));
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
                drawText(line, 1.0f, 0.0f, 0.0f, x, y);
            } else {
                formatValue(line, s.matrix[c * 3 + r]);
                drawText(line, 0.0f, 1.0f, r == 2 ? 1.0f : 0.0f, x, y);
            }
        }
    }

    drawText(
        "Click on a green matrix value and type a new number.  "
        "Tickmarks are every five units along axes.",
        1.0f, 0.5f, 1.0f, -48.0f, -48.0f);
}
