// The matrix panel: the nine values, the entry in progress and the
// instruction line.
#ifndef OSTRIVANE_MATRIX_PANEL_H
#define OSTRIVANE_MATRIX_PANEL_H

// Draws the panel over the scene; advances the highlight pulse while an entry
// is in progress.
void drawMatrixPanel();

#endif
