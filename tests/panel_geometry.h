// Where the tests find the panel's cells, in world units, worked out from the
// numbers that the drawing and the hit test use (panel:: in
// src/matrix_panel.h), so that no test states them again.
#ifndef OSTRIVANE_PANEL_GEOMETRY_H
#define OSTRIVANE_PANEL_GEOMETRY_H

#include "matrix_panel.h"

namespace cells {

// Text origin of the cell in (column, row).
constexpr double textX(int column) {
    return panel::firstTextX + panel::cellPitch * column;
}
constexpr double textY(int row) {
    return panel::firstTextY - panel::cellPitch * row;
}

// Edges of an editable entry's highlight box.
constexpr double boxLeft(int column) {
    return panel::left + panel::cellPitch * column;
}
constexpr double boxBottom(int row) {
    return textY(row) - panel::boxBelowText;
}
constexpr double boxRight(int column) {
    return boxLeft(column) + panel::boxWidth;
}
constexpr double boxTop(int row) {
    return boxBottom(row) + panel::boxHeight;
}

// The centre of the highlight box, where a press selects the entry.
constexpr double centreX(int column) {
    return boxLeft(column) + panel::boxWidth / 2;
}
constexpr double centreY(int row) {
    return boxBottom(row) + panel::boxHeight / 2;
}

// The window pixel of a world position; the world fills the window.
constexpr int pixelX(double x, int width = 600) {
    return static_cast<int>((x + 50) * width / 100);
}
constexpr int pixelY(double y, int height = 600) {
    return static_cast<int>((50 - y) * height / 100);
}

}  // namespace cells

#endif
