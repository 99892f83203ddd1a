// The lesson sheet, docs/lessons.md, against the program. Its pictures must
// be what the program draws today for the entries of
// docs/lessons/exercises.txt, typed through real X input; they must show the figure where the exercise's
// matrix puts it, clear of the matrix panel; and the sheet must state the
// list's entries, as its 3x3 matrix and as its click-and-type steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lesson_sheet.h"
#include "window_reading.h"
#include "x_driver.h"

namespace lessons {

// Names the exercise in the test's output.
void PrintTo(const Exercise &exercise, std::ostream *out) {
    *out << exercise.name;
}

namespace {

const std::string sourceDir = OSTRIVANE_SOURCE_DIR;
const std::string listPath = sourceDir + "/docs/lessons/exercises.txt";
const std::string sheetPath = sourceDir + "/docs/lessons.md";

std::string sheetPicture(const std::string &name) {
    return sourceDir + "/docs/images/lessons/" + name + ".png";
}

std::string freshPicture(const std::string &name) {
    return std::string(OSTRIVANE_LESSON_PICTURES) + "/" + name + ".png";
}

std::vector<Exercise> loadList() {
    std::ifstream in(listPath);
    if (!in) {
        throw std::runtime_error("cannot open " + listPath);
    }
    return readExercises(in, listPath);
}

// The list for the picture tests; when it cannot be read they are not
// instantiated, and ExerciseList.TheListReads says why.
std::vector<Exercise> listOrNothing() {
    try {
        return loadList();
    } catch (const std::exception &) {
        return {};
    }
}

std::vector<SheetExercise> sheetOf(const std::string &text) {
    std::istringstream in(text);
    return readSheet(in);
}

std::vector<Exercise> listOf(const std::string &text) {
    std::istringstream in(text);
    return readExercises(in, "list");
}

std::string joined(const std::vector<std::string> &lines) {
    std::string result;
    for (const std::string &line : lines) {
        result += "\n  " + line;
    }
    return result;
}

// ---------------------------------------------------------------------
// The exercise list.

TEST(ExerciseList, ReadsNamesAndEntriesInTypingOrder) {
    const std::vector<Exercise> list = listOf(
        "# a comment\n"
        "\n"
        "shear-x   1,0=1\n"
        "turn follows-on 0,0=0.866  1,0=-0.5 0,1=.5\t1,1=1e0\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_FALSE(list[0].followsOn);
    EXPECT_TRUE(list[1].followsOn);
    EXPECT_EQ(list[0].name, "shear-x");
    EXPECT_EQ(list[0].entries, (std::vector<Entry>{{1, 0, "1"}}));
    EXPECT_EQ(list[1].entries,
              (std::vector<Entry>{{0, 0, "0.866"}, {1, 0, "-0.5"}, {0, 1, ".5"}, {1, 1, "1e0"}}));
}

TEST(ExerciseList, RejectsWhatCannotBeTypedNamingTheLine) {
    struct Case {
        const char *text;
        const char *said;
    };
    const Case cases[] = {
        {"a 0,2=1\n", "list:1: \"0,2=1\" is not COLUMN,ROW=TEXT"},  // the fixed bottom row
        {"a 3,0=1\n", "list:1: \"3,0=1\""},
        {"a 0,0\n", "list:1: \"0,0\""},
        {"\na 0,0=0x10\n", "list:2: \"0x10\" in 0,0=0x10 is not a plain decimal number"},
        {"a 0,0=inf\n", "\"inf\" in 0,0=inf"},
        {"a 0,0=1.2.3\n", "\"1.2.3\""},
        {"a 0,0=-\n", "\"-\""},
        {"a\n", "list:1: exercise a types no entries"},
        {"a follows-on\n", "list:1: exercise a types no entries"},
        {"Shear 0,0=1\n", "\"Shear\" is not an exercise name"},
        {"a 0,0=1\n# b\na 1,1=2\n", "list:3: exercise a is listed already on line 1"},
    };
    for (const Case &c : cases) {
        try {
            listOf(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::runtime_error &error) {
            EXPECT_NE(std::string(error.what()).find(c.said), std::string::npos)
                << "for " << c.text << " it said: " << error.what();
        }
    }
}

TEST(ExerciseList, TheListReads) {
    std::vector<Exercise> list;
    ASSERT_NO_THROW(list = loadList());
    EXPECT_GE(list.size(), 8u);
}

// ---------------------------------------------------------------------
// The sheet's check, on small sheets.

const char *const agreeingSheet =
    "# Lessons\n"
    "\n"
    "```\n"
    "| a b tx |\n"
    "```\n"
    "\n"
    "## 1. Shear\n"
    "\n"
    "```matrix\n"
    "| 1  1  0 |\n"
    "| 0  1  0 |\n"
    "| 0  0  1 |\n"
    "```\n"
    "\n"
    "1. Click the top-middle value, type `1` and press Enter.\n"
    "\n"
    "![sheared](images/lessons/shear-x.png)\n"
    "\n"
    "## 2. Move\n"
    "\n"
    "```matrix\n"
    "[ 1  0  -20.0 ]\n"
    "[ 0  1  -30 ]\n"
    "[ 0  0    1 ]\n"
    "```\n"
    "\n"
    "1. Click the top-right value, type `-20` and press Enter.\n"
    "2. Click the middle-right value, type `-30` and press Enter.\n"
    "\n"
    "```frames\n"
    "-25 15 -35 15 After both steps\n"
    "```\n"
    "\n"
    "<div class=\"answer\">\n"
    "\n"
    "Every point moves left and down.\n"
    "\n"
    "![moved](images/lessons/move.png)\n"
    "\n"
    "</div>\n";

const char *const agreeingList =
    "shear-x 1,0=1\n"
    "move 2,0=-20 2,1=-30\n";

// The problems found once `from` is replaced by `to` in the agreeing sheet.
std::vector<std::string> problemsAfter(const std::string &from, const std::string &to) {
    std::string sheet = agreeingSheet;
    const std::size_t at = sheet.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "not in the sheet: " << from;
        return {};
    }
    sheet.replace(at, from.size(), to);
    return disagreements(listOf(agreeingList), sheetOf(sheet));
}

bool mentions(const std::vector<std::string> &problems, const std::string &text) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string &p) { return p.find(text) != std::string::npos; });
}

