// Selecting entries with the mouse, typing and committing numbers; and the
// reference reading of entry texts that the stress test and the fuzz target
// check the editor against, held to the same examples as the editor.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "entry_input.h"
#include "number_grammar.h"
#include "panel_geometry.h"
#include "test_support.h"

namespace {

struct Selection {
    bool editing;
    int column, row;
};

Selection pressAt(int x, int y, int width = 600, int height = 600) {
    resetEditorState();
    editorState.windowWidth = static_cast<float>(width);
    editorState.windowHeight = static_cast<float>(height);
    press(x, y);
    return {editorState.editing == 1, editorState.selectedColumn, editorState.selectedRow};
}

// The value that typing `text` into the top-left entry stores.
float stored(const std::string &text) {
    resetEditorState();
    press(490, 30);
    type(text + "\r");
    return editorState.matrix[0];
}

}  // namespace

using HitTest = StateTest;
using EntryStates = StateTest;
using NumberReading = StateTest;

// At 600x600, the pixels on either side of each edge of the grid (column
// -1 is a miss). Just above the window over column 1 is still row 0
// (truncation toward zero); far above it, far right, at the ends of int, or
// in a window with no area, is no cell at all. At 1200x600 the grid's left
// edge, world x 29, falls between pixels 948 and 949, and the pixel of
// column 2 at 600 wide lies left of the grid.
TEST_F(HitTest, EdgesOfTheColumnsAndRowsIncludingTheTopStripFollowTheStoredSize) {
    constexpr int least = std::numeric_limits<int>::min(), most = std::numeric_limits<int>::max();
    const struct {
        int x, y, column, row, width = 600, height = 600;
    } presses[] = {
        {950, 30, 0, 0, 1200}, {949, 30, 0, 0, 1200},    {948, 30, -1, 0, 1200}, {580, 30, -1, 0, 1200},
        {474, 30, -1, 0},      {475, 30, 0, 0},          {515, 30, 0, 0},        {516, 30, 1, 0},
        {557, 30, 1, 0},       {558, 30, 2, 0},          {599, 30, 2, 0},        {540, 0, 1, 0},
        {540, 53, 1, 0},       {540, 54, 1, 1},          {540, 95, 1, 1},        {540, 96, -1, 0},
        {540, 137, -1, 0},     {540, 599, -1, 0},        {540, -5, 1, 0},        {540, -100000, -1, 0},
        {100000, 30, -1, 0},   {least, 30, -1, 0},       {most, 30, -1, 0},      {540, least, -1, 0},
        {540, most, -1, 0},    {least, least, -1, 0},    {most, most, -1, 0},    {540, 30, -1, 0, 0, 0},
        {540, 30, -1, 0, 0},   {540, 30, -1, 0, 600, 0},
    };
    for (const auto &p : presses) {
        const Selection s = pressAt(p.x, p.y, p.width, p.height);
        EXPECT_EQ(s.editing, p.column >= 0) << p.x << ", " << p.y << " at " << p.width << "x" << p.height;
        if (s.editing && p.column >= 0) {
            EXPECT_EQ(s.column, p.column) << p.x << ", " << p.y;
            EXPECT_EQ(s.row, p.row) << p.x << ", " << p.y;
        }
    }
}

TEST_F(HitTest, HighlightBoxCentresSelectTheirEntryAtEverySize) {
    for (const auto &[w, h] : {std::pair<int, int>{600, 600}, {300, 600}, {1200, 600}, {600, 300}}) {
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 2; ++r) {
                const Selection s =
                    pressAt(cells::pixelX(cells::centreX(c), w), cells::pixelY(cells::centreY(r), h), w, h);
                EXPECT_TRUE(s.editing && s.column == c && s.row == r)
                    << c << ", " << r << " at " << w << "x" << h;
            }
        }
    }
}

TEST_F(EntryStates, EnterEscAndPressesCommit) {
    press(540, 30);  // column 1, row 0
    type("2.5\r");
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_EQ(entry(0, 1), 2.5f);
    EXPECT_STREQ(editorState.entryText, "");

    press(490, 75);  // column 0, row 1
    type("-3\x1b");  // Esc commits, it does not cancel
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_EQ(entry(1, 0), -3.0f);

    press(580, 30);  // column 2, row 0
    type("7");
    press(10, 590);  // anywhere else commits and ends the entry
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_EQ(entry(0, 2), 7.0f);

    press(580, 75);  // column 2, row 1
    type("4");
    press(490, 30);  // another entry: commit, then a fresh entry there
    EXPECT_EQ(entry(1, 2), 4.0f);
    EXPECT_EQ(editorState.editing, 1);
    EXPECT_EQ(editorState.selectedColumn, 0);
    EXPECT_EQ(editorState.selectedRow, 0);
    EXPECT_STREQ(editorState.entryText, "");
    EXPECT_EQ(entry(0, 0), 1.0f);

    press(540, 75);  // the same entry again: commit, and start afresh
    type("9");
    press(540, 75);
    EXPECT_EQ(entry(1, 1), 9.0f);
    EXPECT_EQ(editorState.editing, 1);
    EXPECT_STREQ(editorState.entryText, "");

    press(100, 500);  // clicking away without typing stores 0
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_EQ(entry(1, 1), 0.0f);
}

