// Pictures of Ostrivane's window, wherever they come from (the tests' own
// GLUT window or the real program's X window), and the probes the tests
// speak in: colours near a world position, counts inside a world rectangle.
#ifndef OSTRIVANE_PICTURE_H
#define OSTRIVANE_PICTURE_H

#include <functional>
#include <string>
#include <vector>

#include "matrix_panel.h"
#include "scene.h"

struct Rgb {
    int r, g, b;
};

inline bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// The colour as an 8-bit framebuffer holds it.
Rgb toRgb(float r, float g, float b);
constexpr Rgb toRgb(GlColour c) {
    return {static_cast<int>(c.red * 255.0f + 0.5f), static_cast<int>(c.green * 255.0f + 0.5f),
            static_cast<int>(c.blue * 255.0f + 0.5f)};
}

// The window's colours, the program's own, as an 8-bit framebuffer holds them.
namespace shade {
constexpr Rgb black{0, 0, 0};
constexpr Rgb figure = toRgb(figureColour);
constexpr Rgb axis = toRgb(axisColour);
constexpr Rgb tick = toRgb(tickColour);
constexpr Rgb editableValue = toRgb(panel::valueColour);
constexpr Rgb fixedValue = toRgb(panel::fixedValueColour);
constexpr Rgb entryText = toRgb(panel::typedColour);
constexpr Rgb instructions = toRgb(panel::instructionColour);
}  // namespace shade

using ColourTest = std::function<bool(Rgb)>;

// The colour within one step per channel, as rounding may give.
ColourTest near(Rgb colour);
bool sameColour(Rgb a, Rgb b);
// Any shade the pulsing highlight box takes.
bool isHighlight(Rgb colour);
// The contrast ratio of two colours as WCAG reckons it, from 1 to 21.
double contrastRatio(Rgb a, Rgb b);

// A picture of a window: 8-bit RGB, rows from the top.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height, std::vector<unsigned char> rgb);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // The pixel, or (-1, -1, -1) outside the picture.
    Rgb at(int column, int row) const;

    // Pixel column and row of a world position: the world square x, y in
    // [-50, 50] always covers the whole window, y upwards.
    int columnOf(double worldX) const;
    int rowOf(double worldY) const;

    // Whether a pixel within `radius` pixels of the world position passes.
    bool hasNear(double worldX, double worldY, const ColourTest &test, int radius = 2) const;
    bool hasNear(double worldX, double worldY, Rgb colour, int radius = 2) const;
    // Number of pixels that pass inside the world rectangle.
    int countIn(double x1, double y1, double x2, double y2, const ColourTest &test) const;
    int countIn(double x1, double y1, double x2, double y2, Rgb colour) const;
    // Pixels of the colour inside the pixel rectangle, as offsets from its
    // corner: equal texts drawn in a bitmap font give equal lists.
    std::vector<int> maskOf(int column, int row, int w, int h, const ColourTest &test) const;
    // Pixels that are not black inside the pixel rectangle.
    int countLit(int column, int row, int w, int h) const;

    bool operator==(const Picture &other) const;
    bool operator!=(const Picture &other) const { return !(*this == other); }

    // PNG files, colour-mapped when the picture has at most 256 colours (as
    // the program's pictures do). Throw std::runtime_error. Built where
    // libpng is.
    void savePng(const std::string &path) const;
    static Picture loadPng(const std::string &path);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> rgb_;
};

// One stroke of the stick figure, from point to point, in model units.
struct Stroke {
    double x1, y1, x2, y2;
};

// The figure's fourteen strokes, as the program draws them before its matrix
// moves them: feet and legs, body, arms, head.
extern const std::vector<Stroke> figureStrokes;

// x' = a·x + b·y + tx, y' = c·x + d·y + ty: what the matrix's top two rows
// do to the figure.
struct Affine {
    double a = 1, b = 0, tx = 0;
    double c = 0, d = 1, ty = 0;
    double x(double px, double py) const { return a * px + b * py + tx; }
    double y(double px, double py) const { return c * px + d * py + ty; }
};

// Whether every stroke of the figure is drawn through `m` (probed at a
// quarter, the middle and three quarters of its length, unless the matrix
// shrinks it below half a unit) and nothing of the figure's colour lies
// outside the moved figure's bounds; where not, `why` (when given) says what
// is missing.
bool figureDrawnThrough(const Picture &p, const Affine &m, std::string *why = nullptr);

#endif
