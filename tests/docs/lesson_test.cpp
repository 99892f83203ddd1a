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

std::string sheetPicture(const std::string &name) {
    return sourceDir + "/docs/images/lessons/" + name + ".png";
}

// The list for the picture tests; when it cannot be read they are not
// instantiated, and Sheet.StatesTheEntriesOfEveryExercise says why.
std::vector<Exercise> listOrNothing() {
    try {
        return theList();
    } catch (const std::exception &) {
        return {};
    }
}

std::string joined(const std::vector<std::string> &lines) {
    std::string result;
    for (const std::string &line : lines) {
        result += "\n  " + line;
    }
    return result;
}

// ---------------------------------------------------------------------
// The sheet against the list.

TEST(Sheet, StatesTheEntriesOfEveryExercise) {
    const std::vector<Exercise> list = theList();
    EXPECT_GE(list.size(), 8u);
    const std::vector<std::string> problems = disagreements(list, readSheet(theSheet()));
    EXPECT_TRUE(problems.empty()) << "docs/lessons.md disagrees with docs/lessons/exercises.txt:"
                                  << joined(problems);
}

// The check above finds each kind of mistake, made in the real sheet: the
// sheet as written, then read; or the sections as read, then changed.
TEST(Sheet, ItsCheckFindsEachKindOfMistake) {
    const std::vector<Exercise> list = theList();
    std::ifstream file(sourceDir + "/docs/lessons.md");
    const std::string sheet((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto rewritten = [&sheet](const std::string &from, const std::string &to) {
        std::string changed = sheet;
        const std::size_t at = changed.find(from);
        EXPECT_NE(at, std::string::npos) << "the sheet holds no " << from;
        std::istringstream in(at == std::string::npos ? changed : changed.replace(at, from.size(), to));
        return readSheet(readLines(in));
    };
    using Sections = std::vector<SheetExercise>;
    const Sections asRead = readSheet(theSheet());
    auto changed = [&asRead](void (*change)(Sections &)) {
        Sections s = asRead;
        change(s);
        return s;
    };
    const std::vector<std::pair<Sections, std::string>> mistakes = {
        {rewritten(" and press Enter.", " and press Return."), "cannot read the step"},
        {rewritten("Click the top-", "Click the bottom-"), "cannot read the step"},
        {rewritten("](images/lessons/", "](images/"), "has no section in the sheet"},
        {changed([](Sections &s) { s[0].matrices[0][0][0] = "1234.5"; }),
         "its matrix block shows 1234.5 as the top-left value, but typing the list's entries gives"},
        {changed([](Sections &s) { s[0].matrices[0][2][1] = "one"; }),
         "\"one\" as the bottom row's value 2, which is not a plain number"},
        {changed([](Sections &s) { s[0].matrices[0][1].push_back("0"); }),
         "row 2 of its matrix block has 4 values"},
        {changed([](Sections &s) { s[0].matrices[0].pop_back(); }), "has 2 rows"},
        {changed([](Sections &s) { s[0].matrices.push_back({}); }), "has 2 matrix blocks"},
        {changed([](Sections &s) { s[1].steps.pop_back(); }), "its steps type"},
        {changed([](Sections &s) { std::swap(s[1].steps, s[2].steps); }), "but the list types"},
        {changed([](Sections &s) { s[0].pictures.push_back("x"); }), "shows 2 pictures"},
        {changed([](Sections &s) { s[0].pictures = {"x"}; }), "no exercise of the list"},
        {changed([](Sections &s) { s[1].pictures = s[0].pictures; }), "again, after"},
    };
    for (const auto &[sections, said] : mistakes) {
        const std::vector<std::string> problems = disagreements(list, sections);
        EXPECT_NE(joined(problems).find(said), std::string::npos)
            << "not found: " << said << joined(problems);
    }
    // An exercise list that cannot be typed is refused, naming its line.
    for (const char *wrong : {"a 0,2=1", "a 3,0=1", "a 0,0", "a 0,0=0x10", "a 0,0=inf", "a follows-on",
                              "Shear 0,0=1", "a 0,0=1\na 1,1=2"}) {
        std::istringstream in(wrong);
        EXPECT_THROW(readExercises(in, "list"), std::runtime_error) << wrong;
    }
}

TEST(Sheet, ItsPictureFolderHoldsOnlyTheExercisesPictures) {
    std::vector<std::string> names;
    for (const Exercise &e : theList()) {
        names.push_back(e.name + ".png");
    }
    for (const auto &file : std::filesystem::directory_iterator(sourceDir + "/docs/images/lessons")) {
        const std::string name = file.path().filename().string();
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
            << file.path() << " is the picture of no exercise of docs/lessons/exercises.txt";
    }
}

// ---------------------------------------------------------------------
// Each exercise's picture.

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
    const Affine m = afterTyping(exercise.entries);
    for (const Stroke &s : figureStrokes) {
        for (int i = 0; i <= 10; ++i) {
            const double px = s.x1 + i * (s.x2 - s.x1) / 10, py = s.y1 + i * (s.y2 - s.y1) / 10;
            const double x = m.x(px, py), y = m.y(px, py);
            ASSERT_TRUE(x >= -49 && x <= 49 && y >= -45 && y <= 49)
                << "exercise " << exercise.name << " draws the figure out of view, at (" << x << ", " << y
                << ")";
            ASSERT_FALSE(x > 28 && y > 28)
                << "exercise " << exercise.name << " draws the figure under the matrix, at (" << x << ", "
                << y << ")";
        }
    }
}

// The sheet's picture shows the figure where the matrix puts it, and
// nothing of its colour elsewhere.
TEST_P(LessonPicture, ShowsTheFigureWhereTheMatrixPutsIt) {
    const Picture picture = Picture::loadPng(sheetPicture(GetParam().name));
    ASSERT_EQ(picture.width(), 600);
    ASSERT_EQ(picture.height(), 600);
    std::string why;
    EXPECT_TRUE(figureDrawnThrough(picture, afterTyping(GetParam().entries), &why))
        << sheetPicture(GetParam().name) << ": " << why;
}

// What the program draws once `entries` are typed into it as the sheet
// tells a teacher to (click the green value, type the number, press Enter)
// through real X input, compared pixel for pixel with the committed picture
// `committed`: llvmpipe draws the same pixels run after run. What it draws is
// kept in the build tree as NAME.png, where docs/lessons/pictures.sh takes
// the committed pictures from.
void expectDrawnAsCommitted(const std::string &name, const std::vector<Entry> &entries,
                            const std::string &committed) {
    const std::string fresh = std::string(OSTRIVANE_LESSON_PICTURES) + "/" + name + ".png";
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
    EXPECT_TRUE(Picture::loadPng(fresh) == Picture::loadPng(committed))
        << name << ": the program no longer draws " << committed << ". What it draws now is kept in " << fresh
        << ". If the change is meant, run bash docs/lessons/pictures.sh and check the text "
           "that shows the picture against the new one.";
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
    const std::vector<SheetExercise> sheet = readSheet(theSheet());
    for (const Exercise &exercise : theList()) {
        const auto section = std::find_if(sheet.begin(), sheet.end(), [&](const SheetExercise &s) {
            return s.pictures == std::vector<std::string>{exercise.name};
        });
        ASSERT_NE(section, sheet.end()) << "exercise " << exercise.name << " has no section in the sheet";
        EXPECT_FALSE(section->frames.empty())
            << "\"" << section->heading << "\" gives the worksheet no frame";
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        for (std::size_t typed = 0; typed <= exercise.entries.size(); ++typed) {
            const Affine m = afterTyping({exercise.entries.begin(), exercise.entries.begin() + typed});
            for (const Stroke &s : figureStrokes) {
                x0 = std::min({x0, m.x(s.x1, s.y1), m.x(s.x2, s.y2)});
                x1 = std::max({x1, m.x(s.x1, s.y1), m.x(s.x2, s.y2)});
                y0 = std::min({y0, m.y(s.x1, s.y1), m.y(s.x2, s.y2)});
                y1 = std::max({y1, m.y(s.x1, s.y1), m.y(s.x2, s.y2)});
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
