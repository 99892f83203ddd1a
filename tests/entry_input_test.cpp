// Selecting entries with the mouse, typing and committing numbers.
#include <GL/glut.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "app.h"
#include "entry_input.h"
#include "panel_geometry.h"
#include "test_support.h"

namespace {

void press(int x, int y, int button = GLUT_LEFT_BUTTON) {
    onMouse(button, GLUT_DOWN, x, y);
}

void type(const std::string &keys) {
    for (char k : keys) {
        onKeyboard(static_cast<unsigned char>(k), 0, 0);
    }
}

struct Selection {
    bool editing;
    int column, row;
};

Selection pressAt(int x, int y) {
    resetEditorState();
    press(x, y);
    return {editorState.editing == 1, editorState.selectedColumn, editorState.selectedRow};
}

// The value that typing `text` into the top-left entry stores.
float stored(const std::string &text) {
    resetEditorState();
    press(490, 30);
    type(text);
    onKeyboard(13, 0, 0);
    return editorState.matrix[0];
}

float &entry(int r, int c) {
    return editorState.matrix[c * 3 + r];
}

}  // namespace

using HitTest = StateTest;
using EntryStates = StateTest;
using NumberReading = StateTest;

TEST_F(HitTest, ColumnBoundariesAt600) {
    EXPECT_FALSE(pressAt(474, 30).editing);
    for (int x : {475, 490, 515}) {
        const Selection s = pressAt(x, 30);
        EXPECT_TRUE(s.editing) << x;
        EXPECT_EQ(s.column, 0) << x;
    }
    for (int x : {516, 540, 557}) {
        const Selection s = pressAt(x, 30);
        EXPECT_TRUE(s.editing) << x;
        EXPECT_EQ(s.column, 1) << x;
    }
    for (int x : {558, 580, 599}) {
        const Selection s = pressAt(x, 30);
        EXPECT_TRUE(s.editing) << x;
        EXPECT_EQ(s.column, 2) << x;
    }
}

TEST_F(HitTest, RowBoundariesAt600IncludingTheTopStrip) {
    for (int y : {0, 5, 11, 12, 30, 53}) {
        const Selection s = pressAt(540, y);
        EXPECT_TRUE(s.editing) << y;
        EXPECT_EQ(s.row, 0) << y;
    }
    for (int y : {54, 75, 95}) {
        const Selection s = pressAt(540, y);
        EXPECT_TRUE(s.editing) << y;
        EXPECT_EQ(s.row, 1) << y;
    }
    // The homogeneous row and everything below it miss.
    for (int y : {96, 120, 137, 300, 599}) {
        EXPECT_FALSE(pressAt(540, y).editing) << y;
    }
}

TEST_F(HitTest, HighlightBoxCentresSelectTheirEntry) {
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 2; ++r) {
            const Selection s = pressAt(cells::pixelX(cells::centreX(c)), cells::pixelY(cells::centreY(r)));
            EXPECT_TRUE(s.editing);
            EXPECT_EQ(s.column, c);
            EXPECT_EQ(s.row, r);
        }
    }
}

TEST_F(HitTest, MappingFollowsTheStoredWindowSize) {
    onReshape(1200, 600);
    press(950, 30);  // world x = 29.17
    EXPECT_EQ(editorState.editing, 1);
    EXPECT_EQ(editorState.selectedColumn, 0);
    onKeyboard(13, 0, 0);
    press(949, 30);  // world x = 29.08 still > 29
    EXPECT_EQ(editorState.editing, 1);
    onKeyboard(13, 0, 0);
    press(948, 30);  // world x = 29.0: misses
    EXPECT_EQ(editorState.editing, 0);
    // The same pixel that selects column 2 at 600 wide is left of the grid now.
    press(580, 30);
    EXPECT_EQ(editorState.editing, 0);
}

TEST_F(HitTest, PressesOutsideTheWindowOrWithNoWindowAreaMissSafely) {
    const int far[] = {std::numeric_limits<int>::min(), -100000, -1, 600, 100000,
                       std::numeric_limits<int>::max()};
    for (int x : far) {
        for (int y : far) {
            resetEditorState();
            press(x, y);
            if (editorState.editing == 1) {
                EXPECT_GE(editorState.selectedColumn, 0);
                EXPECT_LE(editorState.selectedColumn, 2);
                EXPECT_GE(editorState.selectedRow, 0);
                EXPECT_LE(editorState.selectedRow, 1);
            }
        }
    }
    // Just above the window over column 1 is still row 0 (truncation toward
    // zero); far above it is no row at all.
    EXPECT_TRUE(pressAt(540, -5).editing);
    EXPECT_FALSE(pressAt(540, -100000).editing);
    EXPECT_FALSE(pressAt(100000, 30).editing);

    for (auto size : {std::pair<int, int>{0, 0}, {0, 600}, {600, 0}}) {
        resetEditorState();
        editorState.windowWidth = static_cast<float>(size.first);
        editorState.windowHeight = static_cast<float>(size.second);
        press(0, 0);
        press(540, 30);
        EXPECT_EQ(editorState.editing, 0) << size.first << "x" << size.second;
    }
}

