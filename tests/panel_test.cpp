// The matrix panel read back from the window: values, entry text, highlight
// pulse and instruction line; and one whole edit from press to moved figure.
#include <limits>
#include <string>

#include "entry_input.h"
#include "matrix_panel.h"
#include "panel_geometry.h"
#include "test_support.h"

namespace {

const Rgb white = toRgb(1.0f, 1.0f, 1.0f);

// A cell's text area at 600x600: from its text origin 6.5 units to the
// right, two below (descenders) and two above.
struct Area {
    int column, row, width, height;
};
Area cellArea(int c, int r) {
    return {cells::pixelX(cells::textX(c)), cells::pixelY(cells::textY(r)) - 12, 39, 24};
}

// Where `text` lands when drawn at (x, y) in the 10-point Helvetica font, as
// a mask inside `area`, taken from a reference drawing of that text alone.
std::vector<int> referenceMask(const char *text, float x, float y, Area area) {
    return GlWindow::drawReferenceText(text, x, y)
        .maskOf(area.column, area.row, area.width, area.height, near(white));
}

std::vector<int> cellMask(const Picture &frame, int c, int r, Rgb colour) {
    const Area a = cellArea(c, r);
    return frame.maskOf(a.column, a.row, a.width, a.height, near(colour));
}

void expectCellShows(const Picture &frame, int c, int r, const char *text, Rgb colour) {
    const Area a = cellArea(c, r);
    const std::vector<int> expected =
        referenceMask(text, static_cast<float>(cells::textX(c)), static_cast<float>(cells::textY(r)), a);
    ASSERT_FALSE(expected.empty()) << text;
    EXPECT_EQ(cellMask(frame, c, r, colour), expected)
        << "cell (" << c << ", " << r << ") should read " << text;
}

// Pixel of the centre of the highlight box of (c, r), at 600x600.
int boxColumn(int c) {
    return cells::pixelX(cells::centreX(c));
}
int boxRow(int r) {
    return cells::pixelY(cells::centreY(r));
}

// A point inside the box that no glyph covers: just below the text baseline.
Rgb boxColour(const Picture &frame, int c, int r) {
    return frame.at(cells::pixelX(cells::boxLeft(c)) + 2, cells::pixelY(cells::boxBottom(r)) - 2);
}

}  // namespace

TEST_F(RenderTest, IdentityValuesInTheirCellsAndColours) {
    const Picture frame = GlWindow::drawFrame();
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            const char *text = (c == r) ? "1.00" : "0.00";
            expectCellShows(frame, c, r, text, r == 2 ? shade::fixedValue : shade::editableValue);
            // Nothing of the other colour in the cell.
            EXPECT_TRUE(cellMask(frame, c, r, r == 2 ? shade::editableValue : shade::fixedValue).empty());
        }
    }
}

TEST_F(RenderTest, ValuesAreShownWithTwoDecimalsAndTheirSign) {
    editorState.matrix[0] = -0.5f;
    editorState.matrix[3] = 123.456f;
    editorState.matrix[6] = 12.345f;
    editorState.matrix[1] = std::numeric_limits<float>::infinity();
    editorState.matrix[4] = -std::numeric_limits<float>::infinity();
    editorState.matrix[7] = 0.004f;
    const Picture frame = GlWindow::drawFrame();
    expectCellShows(frame, 0, 0, "-0.50", shade::editableValue);
    expectCellShows(frame, 1, 0, "123.46", shade::editableValue);
    expectCellShows(frame, 2, 0, "12.35", shade::editableValue);  // 12.345f is just above 12.345
    expectCellShows(frame, 0, 1, " inf", shade::editableValue);   // as "%4.2f" writes it: a space first
    expectCellShows(frame, 1, 1, "-inf", shade::editableValue);
    expectCellShows(frame, 2, 1, "0.00", shade::editableValue);
}