// The sheet above agrees with its list (its bracketed matrix, its steps,
// the picture inside its answer); each change below is found.
TEST(SheetCheck, FindsAMatrixThatDoesNotMatchTheEntries) {
    EXPECT_EQ(disagreements(listOf(agreeingList), sheetOf(agreeingSheet)), std::vector<std::string>{});
    const auto problems = problemsAfter("[ 0  1  -30 ]", "[ 0  1  30 ]");
    EXPECT_TRUE(mentions(problems,
                         "(exercise move): its matrix block shows 30 as the middle-right value, "
                         "but typing the list's entries gives -30"))
        << joined(problems);
    EXPECT_TRUE(mentions(problemsAfter("| 0  0  1 |\n```\n\n1. Click", "| 0  1  1 |\n```\n\n1. Click"),
                         "shows 1 as the bottom row's value 2"));
    EXPECT_TRUE(mentions(problemsAfter("| 1  1  0 |", "| 1  1  0  0 |"), "row 1 of its matrix block has 4"));
    EXPECT_TRUE(mentions(problemsAfter("| 1  1  0 |", "| 1  one  0 |"), "\"one\""));
    EXPECT_TRUE(mentions(problemsAfter("| 0  0  1 |\n```\n\n1. Click", "```\n\n1. Click"), "has 2 rows"));
    EXPECT_TRUE(mentions(problemsAfter("```matrix\n| 1  1", "```\n| 1  1"), "has 0 matrix blocks"));
    EXPECT_TRUE(
        mentions(problemsAfter("1. Click the top-middle", "```matrix\n1 0 0\n```\n1. Click the top-middle"),
                 "has 2 matrix blocks"));
}

