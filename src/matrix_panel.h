// The matrix panel: the nine values, the entry in progress and the
// instruction line.
#ifndef OSTRIVANE_MATRIX_PANEL_H
#define OSTRIVANE_MATRIX_PANEL_H

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
}  // namespace panel

// Draws the panel over the scene; advances the highlight pulse while an entry
// is in progress.
void drawMatrixPanel();

#endif
