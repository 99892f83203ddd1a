// Reading the lesson sheet (docs/lessons.md) and its exercise list
// (docs/lessons/exercises.txt), and finding where the two disagree.
#ifndef OSTRIVANE_LESSON_SHEET_H
#define OSTRIVANE_LESSON_SHEET_H

#include <istream>
#include <string>
#include <vector>

#include "picture.h"

namespace lessons {

// The text with every run of white space made one blank, as pdftotext and
// the sheet's hand-aligned columns break and pad where they like.
std::string squeezed(const std::string &text);

// One value typed by a teacher: the green value in `column` (0 left, 1
// middle, 2 right) and `row` (0 top, 1 middle), and the text typed into it.
struct Entry {
    int column = 0;
    int row = 0;
    std::string text;
};

bool operator==(const Entry &a, const Entry &b);

// One exercise of the list: the name of its picture
// (docs/images/lessons/NAME.png) and its entries, in the order typed.
struct Exercise {
    std::string name;
    std::vector<Entry> entries;
    // Marked "follows-on" in the list: typed straight after the exercise
    // before it, it ends on its own matrix.
    bool followsOn = false;
};

// Reads the exercise list: one exercise a line, "NAME [follows-on] C,R=TEXT ...",
// '#' starting a comment line. Throws std::runtime_error naming `fileName`
// and the line at fault.
std::vector<Exercise> readExercises(std::istream &in, const std::string &fileName);

// The identity with the entries typed over it in order, each value as the
// program stores it (single precision): what the matrix's top two rows do.
Affine afterTyping(const std::vector<Entry> &entries);

// One frame of the worksheet, a line "X0 X1 Y0 Y1 CAPTION" of a "```frames"
// block: the axes from x0 to x1 and from y0 to y1, for the prediction the
// caption names.
struct Frame {
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    std::string caption;
};

// Which copy a line prints in: inside <div class="teacher"> or "answer" the
// teacher's only, inside <div class="student"> the worksheet's only.
enum class Copy { both, teacher, worksheet };

// One line of the sheet, the copy it prints in and the kind of fenced block
// it opens or stands in ("" outside one); a closing fence reads as "".
struct SheetLine {
    std::string text;
    Copy copy = Copy::both;
    std::string fence;
    bool opensFence = false;
};

// The one reader of the sheet.
std::vector<SheetLine> readLines(std::istream &in);

// docs/lessons.md and docs/lessons/exercises.txt read as above; throw
// std::runtime_error when a file cannot be read.
std::vector<SheetLine> theSheet();
std::vector<Exercise> theList();

// The lines of every fenced block of `kind`, one entry a block.
std::vector<std::vector<std::string>> fencedBlocks(const std::vector<SheetLine> &lines, const char *kind);

// One section of the sheet (from one "## " heading to the next) that holds
// an exercise: a picture of images/lessons/, a "```matrix" block, a step
// "N. Click the PLACE value, type `TEXT` and press Enter." or an answer
// block.
struct SheetExercise {
    std::string heading;
    int line = 0;                       // line number of the heading
    std::vector<std::string> pictures;  // NAMEs of images/lessons/NAME.png
    // The rows of each matrix block, each row split into its words ('|',
    // '[' and ']' left out).
    std::vector<std::vector<std::vector<std::string>>> matrices;
    std::vector<Entry> steps;
    std::vector<std::string> unreadSteps;  // lines starting like a step that do not read as one
    // The text of each answer block, from a line <div class="answer"> to
    // the next </div>, its lines as written (fenced blocks left out).
    std::vector<std::string> answers;
    std::vector<Frame> frames;  // the worksheet's, from its "```frames" blocks
};

std::vector<SheetExercise> readSheet(const std::vector<SheetLine> &lines);

// Everything the sheet gets wrong against the list, one sentence each;
// empty when every exercise of the list has one section in the sheet whose
// picture, matrix and steps are those of the list, and no section shows
// anything else.
std::vector<std::string> disagreements(const std::vector<Exercise> &list,
                                       const std::vector<SheetExercise> &sheet);

}  // namespace lessons

#endif