TEST(SheetCheck, FindsStepsThatDoNotTypeTheEntries) {
    // A wrong place, a wrong text, a missing step, steps out of order.
    EXPECT_TRUE(mentions(problemsAfter("the top-middle value", "the middle-left value"),
                         "its steps type 1 into the middle-left, but the list types 1 into the top-middle"));
    EXPECT_TRUE(mentions(problemsAfter("type `-20`", "type `-2`"), "its steps type -2 into the top-right"));
    EXPECT_TRUE(mentions(problemsAfter("2. Click the middle-right value, type `-30` and press Enter.\n", ""),
                         "its steps type -20 into the top-right, but the list types -20 into the top-right, "
                         "-30 into the middle-right"));
    EXPECT_TRUE(
        mentions(problemsAfter("1. Click the top-right value, type `-20` and press Enter.\n"
                               "2. Click the middle-right value, type `-30` and press Enter.\n",
                               "1. Click the middle-right value, type `-30` and press Enter.\n"
                               "2. Click the top-right value, type `-20` and press Enter.\n"),
                 "(exercise move): its steps type -30 into the middle-right, -20 into the top-right"));
    // A step written otherwise is reported, not skipped.
    EXPECT_TRUE(mentions(problemsAfter("type `1` and press Enter.", "type 1 and press Enter."),
                         "cannot read the step \"1. Click the top-middle value, type 1 and press Enter.\""));
    EXPECT_TRUE(
        mentions(problemsAfter("Click the top-middle", "Click the bottom-middle"), "cannot read the step"));
}

TEST(SheetCheck, FindsPicturesThatDoNotMatchTheList) {
    EXPECT_TRUE(mentions(problemsAfter("![moved](images/lessons/move.png)\n", ""),
                         "section \"2. Move\" (line 19): shows 0 pictures"));
    EXPECT_TRUE(mentions(problemsAfter("![moved](images/lessons/move.png)\n", ""),
                         "exercise move has no section in the sheet"));
    EXPECT_TRUE(mentions(problemsAfter("lessons/move.png", "lessons/moved.png"),
                         "shows images/lessons/moved.png, which is no exercise of the list"));
    EXPECT_TRUE(mentions(problemsAfter("lessons/move.png", "lessons/shear-x.png"),
                         "shows exercise shear-x again, after section \"1. Shear\""));
    EXPECT_TRUE(mentions(problemsAfter("![sheared](images/lessons/shear-x.png)",
                                       "![a](images/lessons/shear-x.png) ![b](images/lessons/move.png)"),
                         "shows 2 pictures"));
}

// ---------------------------------------------------------------------
// The real sheet.

TEST(Sheet, StatesTheEntriesOfEveryExercise) {
    std::ifstream in(sheetPath);
    ASSERT_TRUE(in) << "cannot open " << sheetPath;
    const std::vector<std::string> problems = disagreements(loadList(), readSheet(in));
    EXPECT_TRUE(problems.empty()) << sheetPath << " disagrees with " << listPath << ":" << joined(problems);
}

TEST(Sheet, ItsPictureFolderHoldsOnlyTheExercisesPictures) {
    std::vector<std::string> names;
    for (const Exercise &e : loadList()) {
        names.push_back(e.name + ".png");
    }
    for (const auto &file : std::filesystem::directory_iterator(sourceDir + "/docs/images/lessons")) {
        const std::string name = file.path().filename().string();
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
            << file.path() << " is the picture of no exercise of " << listPath;
    }
}

// ---------------------------------------------------------------------
// Each exercise's picture.

// The figure's strokes where the matrix draws them: (x, y) goes to
// (m00·x + m01·y + m02, m10·x + m11·y + m12).
std::vector<Stroke> drawnThrough(const Matrix &matrix) {
    const auto &m = matrix.m;
    std::vector<Stroke> result;
    for (const Stroke &s : figureStrokes) {
        result.push_back(
            {m[0][0] * s.x1 + m[0][1] * s.y1 + m[0][2], m[1][0] * s.x1 + m[1][1] * s.y1 + m[1][2],
             m[0][0] * s.x2 + m[0][1] * s.y2 + m[0][2], m[1][0] * s.x2 + m[1][1] * s.y2 + m[1][2]});
    }
    return result;
}

double length(const Stroke &s) {
    return std::hypot(s.x2 - s.x1, s.y2 - s.y1);
}