TEST_F(EntryStates, EnterEscAndPressesCommit) {
    press(540, 30);  // column 1, row 0
    type("2.5");
    onKeyboard(13, 0, 0);
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_EQ(entry(0, 1), 2.5f);
    EXPECT_STREQ(editorState.entryText, "");

    press(490, 75);  // column 0, row 1
    type("-3");
    onKeyboard(27, 0, 0);  // Esc commits, it does not cancel
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
}

TEST_F(EntryStates, PressOnTheSameEntryCommitsAndStartsAfresh) {
    press(540, 75);
    type("9");
    press(540, 75);
    EXPECT_EQ(entry(1, 1), 9.0f);
    EXPECT_EQ(editorState.editing, 1);
    EXPECT_EQ(editorState.selectedColumn, 1);
    EXPECT_EQ(editorState.selectedRow, 1);
    EXPECT_STREQ(editorState.entryText, "");
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
    onKeyboard(8, 0, 0);
    EXPECT_STREQ(editorState.entryText, "");
    EXPECT_EQ(editorState.editing, 1);
    type("123");
    onKeyboard(8, 0, 0);
    EXPECT_STREQ(editorState.entryText, "12");
    type("\b\b\b\b5");
    EXPECT_STREQ(editorState.entryText, "5");
    onKeyboard(13, 0, 0);
    EXPECT_EQ(entry(0, 1), 5.0f);
}

TEST_F(EntryStates, KeysWhileIdleAreLost) {
    type("42\r");
    onKeyboard(27, 0, 0);
    onKeyboard(8, 0, 0);
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_STREQ(editorState.entryText, "");
    press(540, 30);
    EXPECT_STREQ(editorState.entryText, "");
    onKeyboard(13, 0, 0);
    // Nothing typed before the entry reached it: the empty entry stores 0.
    EXPECT_EQ(entry(0, 1), 0.0f);
    for (int i = 0; i < 9; ++i) {
        if (i != 3) {
            EXPECT_EQ(editorState.matrix[i], (i % 4 == 0) ? 1.0f : 0.0f) << i;
        }
    }
}

TEST_F(EntryStates, ClickingAwayWithoutTypingStoresZero) {
    press(490, 30);
    press(100, 500);
    EXPECT_EQ(editorState.editing, 0);
    EXPECT_EQ(entry(0, 0), 0.0f);
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
    onKeyboard(8, 0, 0);
    onKeyboard('7', 0, 0);
    EXPECT_EQ(std::strlen(editorState.entryText), 99u);
    EXPECT_EQ(editorState.entryText[98], '7');
    onKeyboard(13, 0, 0);
    // 99 digits are far beyond single precision.
    EXPECT_EQ(editorState.matrix[0], std::numeric_limits<float>::infinity());
}

TEST_F(NumberReading, OnlyThePlainDecimalPrefixIsRead) {
    const struct {
        const char *text;
        float value;
    } cases[] = {
        {"1", 1.0f},        {"-0.5", -0.5f}, {"+3", 3.0f},     {"2.5abc", 2.5f},  {"  -1", -1.0f},
        {"\t7", 7.0f},      {"1e1", 10.0f},  {"1E-1", 0.1f},   {"1e+2x", 100.0f}, {"1e", 1.0f},
        {"1e+", 1.0f},      {"2E-", 2.0f},   {".5", 0.5f},     {"5.", 5.0f},      {"1.2.3", 1.2f},
        {"12.35", 12.35f},  {"0x10", 0.0f},  {"0X1p4", 0.0f},  {"inf", 0.0f},     {"-inf", 0.0f},
        {"INFINITY", 0.0f}, {"nan", 0.0f},   {"NAN(1)", 0.0f}, {"abc", 0.0f},     {".", 0.0f},
        {"-", 0.0f},        {"+.", 0.0f},    {"", 0.0f},       {"- 1", 0.0f},     {"e5", 0.0f},
        {"--1", 0.0f},      {"1 2", 1.0f},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(stored(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST_F(NumberReading, NumbersBeyondSinglePrecisionBecomeSignedInfinity) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(stored("1e39"), inf);
    EXPECT_EQ(stored("-1e39"), -inf);
    EXPECT_EQ(stored("340282350000000000000000000000000000000000"), inf);
    EXPECT_EQ(stored("3.4e38"), 3.4e38f);
    EXPECT_EQ(stored("1e-50"), 0.0f);
    EXPECT_FALSE(std::isnan(stored("1e99999999999999999999")));
}
