// Reading Ostrivane's window from a picture of it: its colours, where the
// matrix entries sit, which entry is highlighted and what a cell shows.
#ifndef OSTRIVANE_WINDOW_READING_H
#define OSTRIVANE_WINDOW_READING_H

#include <functional>
#include <vector>

#include "x_driver.h"

namespace e2e {

// The window's colours as an 8-bit framebuffer holds them.
namespace shade {
constexpr Rgb figure{255, 255, 51};
constexpr Rgb axis{0, 0, 179};
constexpr Rgb tick{0, 0, 128};
constexpr Rgb editableValue{0, 255, 0};
constexpr Rgb fixedValue{0, 255, 255};
constexpr Rgb entryText{255, 0, 0};
constexpr Rgb instructions{255, 128, 255};
}  // namespace shade

using ColourTest = std::function<bool(Rgb)>;

// The colour within one step per channel, as rounding may give.
ColourTest near(Rgb colour);
// Any shade the pulsing highlight box takes.
bool isHighlight(Rgb colour);

// Whether a pixel within `radius` pixels of the world position passes.
bool hasNear(const Picture &picture, double worldX, double worldY, const ColourTest &test, int radius = 2);
// Number of pixels that pass inside the world rectangle.
int countIn(const Picture &picture, double x1, double y1, double x2, double y2, const ColourTest &test);

struct Cell {
    int column, row;
};

inline bool operator==(Cell a, Cell b) {
    return a.column == b.column && a.row == b.row;
}

// One stroke of the stick figure, from point to point, in model units.
struct Stroke {
    double x1, y1, x2, y2;
};

// The figure's fourteen strokes, as the program draws them before its matrix
// moves them: feet and legs, body, arms, head.
extern const Stroke figureStrokes[14];

// World centre of the highlight box of an editable entry.
double entryCentreX(int column);
double entryCentreY(int row);

// The editable entry whose highlight box is drawn; (-1, -1) when none is;
// (-2, -2) when the picture shows something else (a box drawn in part, or
// more than one).
Cell highlightedEntry(const Picture &picture);

// The pixels of a cell's text that pass, as offsets from the cell's text
// origin (glyphs keep their pixel size, so equal texts give equal lists).
std::vector<int> cellText(const Picture &picture, int column, int row, const ColourTest &test);

}  // namespace e2e

#endif