double distanceTo(const Stroke &s, double x, double y) {
    const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
    const double squared = dx * dx + dy * dy;
    const double t = squared == 0 ? 0 : std::clamp(((x - s.x1) * dx + (y - s.y1) * dy) / squared, 0.0, 1.0);
    return std::hypot(s.x1 + t * dx - x, s.y1 + t * dy - y);
}

std::string nameOf(const testing::TestParamInfo<Exercise> &info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class LessonPicture : public testing::TestWithParam<Exercise> {};

// The whole figure lies inside the window, above the instruction line and
// outside the corner of the matrix panel (x and y beyond 29, with a unit to
// spare), so the class sees all of it and nothing covers it.
TEST_P(LessonPicture, KeepsTheFigureInViewAndClearOfThePanel) {
    const Exercise &exercise = GetParam();
    for (const Stroke &s : drawnThrough(afterTyping(exercise.entries))) {
        for (int i = 0; i <= 10; ++i) {
            const double x = s.x1 + i * (s.x2 - s.x1) / 10, y = s.y1 + i * (s.y2 - s.y1) / 10;
            if (!(x >= -49 && x <= 49 && y >= -45 && y <= 49)) {
                FAIL() << "exercise " << exercise.name << " draws the figure out of view, at (" << x << ", "
                       << y << ")";
            }
            if (x > 28 && y > 28) {
                FAIL() << "exercise " << exercise.name << " draws the figure under the matrix, at (" << x
                       << ", " << y << ")";
            }
        }
    }
}

// The sheet's picture shows every stroke of the figure where the matrix
// puts it, and no yellow anywhere else: a stroke of no length (as when the
// matrix sends the figure to a point) covers no pixel.
TEST_P(LessonPicture, ShowsTheFigureWhereTheMatrixPutsIt) {
    const Exercise &exercise = GetParam();
    const Picture picture = Picture::loadPng(sheetPicture(exercise.name));
    ASSERT_EQ(picture.width(), 600);
    ASSERT_EQ(picture.height(), 600);
    const std::vector<Stroke> strokes = drawnThrough(afterTyping(exercise.entries));
    const auto yellow = near(shade::figure);
    std::vector<std::string> missing;
    for (const Stroke &s : strokes) {
        if (length(s) < 0.5) {
            continue;
        }
        for (const double t : {0.25, 0.5, 0.75}) {
            const double x = s.x1 + t * (s.x2 - s.x1), y = s.y1 + t * (s.y2 - s.y1);
            if (!picture.hasNear(x, y, yellow)) {
                missing.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
            }
        }
    }
    EXPECT_TRUE(missing.empty()) << "exercise " << exercise.name << ": " << sheetPicture(exercise.name)
                                 << " shows no figure at " << missing.size()
                                 << " places where the matrix puts it:" << joined(missing);
    int stray = 0;
    for (int row = 0; row < picture.height(); ++row) {
        for (int column = 0; column < picture.width(); ++column) {
            if (!yellow(picture.at(column, row))) {
                continue;
            }
            const double x = (column + 0.5) * 100.0 / picture.width() - 50.0;
            const double y = 50.0 - (row + 0.5) * 100.0 / picture.height();
            double nearest = 1e9;
            for (const Stroke &s : strokes) {
                nearest = std::min(nearest, distanceTo(s, x, y));
            }
            // Lines may land a pixel off: allow a little over two pixels.
            if (nearest > 0.4 && ++stray <= 3) {
                ADD_FAILURE() << "exercise " << exercise.name << ": " << sheetPicture(exercise.name)
                              << " shows yellow at pixel (" << column << ", " << row << "), world (" << x
                              << ", " << y << "), " << nearest << " units from the figure";
            }
        }
    }
}

// What the program draws once `entries` are typed into it as the sheet
// tells a teacher to (click the green value, type the number, press Enter)
// through real X input, compared pixel for pixel with the committed picture
// `committed`: llvmpipe draws the same pixels run after run. What it draws is
// kept in the build tree as NAME.png, where docs/lessons/pictures.sh takes
// the committed pictures from.
void expectDrawnAsCommitted(const std::string &name, const std::vector<Entry> &entries,
                            const std::string &committed) {
    const std::string fresh = freshPicture(name);
    std::filesystem::create_directories(OSTRIVANE_LESSON_PICTURES);
    std::filesystem::remove(fresh);
    {
        e2e::VirtualDisplay display;
        e2e::ProgramWindow window(e2e::targetFromEnvironment(), display);
        for (const Entry &entry : entries) {
            e2e::typeEntry(window, entry.column, entry.row, entry.text);
        }
        window.grab().savePng(fresh);
    }
    const Picture now = Picture::loadPng(fresh);
    const Picture sheet = Picture::loadPng(committed);
    if (now == sheet) {
        return;
    }
    std::ostringstream difference;
    if (now.width() != sheet.width() || now.height() != sheet.height()) {
        difference << "it is " << now.width() << "x" << now.height() << " pixels, the committed "
                   << sheet.width() << "x" << sheet.height();
    } else {
        int count = 0, firstColumn = -1, firstRow = -1;
        for (int row = 0; row < now.height(); ++row) {
            for (int column = 0; column < now.width(); ++column) {
                if (!(now.at(column, row) == sheet.at(column, row)) && count++ == 0) {
                    firstColumn = column;
                    firstRow = row;
                }
            }
        }
        difference << count << " pixels differ, the first at column " << firstColumn << ", row " << firstRow;
    }
    ADD_FAILURE() << name << ": the program no longer draws " << committed << " (" << difference.str()
                  << "). What it draws now is kept in " << fresh
                  << ". If the change is meant, run bash docs/lessons/pictures.sh and check the text that "
                  << "shows the picture against the new one.";
}

TEST_P(LessonPicture, IsWhatTheProgramDraws) {
    expectDrawnAsCommitted(GetParam().name, GetParam().entries, sheetPicture(GetParam().name));
}

// The README's picture: the top-middle entry set to 1.
TEST(ReadmePicture, IsWhatTheProgramDraws) {
    expectDrawnAsCommitted("window", {{1, 0, "1"}}, sourceDir + "/docs/images/window.png");
}

// Every exercise gives the worksheet at least one frame to sketch in, and
// each of its frames holds the figure where it starts and after each step
// of the exercise with 5 units to spare on every side, so that no point to
// predict falls on the frame's edge.
TEST(Sheet, GivesEveryExerciseFramesThatHoldEveryStepWithRoomToSpare) {
    std::ifstream in(sheetPath);
    ASSERT_TRUE(in) << "cannot open " << sheetPath;
    const std::vector<SheetExercise> sheet = readSheet(in);
    for (const Exercise &exercise : loadList()) {
        const auto section = std::find_if(sheet.begin(), sheet.end(), [&](const SheetExercise &s) {
            return s.pictures == std::vector<std::string>{exercise.name};
        });
        ASSERT_NE(section, sheet.end()) << "exercise " << exercise.name << " has no section in the sheet";
        EXPECT_FALSE(section->frames.empty())
            << "\"" << section->heading << "\" gives the worksheet no frame";
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        for (std::size_t typed = 0; typed <= exercise.entries.size(); ++typed) {
            const std::vector<Entry> steps(exercise.entries.begin(), exercise.entries.begin() + typed);
            for (const Stroke &s : drawnThrough(afterTyping(steps))) {
                x0 = std::min({x0, s.x1, s.x2});
                x1 = std::max({x1, s.x1, s.x2});
                y0 = std::min({y0, s.y1, s.y2});
                y1 = std::max({y1, s.y1, s.y2});
            }
        }
        for (const Frame &frame : section->frames) {
            EXPECT_TRUE(frame.x0 <= x0 - 5 && frame.x1 >= x1 + 5 && frame.y0 <= y0 - 5 && frame.y1 >= y1 + 5)
                << "\"" << section->heading << "\": the frame \"" << frame.caption << "\" spans x "
                << frame.x0 << " to " << frame.x1 << " and y " << frame.y0 << " to " << frame.y1
                << ", but the figure reaches x " << x0 << " to " << x1 << " and y " << y0 << " to " << y1
                << ", and needs 5 units round it";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lessons, LessonPicture, testing::ValuesIn(listOrNothing()), nameOf);

}  // namespace
}  // namespace lessons
