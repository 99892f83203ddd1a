// The matrix panel's geometry for the page's tests, in world units: the
// numbers of panel:: in src/matrix_panel.h, against which the test
// PanelGeometry (tests/panel_geometry_test.cpp) checks what this module gives.
export const cellPitch = 7;
// Column 0's highlight box: its left edge; its bottom lies boxBelowText
// below the text origin of row 0.
export const left = 29;
export const firstTextY = 44;
export const boxBelowText = 1.5;
export const boxWidth = 5;
export const boxHeight = 4;

// The centre of the highlight box of entry (column, row), where a press
// selects the entry, as [x, y].
export function entryCentre(column, row) {
  const boxBottom = firstTextY - cellPitch * row - boxBelowText;
  return [left + cellPitch * column + boxWidth / 2, boxBottom + boxHeight / 2];
}