TEST_F(EntryStates, OtherButtonsAndReleasesChangeNothing) {
    press(540, 30);
    type("12");
    const EditorState before = editorState;
    press(10, 590, GLUT_RIGHT_BUTTON);
    press(490, 75, GLUT_MIDDLE_BUTTON);
    press(490, 75, 3);  // wheel
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 10, 590);
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 490, 75);
    EXPECT_EQ(std::memcmp(&before, &editorState, sizeof before), 0);
    EXPECT_STREQ(editorState.entryText, "12");
    EXPECT_EQ(editorState.editing, 1);
}

TEST_F(EntryStates, BackspaceEditsAndStopsAtEmpty) {
    press(540, 30);
    type("\b");
    EXPECT_STREQ(editorState.entryText, "");
    EXPECT_EQ(editorState.editing, 1);
    type("123\b");
    EXPECT_STREQ(editorState.entryText, "12");
    type("\b\b\b\b5");
    EXPECT_STREQ(editorState.entryText, "5");
    type("\r");
    EXPECT_EQ(entry(0, 1), 5.0f);
}

TEST_F(EntryStates, KeysWhileIdleAreLost) {
    type("42\r\x1b\b");
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_STREQ(editorState.entryText, "");
    press(540, 30);
    EXPECT_STREQ(editorState.entryText, "");
    type("\r");
    // Nothing typed before the entry reached it: the empty entry stores 0.
    EXPECT_EQ(entry(0, 1), 0.0f);
    for (int i = 0; i < 9; ++i) {
        if (i != 3) {
            EXPECT_EQ(editorState.matrix[i], (i % 4 == 0) ? 1.0f : 0.0f) << i;
        }
    }
}

TEST_F(EntryStates, EveryKeyIsTakenIntoTheTextUpTo99Characters) {
    press(490, 30);
    type("a 1,+");
    onKeyboard(0, 0, 0);    // code 0 leaves the text as it was
    onKeyboard(200, 0, 0);  // codes above 127 are kept
    EXPECT_EQ(std::string(editorState.entryText), std::string("a 1,+") + static_cast<char>(200));

    resetEditorState();
    press(490, 30);
    for (int i = 0; i < 150; ++i) {
        onKeyboard(static_cast<unsigned char>('0' + i % 10), 0, 0);
    }
    EXPECT_EQ(std::strlen(editorState.entryText), 99u);
    EXPECT_EQ(editorState.entryText[98], '8');
    type("\b7");
    EXPECT_EQ(std::strlen(editorState.entryText), 99u);
    EXPECT_EQ(editorState.entryText[98], '7');
    type("\r");
    // 99 digits are far beyond single precision.
    EXPECT_EQ(editorState.matrix[0], std::numeric_limits<float>::infinity());
}

// Each text, typed into the editor and read by the reference reading, gives
// the value of its plain decimal prefix, rounded once to single precision
// (beyond it, signed infinity or zero). Rounding the text to double and then
// to float would give 1 for the first 1.00000005...: it lies just above the
// midpoint between 1 and the next float, closer than a double can tell; the
// midpoint itself goes to even.
TEST_F(NumberReading, OnlyThePlainDecimalPrefixIsReadByTheEditorAndTheReference) {
    const auto expectRead = [](const std::string &text, float value) {
        EXPECT_EQ(stored(text), value) << "the editor, for \"" << text << '"';
        EXPECT_EQ(referenceValue(text), value) << "the reference, for \"" << text << '"';
    };
    const struct {
        const char *text;
        float value;
    } cases[] = {
        {"1", 1.0f},         {"-0.5", -0.5f},    {"+3", 3.0f},   {"2.5abc", 2.5f},  {"  -1", -1.0f},
        {"\t7", 7.0f},       {"1e1", 10.0f},     {"1E-1", 0.1f}, {"1e+2x", 100.0f}, {"1e", 1.0f},
        {"1e+", 1.0f},       {"2E-", 2.0f},      {".5", 0.5f},   {"5.", 5.0f},      {"1.2.3", 1.2f},
        {"1.e2", 100.0f},    {"12.35", 12.35f},  {"0x10", 0.0f}, {"0X1p4", 0.0f},   {"inf", 0.0f},
        {"-inf", 0.0f},      {"INFINITY", 0.0f}, {"nan", 0.0f},  {"NAN(1)", 0.0f},  {"abc", 0.0f},
        {".", 0.0f},         {"-", 0.0f},        {"+.", 0.0f},   {"", 0.0f},        {" ", 0.0f},
        {"- 1", 0.0f},       {"e5", 0.0f},       {".e5", 0.0f},  {"--1", 0.0f},     {"1 2", 1.0f},
        {"3.4e38", 3.4e38f}, {"1e-50", 0.0f},
    };
    for (const auto &c : cases) {
        expectRead(c.text, c.value);
    }
    const float inf = std::numeric_limits<float>::infinity();
    expectRead("\t -1.5e+3xyz", -1500.0f);
    expectRead("1e39", inf);
    expectRead("-1e39", -inf);
    expectRead("340282350000000000000000000000000000000000", inf);
    expectRead("1.00000005960464477539062500000001", std::nextafter(1.0f, 2.0f));
    expectRead("1.000000059604644775390625", 1.0f);
    EXPECT_FALSE(std::isnan(stored("1e99999999999999999999")));
    EXPECT_TRUE(std::signbit(stored("-0")) && std::signbit(referenceValue("-0")));
}
