// What the lesson sheet, docs/lessons.md, tells a teacher besides its
// exercises, checked against the program: the texts of its "How numbers are
// read" box, typed into the real editor and ended each way the box names,
// store the numbers it gives; and the exercises it says can follow on from
// the one before without going back to the identity are exactly those that
// end on their own matrix when typed over the one before.
#include <gtest/gtest.h>

#include <cmath>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor_state.h"
#include "entry_input.h"
#include "glut_include.h"
#include "lesson_sheet.h"
#include "panel_geometry.h"
#include "test_support.h"
#include "window_reading.h"
#include "x_driver.h"

namespace {

const std::string sourceDir = OSTRIVANE_SOURCE_DIR;

std::vector<std::string> sheetLines() {
    std::ifstream in(sourceDir + "/docs/lessons.md");
    EXPECT_TRUE(in) << "cannot open docs/lessons.md";
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The paragraph (or quoted box) that starts with `opening`, its lines
// joined by spaces; empty when the sheet has none.
std::string paragraphStarting(const std::string &opening) {
    const std::vector<std::string> lines = sheetLines();
    std::string text;
    bool inside = false;
    for (const std::string &line : lines) {
        if (!inside && line.find(opening) != std::string::npos) {
            inside = true;
        }
        if (inside) {
            const bool quoted = line.rfind(">", 0) == 0;
            if (line.empty() || (text.rfind(">", 0) == 0 && !quoted)) {
                break;
            }
            text += line + "\n";
        }
    }
    return text;
}

// ---------------------------------------------------------------------
// How numbers are read.

struct Reading {
    std::string typed;   // "" for an empty entry
    std::string stored;  // as the sheet writes it
};

std::string trimmed(const std::string &text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The box's table rows: "> | `TEXT` | NUMBER | why |", or "(nothing)" for an
// empty entry.
std::vector<Reading> readings() {
    std::vector<Reading> result;
    std::istringstream box(paragraphStarting("**How numbers are read.**"));
    for (std::string line; std::getline(box, line);) {
        if (line.rfind(">", 0) != 0) {
            continue;
        }
        std::istringstream row(trimmed(line.substr(1)));
        if (row.get() != '|') {
            continue;
        }
        std::vector<std::string> cells;
        for (std::string cell; std::getline(row, cell, '|');) {
            cells.push_back(trimmed(cell));
        }
        if (cells.size() < 2) {
            continue;
        }
        const std::string &typed = cells[0];
        if (typed == "(nothing)") {
            result.push_back({"", cells[1]});
        } else if (typed.size() >= 2 && typed.front() == '`' && typed.back() == '`') {
            result.push_back({typed.substr(1, typed.size() - 2), cells[1]});
        }
    }
    return result;
}

// The pixel of a world x along a 600-pixel side (a row from the top is that
// of -y).
int pixelOf(double world) {
    return static_cast<int>(std::floor((world + 50.0) * 6.0));
}

// The pixel of an editable value's centre in a 600x600 window.
int pixelColumn(int column) {
    return pixelOf(cells::centreX(column));
}

int pixelRow(int row) {
    return pixelOf(-cells::centreY(row));
}

void click(int x, int y) {
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
}

void type(const std::string &keys) {
    for (const char key : keys) {
        onKeyboard(static_cast<unsigned char>(key), 0, 0);
    }
}

TEST(NumbersBox, ListsItsExamples) {
    EXPECT_GE(readings().size(), 5u) << "the sheet's \"How numbers are read\" box has lost its table";
}

// The top-left value is clicked and the text typed, then the entry is ended
// by Enter, by Esc, by a click elsewhere in the window, by a stray click
// just beside the matrix and by a click on another green value: each stores
// the box's number, and the last starts the value clicked.
TEST(NumbersBox, EveryExampleStoresTheNumberGiven) {
    struct Ending {
        const char *name;
        void (*end)();
    };
    const Ending endings[] = {
        {"Enter", [] { type("\r"); }},
        {"Esc", [] { type("\x1b"); }},
        {"a click in the middle of the window", [] { click(300, 300); }},
        {"a stray click just left of the matrix", [] { click(pixelOf(27), pixelRow(0)); }},
        {"a click on the top-middle value", [] { click(pixelColumn(1), pixelRow(0)); }},
    };
    for (const Reading &reading : readings()) {
        const float expected = std::stof(reading.stored);
        for (const Ending &ending : endings) {
            resetEditorState();
            editorState.windowWidth = 600;
            editorState.windowHeight = 600;
            click(pixelColumn(0), pixelRow(0));
            ASSERT_EQ(editorState.editing, 1);
            type(reading.typed);
            ending.end();
            EXPECT_EQ(editorState.matrix[0], expected)
                << "\"" << reading.typed << "\" ended by " << ending.name << " stores "
                << editorState.matrix[0] << ", the sheet says " << reading.stored;
        }
        EXPECT_EQ(editorState.editing, 1);
        EXPECT_EQ(editorState.selectedColumn, 1);
        EXPECT_EQ(editorState.selectedRow, 0);
    }
}

// ---------------------------------------------------------------------
// Exercises that follow on.

bool sameMatrix(const lessons::Matrix &a, const lessons::Matrix &b) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (a.m[r][c] != b.m[r][c]) {
                return false;
            }
        }
    }
    return true;
}

TEST(FollowOn, TheSheetNamesExactlyTheExercisesThatFollowOn) {
    const std::string paragraph = paragraphStarting("**Exercises that follow on.**");
    const std::size_t end = paragraph.find("can be typed");
    ASSERT_NE(end, std::string::npos) << "the sheet no longer says which exercises follow on";
    std::set<int> stated;
    std::istringstream names(paragraph.substr(0, end));
    for (std::string word; names >> word;) {
        if (std::isdigit(static_cast<unsigned char>(word[0]))) {
            stated.insert(std::atoi(word.c_str()));
        }
    }

    std::map<std::string, lessons::Exercise> byName;
    ASSERT_NO_THROW(byName = lessons::exercisesByName(sourceDir + "/docs/lessons/exercises.txt"));
    std::ifstream sheetFile(sourceDir + "/docs/lessons.md");
    // Exercise N is the section headed "N. ..."; its picture names it in the list.
    std::map<int, lessons::Exercise> numbered;
    for (const lessons::SheetExercise &section : lessons::readSheet(sheetFile)) {
        const int n = std::atoi(section.heading.c_str());
        if (n > 0 && section.pictures.size() == 1 && byName.count(section.pictures[0])) {
            numbered[n] = byName[section.pictures[0]];
        }
    }
    ASSERT_GE(numbered.size(), 2u);

    std::set<int> actual;
    for (const auto &[n, exercise] : numbered) {
        if (!numbered.count(n - 1)) {
            continue;
        }
        std::vector<lessons::Entry> both = numbered[n - 1].entries;
        both.insert(both.end(), exercise.entries.begin(), exercise.entries.end());
        if (sameMatrix(lessons::afterTyping(both), lessons::afterTyping(exercise.entries))) {
            actual.insert(n);
        }
    }
    auto listed = [](const std::set<int> &numbers) {
        std::string text;
        for (const int n : numbers) {
            text += " " + std::to_string(n);
        }
        return text;
    };
    EXPECT_EQ(stated, actual) << "the sheet says exercises" << listed(stated)
                              << " follow on from the one before, but typed over it these end on their own "
                                 "matrix:"
                              << listed(actual);
}

}  // namespace
