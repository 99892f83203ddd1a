#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

// As the program's own drawFigure() draws them: the build runs it through
// ostrivane_figure_strokes into this list, "{x1, y1, x2, y2}," a stroke.
const std::vector<Stroke> figureStrokes = {
#include "figure_strokes.inc"
};

Rgb toRgb(float r, float g, float b) {
    return toRgb(GlColour{r, g, b});
}

bool sameColour(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1;
}

ColourTest near(Rgb colour) {
    return [colour](Rgb p) { return sameColour(p, colour); };
}

bool figureDrawnThrough(const Picture &p, const Affine &m, std::string *why) {
    const auto yellow = near(shade::figure);
    double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
    for (const auto &s : figureStrokes) {
        const double moved = std::hypot(m.x(s.x2, s.y2) - m.x(s.x1, s.y1), m.y(s.x2, s.y2) - m.y(s.x1, s.y1));
        for (const double t : {0.25, 0.5, 0.75}) {
            if (!(moved >= 0.5)) {
                break;  // a stroke of no length covers no pixel
            }
            const double px = s.x1 + t * (s.x2 - s.x1);
            const double py = s.y1 + t * (s.y2 - s.y1);
            if (!p.hasNear(m.x(px, py), m.y(px, py), yellow)) {
                if (why != nullptr) {
                    *why = "no figure at world (" + std::to_string(m.x(px, py)) + ", " +
                           std::to_string(m.y(px, py)) + ") from model (" + std::to_string(px) + ", " +
                           std::to_string(py) + ")";
                }
                return false;
            }
        }
        for (const auto &end : {std::make_pair(s.x1, s.y1), std::make_pair(s.x2, s.y2)}) {
            left = std::min(left, m.x(end.first, end.second));
            right = std::max(right, m.x(end.first, end.second));
            bottom = std::min(bottom, m.y(end.first, end.second));
            top = std::max(top, m.y(end.first, end.second));
        }
    }
    const int outside =
        p.countIn(-50, -50, 50, 50, yellow) - p.countIn(left - 1, bottom - 1, right + 1, top + 1, yellow);
    if (outside != 0 && why != nullptr) {
        *why = std::to_string(outside) + " pixels of the figure's colour outside the moved figure's bounds";
    }
    return outside == 0;
}

double contrastRatio(Rgb a, Rgb b) {
    const auto luminance = [](Rgb c) {
        double sum = 0;
        const int channels[3] = {c.r, c.g, c.b};
        const double weights[3] = {0.2126, 0.7152, 0.0722};
        for (int i = 0; i < 3; ++i) {
            const double v = channels[i] / 255.0;
            sum += weights[i] * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isHighlight(Rgb p) {
    // (0.2, level + 0.4, 0.2 - level) with the level swinging over about
    // [0, 0.2]: green and blue always add up to 0.6.
    return std::abs(p.r - 51) <= 1 && p.g >= 100 && p.g <= 156 && p.b <= 54 && std::abs(p.g + p.b - 153) <= 2;
}

Picture::Picture(int width, int height, std::vector<unsigned char> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb)) {
    if (width_ < 0 || height_ < 0 || rgb_.size() != static_cast<std::size_t>(width_) * height_ * 3) {
        throw std::runtime_error("picture data does not match its size");
    }
}

Rgb Picture::at(int column, int row) const {
    if (column < 0 || column >= width_ || row < 0 || row >= height_) {
        return {-1, -1, -1};
    }
    const std::size_t i = (static_cast<std::size_t>(row) * width_ + column) * 3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int Picture::columnOf(double worldX) const {
    return static_cast<int>(std::floor((worldX + 50.0) * width_ / 100.0));
}

int Picture::rowOf(double worldY) const {
    return static_cast<int>(std::floor((50.0 - worldY) * height_ / 100.0));
}

bool Picture::hasNear(double worldX, double worldY, const ColourTest &test, int radius) const {
    const int c0 = columnOf(worldX);
    const int r0 = rowOf(worldY);
    for (int r = r0 - radius; r <= r0 + radius; ++r) {
        for (int c = c0 - radius; c <= c0 + radius; ++c) {
            if (test(at(c, r))) {
                return true;
            }
        }
    }
    return false;
}

bool Picture::hasNear(double worldX, double worldY, Rgb colour, int radius) const {
    return hasNear(worldX, worldY, near(colour), radius);
}

int Picture::countIn(double x1, double y1, double x2, double y2, const ColourTest &test) const {
    int n = 0;
    const int rowEnd = std::min(rowOf(std::min(y1, y2)), height_ - 1);
    const int columnEnd = std::min(columnOf(std::max(x1, x2)), width_ - 1);
    for (int r = std::max(0, rowOf(std::max(y1, y2))); r <= rowEnd; ++r) {
        for (int c = std::max(0, columnOf(std::min(x1, x2))); c <= columnEnd; ++c) {
            n += test(at(c, r)) ? 1 : 0;
        }
    }
    return n;
}

int Picture::countIn(double x1, double y1, double x2, double y2, Rgb colour) const {
    return countIn(x1, y1, x2, y2, near(colour));
}

std::vector<int> Picture::maskOf(int column, int row, int w, int h, const ColourTest &test) const {
    std::vector<int> mask;
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            if (test(at(column + c, row + r))) {
                mask.push_back(r * w + c);
            }
        }
    }
    return mask;
}

int Picture::countLit(int column, int row, int w, int h) const {
    return static_cast<int>(
        maskOf(column, row, w, h, [](Rgb p) { return p.r > 0 || p.g > 0 || p.b > 0; }).size());
}

bool Picture::operator==(const Picture &other) const {
    return width_ == other.width_ && height_ == other.height_ && rgb_ == other.rgb_;
}
