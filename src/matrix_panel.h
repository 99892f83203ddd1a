// The matrix panel: the nine values, the entry in progress and the
// instruction line.
#ifndef OSTRIVANE_MATRIX_PANEL_H
#define OSTRIVANE_MATRIX_PANEL_H

#include <cstddef>

#include "scene.h"

// Where the panel's cells stand, in world units. The drawing and the hit test
// of the mouse both work from these numbers.
namespace panel {
// Distance between neighbouring columns, and between neighbouring rows.
constexpr int cellPitch = 7;
// Left edge of column 0's highlight box; presses at or left of it miss.
constexpr int left = 29;
// Presses at or below this height miss.
constexpr int bottom = 29;
// Bottom of the three rows. Rows are counted down from the grid's top at
// gridBottom + rowCount * cellPitch (48): row 0 lies above 41, row 1 above
// 34 (presses above 48 still count as row 0).
constexpr int gridBottom = 27;
constexpr int rowCount = 3;
constexpr int columnCount = 3;
// Text origin of the cell in column 0, row 0: one unit right of its box's
// left edge; row r's origin is r pitches lower.
constexpr int firstTextX = left + 1;
constexpr int firstTextY = 44;
// The highlight box reaches from 1.5 units below the text origin to 2.5
// above it, and is five units wide.
constexpr float boxBelowText = 1.5f;
constexpr float boxWidth = 5.0f;
constexpr float boxHeight = 4.0f;

// The panel's colours: green values in the top two rows, cyan in the fixed
// row, the red text of the entry in progress and the pink instruction line.
constexpr GlColour valueColour{0.0f, 1.0f, 0.0f};
constexpr GlColour fixedValueColour{0.0f, 1.0f, 1.0f};
constexpr GlColour typedColour{1.0f, 0.0f, 0.0f};
constexpr GlColour instructionColour{1.0f, 0.5f, 1.0f};
// The highlight box is (boxRed, boxGreen + level, boxBlue - level), its
// pulse's level swinging between 0 and pulseTop.
constexpr float boxRed = 0.2f;
constexpr double boxGreen = 0.4;
constexpr double boxBlue = 0.2;
constexpr float pulseTop = 0.2f;

// Room for any value's text, its terminating NUL included.
constexpr std::size_t valueTextSize = 100;
}  // namespace panel

// One matrix value as the panel shows it: exactly what "%4.2f" makes of it,
// " inf" and "-inf" included.
void formatValue(char (&text)[panel::valueTextSize], float value);

// Draws the panel over the scene; advances the highlight pulse while an entry
// is in progress.
void drawMatrixPanel();

#endif