// The road of one edit: the entry's text in red over its box while it is
// typed, the figure unmoved until Enter, then the value and the figure
// through the new matrix on the next frame.
TEST_F(RenderTest, EntryInProgressShowsItsTextInRedOverTheBoxAndEnterMovesTheFigure) {
    press(490, 75);  // column 0, row 1
    Picture frame = GlWindow::drawFrame();
    // Right after the entry starts: no number in that cell, the others unchanged.
    EXPECT_TRUE(cellMask(frame, 0, 1, shade::editableValue).empty());
    EXPECT_TRUE(cellMask(frame, 0, 1, shade::entryText).empty());
    expectCellShows(frame, 0, 0, "1.00", shade::editableValue);
    expectCellShows(frame, 1, 1, "1.00", shade::editableValue);
    expectCellShows(frame, 2, 2, "1.00", shade::fixedValue);
    EXPECT_GT(frame.countIn(29.2f, 34.7f, 33.8f, 38.3f, toRgb(0.2f, 0.41f, 0.19f)), 300);

    type("-0.25x");
    frame = GlWindow::drawFrame();
    expectCellShows(frame, 0, 1, "-0.25x", shade::entryText);
    EXPECT_TRUE(cellMask(frame, 0, 1, shade::editableValue).empty());
    std::string why;
    EXPECT_TRUE(figureDrawnThrough(frame, {}, &why)) << "not yet committed: " << why;

    // Characters with codes above 127 are kept in the text but draw nothing.
    onKeyboard(0xE9, 0, 0);
    frame = GlWindow::drawFrame();
    expectCellShows(frame, 0, 1, "-0.25x", shade::entryText);

    type("\r");
    frame = GlWindow::drawFrame();
    expectCellShows(frame, 0, 1, "-0.25", shade::editableValue);
    EXPECT_TRUE(figureDrawnThrough(frame, {1, 0, 0, -0.25, 1, 0}, &why)) << why;
    EXPECT_FALSE(frame.hasNear(6.0, 0.0, shade::figure)) << "the right foot is still at (6, 0)";
}

TEST_F(RenderTest, HighlightPulsesWithA40FramePeriodAndPausesWhileIdle) {
    press(boxColumn(2), boxRow(0));
    ASSERT_EQ(editorState.editing, 1);
    std::vector<Rgb> seen;
    for (int frame = 1; frame <= 81; ++frame) {
        seen.push_back(boxColour(GlWindow::drawFrame(), 2, 0));
    }
    // Picture n shows the level after n steps: up 0.01 a frame to 0.2 at frame
    // 20, back to 0 at frame 40.
    EXPECT_TRUE(sameColour(seen[0], toRgb(0.2f, 0.41f, 0.19f)));
    EXPECT_TRUE(sameColour(seen[19], toRgb(0.2f, 0.6f, 0.0f)));
    EXPECT_TRUE(sameColour(seen[39], toRgb(0.2f, 0.4f, 0.2f)));
    for (int i = 0; i + 40 < static_cast<int>(seen.size()); ++i) {
        EXPECT_TRUE(sameColour(seen[i], seen[i + 40])) << "frame " << i + 1;
    }
    // Consecutive frames differ (the box changes colour every frame).
    for (int i = 1; i < 40; ++i) {
        EXPECT_FALSE(seen[i].g == seen[i - 1].g && seen[i].b == seen[i - 1].b) << "frame " << i + 1;
    }

    // 81 frames: the level is at 0.01 and rising. Idle frames pause it.
    onKeyboard(13, 0, 0);
    const float level = editorState.pulseLevel;
    const float step = editorState.pulseStep;
    for (int i = 0; i < 7; ++i) {
        const Picture idle = GlWindow::drawFrame();
        EXPECT_EQ(idle.countLit(boxColumn(2) - 12, boxRow(0) + 8, 4, 3), 0);
    }
    EXPECT_EQ(editorState.pulseLevel, level);
    EXPECT_EQ(editorState.pulseStep, step);
    // A new entry continues where the last one left off.
    press(boxColumn(0), boxRow(1));
    const Rgb next = boxColour(GlWindow::drawFrame(), 0, 1);
    EXPECT_TRUE(sameColour(next, seen[1])) << next.g << " " << next.b;
}

TEST_F(RenderTest, InstructionLineAlongTheBottom) {
    const Picture frame = GlWindow::drawFrame();
    const char *instructions =
        "Click on a green matrix value and type a new number.  Tickmarks are every five units along axes.";
    const Area line = {0, (50 + 48) * 6 - 12, 600, 20};
    const std::vector<int> expected = referenceMask(instructions, -48.0f, -48.0f, line);
    ASSERT_GT(expected.size(), 300u);
    EXPECT_EQ(frame.maskOf(line.column, line.row, line.width, line.height, near(shade::instructions)),
              expected);
}
