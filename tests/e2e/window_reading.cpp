#include "window_reading.h"

#include <algorithm>

namespace e2e {

Cell highlightedEntry(const Picture &picture) {
    Cell found{-1, -1};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 2; ++row) {
            // Half a unit inside the box, clear of its rounded edges; the
            // entry's text may cover a little of it.
            const double left = cells::boxLeft(column) + 0.5, right = cells::boxRight(column) - 0.5;
            const double bottom = cells::boxBottom(row) + 0.5, top = cells::boxTop(row) - 0.5;
            const int lit = picture.countIn(left, bottom, right, top, isHighlight);
            const int area = picture.countIn(left, bottom, right, top, [](Rgb) { return true; });
            if (lit == 0) {
                continue;
            }
            if (lit * 10 < area * 6 || !(found == Cell{-1, -1})) {
                return {-2, -2};
            }
            found = {column, row};
        }
    }
    return found;
}

std::vector<int> cellText(const Picture &picture, int column, int row, const ColourTest &test) {
    const int x0 = picture.columnOf(cells::textX(column));
    const int y0 = picture.rowOf(cells::textY(row));
    // From just left of the origin to just before the next column's text,
    // and from above the tallest glyph to below the baseline.
    const int width = std::min(40, picture.columnOf(cells::textX(1)) - picture.columnOf(cells::textX(0)) - 2);
    const int left = -2, top = -12, bottom = 4;
    std::vector<int> offsets;
    for (int r = top; r < bottom; ++r) {
        for (int c = left; c < width; ++c) {
            if (test(picture.at(x0 + c, y0 + r))) {
                offsets.push_back((r - top) * 64 + (c - left));
            }
        }
    }
    return offsets;
}

void typeEntry(ProgramWindow &window, int column, int row, const std::string &text) {
    const std::string where = "(" + std::to_string(column) + ", " + std::to_string(row) + ")";
    window.click(cells::centreX(column), cells::centreY(row));
    if (!window.waitUntil([&](const Picture &p) { return highlightedEntry(p) == Cell{column, row}; })) {
        throw DriverError("entry " + where + " did not become highlighted");
    }
    window.typeText(text);
    window.pressKey("Return");
    // The first frame without the box is drawn with the new value.
    if (!window.waitUntil([](const Picture &p) { return highlightedEntry(p) == Cell{-1, -1}; })) {
        throw DriverError("the entry typed into " + where + " was not stored");
    }
}

}  // namespace e2e
