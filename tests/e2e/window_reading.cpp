#include "window_reading.h"

#include <algorithm>
#include <cstdlib>

namespace e2e {

namespace {

// Highlight box of entry (column, row), in world units.
struct Box {
    double left, bottom, right, top;
};

Box highlightBox(int column, int row) {
    const double left = 29.0 + 7.0 * column;
    const double bottom = 42.5 - 7.0 * row;
    return {left, bottom, left + 5.0, bottom + 4.0};
}

}  // namespace

const Stroke figureStrokes[14] = {
    {0, 0, 1, 0}, {1, 0, 3, 3}, {3, 3, 5, 0},     {5, 0, 6, 0}, {3, 3, 3, 8},  {1, 3.5, 1, 4}, {1, 4, 3, 6},
    {3, 6, 5, 6}, {5, 6, 5, 7}, {5, 7, 4.5, 7.5}, {3, 8, 4, 9}, {4, 9, 3, 10}, {3, 10, 2, 9},  {2, 9, 3, 8},
};

ColourTest near(Rgb colour) {
    return [colour](Rgb p) {
        return std::abs(p.r - colour.r) <= 1 && std::abs(p.g - colour.g) <= 1 &&
               std::abs(p.b - colour.b) <= 1;
    };
}

bool isHighlight(Rgb p) {
    // (0.2, level + 0.4, 0.2 - level) with the level swinging over about
    // [0, 0.2]: green and blue always add up to 0.6.
    return std::abs(p.r - 51) <= 1 && p.g >= 100 && p.g <= 156 && p.b <= 54 && std::abs(p.g + p.b - 153) <= 2;
}

bool hasNear(const Picture &picture, double worldX, double worldY, const ColourTest &test, int radius) {
    const int c0 = picture.columnOf(worldX);
    const int r0 = picture.rowOf(worldY);
    for (int r = r0 - radius; r <= r0 + radius; ++r) {
        for (int c = c0 - radius; c <= c0 + radius; ++c) {
            if (test(picture.at(c, r))) {
                return true;
            }
        }
    }
    return false;
}

int countIn(const Picture &picture, double x1, double y1, double x2, double y2, const ColourTest &test) {
    int n = 0;
    const int rowEnd = std::min(picture.rowOf(std::min(y1, y2)), picture.height() - 1);
    const int columnEnd = std::min(picture.columnOf(std::max(x1, x2)), picture.width() - 1);
    for (int r = std::max(0, picture.rowOf(std::max(y1, y2))); r <= rowEnd; ++r) {
        for (int c = std::max(0, picture.columnOf(std::min(x1, x2))); c <= columnEnd; ++c) {
            n += test(picture.at(c, r)) ? 1 : 0;
        }
    }
    return n;
}

double entryCentreX(int column) {
    return 31.5 + 7.0 * column;
}

double entryCentreY(int row) {
    return 44.5 - 7.0 * row;
}

Cell highlightedEntry(const Picture &picture) {
    Cell found{-1, -1};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 2; ++row) {
            // Half a unit inside the box, clear of its rounded edges; the
            // entry's text may cover a little of it.
            const Box b = highlightBox(column, row);
            const int lit =
                countIn(picture, b.left + 0.5, b.bottom + 0.5, b.right - 0.5, b.top - 0.5, isHighlight);
            const int area = countIn(picture, b.left + 0.5, b.bottom + 0.5, b.right - 0.5, b.top - 0.5,
                                     [](Rgb) { return true; });
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
    const int x0 = picture.columnOf(30.0 + 7.0 * column);
    const int y0 = picture.rowOf(44.0 - 7.0 * row);
    // From just left of the origin to just before the next column's text,
    // and from above the tallest glyph to below the baseline.
    const int width = std::min(40, picture.columnOf(37.0) - picture.columnOf(30.0) - 2);
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

}  // namespace e2e
