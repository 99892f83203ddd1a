// What the lesson sheet, docs/lessons.md, tells a teacher besides its
// exercises, checked against the program through structured data: the
// examples of its ```readings block, typed into the real editor and ended
// each way the box names, store the numbers it gives; and the exercises the
// exercise list marks "follows-on" are exactly those that, typed into the
// editor straight after the exercise before them, end on their own matrix.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "lesson_sheet.h"
#include "panel_geometry.h"
#include "test_support.h"

namespace {

// ---------------------------------------------------------------------
// How numbers are read.

struct Reading {
    std::string typed;   // "" for an empty entry
    std::string stored;  // as the sheet writes it
};

// The rows of the sheet's ```readings blocks: "TYPED | STORED | WHY", with
// "(nothing)" for an empty entry.
std::vector<Reading> readings() {
    std::vector<Reading> result;
    for (const std::vector<std::string> &block : lessons::fencedBlocks(lessons::theSheet(), "readings")) {
        for (const std::string &line : block) {
            std::istringstream row(line);
            std::string typed, stored;
            if (std::getline(row, typed, '|') && std::getline(row, stored, '|')) {
                typed = lessons::squeezed(typed);
                result.push_back({typed == "(nothing)" ? "" : typed, lessons::squeezed(stored)});
            }
        }
    }
    return result;
}

// A fresh editor in a 600x600 window, and a click on the centre of one of
// its editable values.
void freshEditor() {
    resetEditorState();
    editorState.windowWidth = editorState.windowHeight = 600;
}

void clickValue(int column, int row) {
    click(cells::pixelX(cells::centreX(column)), cells::pixelY(cells::centreY(row)));
}

// The top-left value is clicked and the text typed, then the entry is ended
// by Enter, by Esc, by a click elsewhere in the window, by a stray click
// just beside the matrix and by a click on another green value: each stores
// the box's number, and the last starts the value clicked.
TEST(NumbersBox, EveryExampleStoresTheNumberGiven) {
    EXPECT_GE(readings().size(), 5u) << "the sheet's ```readings block has lost its examples";
    struct Ending {
        const char *name;
        void (*end)();
    };
    const Ending endings[] = {
        {"Enter", [] { type("\r"); }},
        {"Esc", [] { type("\x1b"); }},
        {"a click in the middle of the window", [] { click(300, 300); }},
        {"a stray click just left of the matrix",
         [] { click(cells::pixelX(27), cells::pixelY(cells::centreY(0))); }},
        {"a click on the top-middle value", [] { clickValue(1, 0); }},
    };
    for (const Reading &reading : readings()) {
        const float expected = std::stof(reading.stored);
        for (const Ending &ending : endings) {
            freshEditor();
            clickValue(0, 0);
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

// The editor's matrix after the entries are typed into it, as a teacher
// does: a click on the value, the text, Enter.
std::vector<float> typedIntoTheEditor(const std::vector<lessons::Entry> &entries, bool fresh = true) {
    if (fresh) {
        freshEditor();
    }
    for (const lessons::Entry &e : entries) {
        clickValue(e.column, e.row);
        type(e.text + "\r");
    }
    return std::vector<float>(editorState.matrix, editorState.matrix + 9);
}

TEST(FollowOn, TheListMarksExactlyTheExercisesThatFollowOn) {
    const std::vector<lessons::Exercise> exercises = lessons::theList();
    // The list is in the sheet's order, so that "the exercise before" is the
    // same in both.
    std::vector<std::string> sheetOrder, listOrder;
    for (const lessons::SheetExercise &section : lessons::readSheet(lessons::theSheet())) {
        sheetOrder.insert(sheetOrder.end(), section.pictures.begin(), section.pictures.end());
    }
    for (const lessons::Exercise &e : exercises) {
        listOrder.push_back(e.name);
    }
    EXPECT_EQ(listOrder, sheetOrder);
    ASSERT_GE(exercises.size(), 2u);
    EXPECT_FALSE(exercises[0].followsOn) << exercises[0].name << " has no exercise before it";
    for (std::size_t i = 1; i < exercises.size(); ++i) {
        const std::vector<float> alone = typedIntoTheEditor(exercises[i].entries);
        typedIntoTheEditor(exercises[i - 1].entries);
        const std::vector<float> after = typedIntoTheEditor(exercises[i].entries, false);
        EXPECT_EQ(exercises[i].followsOn, after == alone)
            << exercises[i].name
            << (after == alone ? " ends on its own matrix" : " does not end on its own matrix")
            << " typed after " << exercises[i - 1].name << ", but the list "
            << (exercises[i].followsOn ? "marks" : "does not mark") << " it follows-on";
    }
}

}  // namespace
