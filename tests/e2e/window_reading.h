// Reading Ostrivane's window from a picture of it: its colours, where the
// matrix entries sit, which entry is highlighted and what a cell shows.
#ifndef OSTRIVANE_WINDOW_READING_H
#define OSTRIVANE_WINDOW_READING_H

#include <string>
#include <vector>

#include "panel_geometry.h"
#include "x_driver.h"

namespace e2e {

struct Cell {
    int column, row;
};

inline bool operator==(Cell a, Cell b) {
    return a.column == b.column && a.row == b.row;
}

// Clicks the editable entry, types the text and presses Enter, as a teacher
// does, each step waited for until the window shows it; throws DriverError
// when it never does.
void typeEntry(ProgramWindow &window, int column, int row, const std::string &text);

// The editable entry whose highlight box is drawn; (-1, -1) when none is;
// (-2, -2) when the picture shows something else (a box drawn in part, or
// more than one).
Cell highlightedEntry(const Picture &picture);

// The pixels of a cell's text that pass, as offsets from the cell's text
// origin (glyphs keep their pixel size, so equal texts give equal lists).
std::vector<int> cellText(const Picture &picture, int column, int row, const ColourTest &test);

}  // namespace e2e

#endif
