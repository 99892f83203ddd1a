// The driver's own pieces that need no X server: pictures and their PNG
// files, and reading the window's highlight from a picture.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "window_reading.h"
#include "x_driver.h"

namespace e2e {
namespace {

Picture filled(int width, int height, Rgb colour) {
    std::vector<unsigned char> rgb;
    for (int i = 0; i < width * height; ++i) {
        rgb.insert(rgb.end(), {static_cast<unsigned char>(colour.r), static_cast<unsigned char>(colour.g),
                               static_cast<unsigned char>(colour.b)});
    }
    return Picture(width, height, rgb);
}

// The picture with the world rectangle painted.
Picture painted(const Picture &picture, double x1, double y1, double x2, double y2, Rgb colour) {
    std::vector<unsigned char> rgb;
    for (int r = 0; r < picture.height(); ++r) {
        for (int c = 0; c < picture.width(); ++c) {
            const bool inside = c >= picture.columnOf(x1) && c < picture.columnOf(x2) &&
                                r >= picture.rowOf(y2) && r < picture.rowOf(y1);
            const Rgb p = inside ? colour : picture.at(c, r);
            rgb.insert(rgb.end(), {static_cast<unsigned char>(p.r), static_cast<unsigned char>(p.g),
                                   static_cast<unsigned char>(p.b)});
        }
    }
    return Picture(picture.width(), picture.height(), rgb);
}

std::string scratchPath(const char *name) {
    return std::string(OSTRIVANE_E2E_FAILURES) + "/scratch-" + std::to_string(getpid()) + "-" + name;
}

TEST(Picture, MapsWorldPositionsOntoAnyWindowSize) {
    const Picture square = filled(600, 600, {0, 0, 0});
    EXPECT_EQ(square.columnOf(13), 378);
    EXPECT_EQ(square.rowOf(10), 240);
    EXPECT_EQ(square.columnOf(-50), 0);
    EXPECT_EQ(square.rowOf(-50), 600);
    const Picture narrow = filled(300, 600, {0, 0, 0});
    EXPECT_EQ(narrow.columnOf(entryCentreX(0)), 244);
    EXPECT_EQ(narrow.rowOf(entryCentreY(0)), 33);
    EXPECT_TRUE(narrow.at(300, 0) == (Rgb{-1, -1, -1}));
}

TEST(Picture, PngFilesReadBackAsTheSamePicture) {
    // Few colours are written colour-mapped, many as plain RGB.
    const Picture few = painted(filled(60, 40, {0, 0, 0}), -20, -10, 30, 25, shade::figure);
    std::vector<unsigned char> rgb;
    for (int i = 0; i < 70 * 50; ++i) {
        rgb.insert(rgb.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(i / 256),
                               static_cast<unsigned char>(i * 7)});
    }
    const Picture many(70, 50, rgb);
    for (const Picture *picture : {&few, &many}) {
        const std::string path = scratchPath("round.png");
        picture->savePng(path);
        const Picture back = Picture::loadPng(path);
        unlink(path.c_str());
        EXPECT_TRUE(back == *picture) << picture->width() << "x" << picture->height();
    }
    EXPECT_THROW(Picture::loadPng(scratchPath("missing.png")), std::runtime_error);
    EXPECT_THROW(few.savePng("/nonexistent-folder/x.png"), std::runtime_error);
}

TEST(WindowReading, FindsTheOneHighlightedEntry) {
    const Picture black = filled(300, 600, {0, 0, 0});
    EXPECT_TRUE(highlightedEntry(black) == (Cell{-1, -1}));
    // Column 2, row 1: from (43, 35.5) to (48, 39.5); both ends of the pulse.
    for (const Rgb shade : {Rgb{51, 102, 51}, Rgb{51, 153, 0}}) {
        const Picture one = painted(black, 43, 35.5, 48, 39.5, shade);
        EXPECT_TRUE(highlightedEntry(one) == (Cell{2, 1}));
        const Picture two = painted(one, 29, 42.5, 34, 46.5, shade);
        EXPECT_TRUE(highlightedEntry(two) == (Cell{-2, -2}));
    }
    // A sliver is not a box, and green text is not a highlight.
    EXPECT_TRUE(highlightedEntry(painted(black, 43, 35.5, 44, 39.5, {51, 120, 33})) == (Cell{-2, -2}));
    EXPECT_TRUE(highlightedEntry(painted(black, 43, 35.5, 48, 39.5, shade::editableValue)) == (Cell{-1, -1}));
}

}  // namespace
}  // namespace e2e
