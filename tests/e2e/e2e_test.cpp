// The built program, started as a user starts it on its own X server,
// answering real mouse and keyboard input; every check reads the window's
// pixels. A failed check keeps the picture it looked at as a PNG in the
// build tree and names it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "window_reading.h"
#include "x_driver.h"

namespace e2e {
namespace {

const Cell noEntry{-1, -1};
const Rgb focusMark{255, 255, 255};

// Window sizes taller than wide and wider than tall that every target
// accepts (Firefox keeps its windows at least about 500 pixels wide).
const std::pair<int, int> tall{520, 760}, wide{1000, 600};

// The head's top vertex at (x, 10): yellow there, none just above it.
bool headTopAt(const Picture &p, double x) {
    const double y = 10;
    return p.hasNear(x, y, near(shade::figure)) &&
           p.countIn(x - 1.5, y + 0.8, x + 1.5, y + 2.5, near(shade::figure)) == 0;
}

// The axes across the whole world square and ticks every five units, at
// their world positions whatever the window's size.
bool axesDrawn(const Picture &p) {
    for (const double v : {-47.5, -32.5, -17.5, 17.5, 32.5, 47.5}) {
        if (!p.hasNear(v, 0, near(shade::axis)) || !p.hasNear(0, v * 0.9, near(shade::axis))) {
            return false;
        }
    }
    for (const double t : {-45.0, -20.0, 20.0, 45.0}) {
        if (!p.hasNear(t, 0.6, near(shade::tick)) || !p.hasNear(0.6, t, near(shade::tick))) {
            return false;
        }
    }
    return true;
}

// The panel shows the identity: the three diagonal entries read alike, the
// six others read alike and differently; editable rows green, the fixed
// row cyan; no entry in progress.
bool panelShowsIdentity(const Picture &p) {
    const auto green = near(shade::editableValue);
    const auto cyan = near(shade::fixedValue);
    const auto one = cellText(p, 0, 0, green);
    const auto zero = cellText(p, 1, 0, green);
    return !one.empty() && !zero.empty() && one != zero && cellText(p, 1, 1, green) == one &&
           cellText(p, 2, 2, cyan) == one && cellText(p, 2, 0, green) == zero &&
           cellText(p, 0, 1, green) == zero && cellText(p, 2, 1, green) == zero &&
           cellText(p, 0, 2, cyan) == zero && cellText(p, 1, 2, cyan) == zero &&
           highlightedEntry(p) == noEntry;
}

bool instructionsShown(const Picture &p) {
    return p.countIn(-48, -48.5, -10, -46, near(shade::instructions)) > 50;
}

// An entry in progress on the cell: its box, its text in red (`typed`
// says whether any text shows).
bool entryInProgress(const Picture &p, Cell cell, bool typed) {
    return highlightedEntry(p) == cell &&
           cellText(p, cell.column, cell.row, near(shade::entryText)).empty() != typed &&
           cellText(p, cell.column, cell.row, near(shade::editableValue)).empty();
}

// Every other build shows, at every checkpoint, what the desktop program
// shows for the same input: a twin of the desktop program runs beside it on
// a display of its own and gets the same input. Text, boxes and the places
// of things must match; a line may land a few pixels off where another
// renderer draws it (lineSlack), and the pulsing box may be at another
// step of its swing.
bool sameAsDesktop(const Picture &p, const Picture &desktop, int lineSlack) {
    if (p.width() != desktop.width() || p.height() != desktop.height()) {
        return false;
    }
    // The page marks the entry the keyboard focused in white, which the
    // program never draws.
    auto alike = [](Rgb a, Rgb b) {
        return sameColour(a, b) || (isHighlight(a) && isHighlight(b)) || a == focusMark || b == focusMark;
    };
    // Some pixel of the colour within `slack` pixels of (column, row) in q.
    auto nearIn = [&](const Picture &q, int column, int row, Rgb colour, int slack) {
        for (int r = row - slack; r <= row + slack; ++r) {
            for (int c = column - slack; c <= column + slack; ++c) {
                if (alike(q.at(c, r), colour)) {
                    return true;
                }
            }
        }
        return false;
    };
    for (int row = 0; row < p.height(); ++row) {
        for (int column = 0; column < p.width(); ++column) {
            // The panel and the instruction line are text and boxes.
            const bool panel = (column >= p.columnOf(28) && row <= p.rowOf(28)) || row >= p.rowOf(-45);
            const int slack = panel ? 0 : lineSlack;
            if (!nearIn(desktop, column, row, p.at(column, row), slack) ||
                !nearIn(p, column, row, desktop.at(column, row), slack)) {
                return false;
            }
        }
    }
    return true;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Pictures kept by an earlier run of this test are out of date.
        target_ = targetFromEnvironment();
        const std::string prefix = picturePrefix();
        for (const auto &entry : std::filesystem::directory_iterator(OSTRIVANE_E2E_FAILURES)) {
            const std::string path = entry.path().string();
            if (path.compare(0, prefix.size(), prefix) == 0) {
                std::filesystem::remove_all(entry.path());
            }
        }
        display_ = std::make_unique<VirtualDisplay>();
        if (target_.screenReader) {
            reader_ = std::make_unique<ScreenReader>(*display_, picturePrefix() + "orca");
        }
        program_ = std::make_unique<ProgramWindow>(target_, *display_);
        if (target_.name != "desktop") {
            twinDisplay_ = std::make_unique<VirtualDisplay>();
            twin_ = std::make_unique<ProgramWindow>(Target{"desktop", {OSTRIVANE_PROGRAM}}, *twinDisplay_);
        }
    }

    void TearDown() override {
        if (program_ != nullptr && program_->running()) {
            if (HasFailure() && !kept_) {
                ADD_FAILURE() << "the window at the end of the test is kept in " << keep(program_->grab());
            }
            if (target_.silent) {
                EXPECT_EQ(program_->printed(), "") << "the program wrote on its terminal";
            }
        }
        if (reader_ != nullptr) {
            std::ofstream transcript(picturePrefix() + "orca/spoken.txt");
            for (const std::string &utterance : reader_->spoken()) {
                transcript << utterance << "\n";
            }
        }
    }

    // Named by the target and the test, as CTest names it.
    std::string picturePrefix() const {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string(OSTRIVANE_E2E_FAILURES) + "/" + target_.name + "." + info->test_suite_name() +
               "." + info->name() + "-";
    }

    // Keeps a picture next to the test's output; gives its path.
    std::string keep(const Picture &picture) {
        const std::string path = picturePrefix() + std::to_string(++kept_) + ".png";
        try {
            picture.savePng(path);
        } catch (const std::exception &error) {
            return std::string("(nowhere: ") + error.what() + ")";
        }
        return path;
    }

    // Waits until the window shows `what`. Beside a desktop twin, the twin
    // must show `what` too once it has handled all input, and the window
    // must come to show the twin's picture. On a timeout the pictures are
    // kept and named.
    ::testing::AssertionResult shows(const std::string &what,
                                     const std::function<bool(const Picture &)> &accepts,
                                     Picture *seen = nullptr) {
        Picture desktop, last;
        // The input sent so far is handled first: on the desktop program
        // that takes a few frames, other builds are waited for below.
        program_->settle();
        if (twin_ != nullptr && (!twin_->settle() || !twin_->waitUntil(accepts, &desktop))) {
            return ::testing::AssertionFailure() << "the desktop twin never showed " << what
                                                 << "; its picture is kept in " << keep(desktop);
        }
        const auto asDesktop = [&](const Picture &p) {
            return accepts(p) && (twin_ == nullptr || sameAsDesktop(p, desktop, target_.lineSlack));
        };
        if (!program_->waitUntil(asDesktop, &last)) {
            auto failure = ::testing::AssertionFailure();
            failure << "the window never showed " << what;
            if (twin_ != nullptr) {
                failure << " as the desktop program does (its picture is kept in " << keep(desktop) << ")";
            }
            return failure << " in time; the last picture is kept in " << keep(last);
        }
        if (seen != nullptr) {
            *seen = last;
        }
        return ::testing::AssertionSuccess();
    }

    // Waits until no entry is in progress and the figure is drawn through
    // `m`, its head's top at (headX, 10).
    ::testing::AssertionResult figureShows(const std::string &what, const Affine &m, double headX) {
        return shows(what, [&](const Picture &p) {
            return highlightedEntry(p) == noEntry && headTopAt(p, headX) && figureDrawnThrough(p, m);
        });
    }

    // Waits until the entry in progress on `cell` shows typed text.
    ::testing::AssertionResult typedShows(const std::string &what, Cell cell, Picture *seen = nullptr) {
        return shows(
            what, [&](const Picture &p) { return entryInProgress(p, cell, true); }, seen);
    }

    // A check of one picture; on failure the picture is kept and named.
    ::testing::AssertionResult holds(const Picture &picture, bool ok, const std::string &what) {
        if (ok) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the window does not show " << what << "; the picture is kept in " << keep(picture);
    }

    // Input, to the program and its desktop twin alike.
    template <typename Send>
    void toBoth(Send send) {
        send(*program_);
        if (twin_ != nullptr) {
            send(*twin_);
        }
    }
    void clickEntry(Cell at, int button = 1) {
        toBoth([&](ProgramWindow &w) { w.click(cells::centreX(at.column), cells::centreY(at.row), button); });
    }
    // Clicks the entry and, as a user does, waits for its empty box before
    // typing: under Wine a key sent while the click is still being handled
    // can be lost.
    ::testing::AssertionResult startEntry(Cell cell) {
        clickEntry(cell);
        // Only the box and no text of the entry's own: in a squeezed window a
        // neighbour's value reaches into the cell.
        return shows(
            "an empty entry on cell (" + std::to_string(cell.column) + ", " + std::to_string(cell.row) + ")",
            [&](const Picture &p) {
                return highlightedEntry(p) == cell &&
                       cellText(p, cell.column, cell.row, near(shade::entryText)).empty();
            });
    }
    void typeText(const std::string &text) {
        toBoth([&](ProgramWindow &w) { w.typeText(text); });
    }
    void pressKey(const std::string &keys) {
        toBoth([&](ProgramWindow &w) { w.pressKey(keys); });
    }
    // The twin's window is the target's drawing area in a window of that
    // size.
    Target::Area resize(std::pair<int, int> size) {
        const Target::Area area = target_.drawingArea(size.first, size.second);
        program_->resize(size.first, size.second);
        if (twin_ != nullptr) {
            twin_->resize(area.width, area.height);
        }
        return area;
    }

    Target target_;
    // Destroyed in reverse order: the programs before the screen reader,
    // and it before the displays.
    std::unique_ptr<VirtualDisplay> display_, twinDisplay_;
    std::unique_ptr<ScreenReader> reader_;
    std::unique_ptr<ProgramWindow> program_, twin_;
    int kept_ = 0;
};

TEST_F(EndToEnd, OpensA600By600WindowAt10_10TitledOstrivaneAndIgnoresKeysBeforeAnyEntry) {
    const ProgramWindow::Geometry g = program_->geometry();
    EXPECT_EQ(g.x, 10 + target_.offsetX);
    EXPECT_EQ(g.y, 10 + target_.offsetY);
    EXPECT_EQ(g.width, 600);
    EXPECT_EQ(g.height, 600);
    EXPECT_EQ(program_->title(), target_.title);
    EXPECT_TRUE(shows("the axes with their ticks", axesDrawn));
    EXPECT_TRUE(shows("the figure drawn through the identity",
                      [](const Picture &p) { return figureDrawnThrough(p, {}) && headTopAt(p, 3); }));
    EXPECT_TRUE(shows("the instruction line", instructionsShown));
    Picture before;
    ASSERT_TRUE(shows("the identity matrix, no entry in progress", panelShowsIdentity, &before));

    // Keys before any entry do nothing, and Esc does not close the window.
    typeText("5x");
    pressKey("BackSpace");
    pressKey("Return");
    pressKey("Escape");
    ASSERT_TRUE(program_->settle()) << (program_->running() ? "no more frames" : "the program has ended");
    const Picture after = program_->grab();
    EXPECT_TRUE(holds(after, after == before, "the same picture as before the keys"));
    // Nothing was queued either: a new entry starts empty, and storing it
    // (0 over 0) leaves the picture as it was.
    ASSERT_TRUE(startEntry({2, 1}));
    pressKey("Return");
    EXPECT_TRUE(shows("the first picture again", [&](const Picture &p) { return p == before; }));
}

TEST_F(EndToEnd, OneEditShearsTheFigureAndEscCommitsTheNext) {
    const Cell topMiddle{1, 0};
    ASSERT_TRUE(startEntry(topMiddle));
    typeText("1");
    ASSERT_TRUE(typedShows("the typed 1 in red", topMiddle));
    pressKey("Return");
    Affine shear;
    shear.b = 1;
    ASSERT_TRUE(figureShows("the sheared figure with its head top at (13, 10)", shear, 13));
    // The stored 1 reads like the diagonal's 1.00.
    const auto green = near(shade::editableValue);
    EXPECT_TRUE(shows("1.00 in the top-middle cell", [&](const Picture &p) {
        return cellText(p, 1, 0, green) == cellText(p, 0, 0, green);
    }));

    // Esc commits what was typed too, and closes nothing.
    const Cell topLeft{0, 0};
    ASSERT_TRUE(startEntry(topLeft));
    typeText("-1");
    ASSERT_TRUE(typedShows("-1 typed into the top-left cell", topLeft));
    pressKey("Escape");
    shear.a = -1;
    ASSERT_TRUE(figureShows("the sheared figure mirrored across the y axis, head top at (7, 10)", shear, 7));
    EXPECT_TRUE(program_->running());
}

TEST_F(EndToEnd, RightPressLeavesTheEntryInProgress) {
    const Cell topMiddle{1, 0};
    ASSERT_TRUE(startEntry(topMiddle));
    typeText("0");
    Picture typed;
    ASSERT_TRUE(typedShows("0 typed into the top-middle cell", topMiddle, &typed));
    const auto red = near(shade::entryText);

    // Over another editable entry, which a left press would select; that
    // entry keeps showing its 0.00.
    clickEntry({0, 1}, 3);
    ASSERT_TRUE(program_->settle());
    const Picture after = program_->grab();
    const auto green = near(shade::editableValue);
    EXPECT_TRUE(holds(
        after,
        entryInProgress(after, topMiddle, true) && cellText(after, 1, 0, red) == cellText(typed, 1, 0, red) &&
            cellText(after, 0, 1, green) == cellText(after, 2, 0, green) && figureDrawnThrough(after, {}),
        "the entry still in progress, nothing stored"));

    // The entry goes on: 0 then .5 make 0.5.
    typeText(".5");
    pressKey("Return");
    Affine shear;
    shear.b = 0.5;
    EXPECT_TRUE(figureShows("the figure sheared by 0.5, head top at (8, 10)", shear, 8));
}

// Backspace removes the last character, and nothing from an empty entry.
// Keys that a browser or another platform's GLUT might hand over otherwise
// each go into the entry as GLUT on X gives it (Delete 127, Tab 9, the
// shifted character, the control code, é as its Latin-1 code), and the entry
// stores the number the text begins with.
TEST_F(EndToEnd, BackspaceRemovesTheLastCharacterAndUnusualKeysGoIntoTheEntryAsTyped) {
    const Cell topRight{2, 0};
    ASSERT_TRUE(startEntry(topRight));
    pressKey("BackSpace");  // on the empty entry: nothing to remove
    typeText("35");
    const auto red = near(shade::entryText);
    Picture typed;
    ASSERT_TRUE(typedShows("35 typed into the top-right cell", topRight, &typed));
    const auto both = cellText(typed, 2, 0, red);
    pressKey("BackSpace");
    // The 3 is left where it was, the 5 is gone.
    ASSERT_TRUE(shows("the entry less its last character", [&](const Picture &p) {
        const auto left = cellText(p, 2, 0, red);
        return entryInProgress(p, topRight, true) && left.size() < both.size() &&
               std::includes(both.begin(), both.end(), left.begin(), left.end());
    }));
    pressKey("Return");
    Affine moved;
    moved.tx = 3;
    ASSERT_TRUE(figureShows("the figure moved 3 to the right, head top at (6, 10)", moved, 6));

    const Cell topLeft{0, 0};
    ASSERT_TRUE(startEntry(topLeft));
    typeText("2");
    Picture two;
    ASSERT_TRUE(typedShows("2 typed into the top-left cell", topLeft, &two));
    pressKey("Delete");
    pressKey("Tab");
    typeText("(");
    pressKey("ctrl+a");
    typeText("\xc3\xa9");  // é
    // The bracket is drawn after the 2; the other keys add characters that
    // draw little or nothing, so the text only grows.
    ASSERT_TRUE(shows("the bracket after the 2", [&](const Picture &p) {
        return entryInProgress(p, topLeft, true) &&
               cellText(p, 0, 0, red).size() > cellText(two, 0, 0, red).size();
    }));
    pressKey("Return");
    moved.a = 2;
    EXPECT_TRUE(figureShows("the figure stretched twice as wide and moved, head top at (9, 10)", moved, 9));
    EXPECT_TRUE(program_->running());
}

// A press and the keys typed right after it reach the program in one batch,
// with no frame between them: each key must be read against the program's
// state as it arrives, not against the last picture's. On the page, without
// a pointer, Tab reaches the entries in reading order and Enter on the
// focused one is a press at its centre, which keeps the focus mark.
TEST_F(EndToEnd, KeysRightAfterAPressGoIntoTheEntryItStarted) {
    const Cell topLeft{0, 0}, topMiddle{1, 0};
    Affine edited;
    if (target_.keyboardEntries) {
        program_->pressKey("Tab");
        program_->pressKey("Tab");
        ASSERT_TRUE(program_->settle());
        program_->sendTogether({"Return", "1", "Return"});
        twin_->clickThenKeys(cells::centreX(topMiddle.column), cells::centreY(topMiddle.row),
                             {"1", "Return"});
        edited.b = 1;
        ASSERT_TRUE(figureShows("the sheared figure with its head top at (13, 10)", edited, 13));
        const Picture p = program_->grab();
        EXPECT_TRUE(holds(p,
                          p.countIn(cells::boxLeft(1) - 1, cells::boxBottom(0) - 1, cells::boxRight(1) + 1,
                                    cells::boxTop(0) + 1, near(focusMark)) > 20,
                          "the focus mark around the top-middle entry"));
    }
    // WebKitGTK hands the page keys that come with a press before the press.
    if (target_.name == "webkit") {
        return;
    }
    toBoth([&](ProgramWindow &w) {
        w.clickThenKeys(cells::centreX(topLeft.column), cells::centreY(topLeft.row), {"2", "Return"});
    });
    edited.a = 2;
    const int headX = 6 + static_cast<int>(edited.b) * 10;
    EXPECT_TRUE(
        figureShows("the figure stretched twice as wide, head top at (" + std::to_string(headX) + ", 10)",
                    edited, headX));
}

// With Orca at its default settings, keyboard only, as a blind student
// starts: in browse mode. Say All reads the page, the matrix's values too;
// Orca's table navigation reaches an entry, Enter starts it and says so, and
// what is typed next goes into it; Tab and Space reach and start another;
// the arrows move between entries. Every move names the row or column it
// reaches, every start and commit is said, and the picture is the desktop
// program's for the same numbers. What Orca said is kept in orca/spoken.txt
// beside the test's pictures. Every wait is for what Orca says, not a pause.
TEST_F(EndToEnd, WithAScreenReaderEveryWayToAnEntryEditsItAndIsSpoken) {
    if (reader_ == nullptr) {
        GTEST_SKIP() << "no screen reader beside this target (OSTRIVANE_E2E_TARGET=firefox+orca sets one)";
    }
    // The utterances heard before the last key; a check looks only at later
    // ones.
    std::size_t heard = 0;
    const auto says = [&](const std::string &what, const std::string &phrase) {
        const std::size_t at = reader_->waitToSay(phrase, heard);
        if (at != 0) {
            return ::testing::AssertionSuccess();
        }
        auto failure = ::testing::AssertionFailure();
        failure << "Orca never said " << what << " (\"" << phrase << "\"); it said:";
        const auto said = reader_->spoken();
        for (std::size_t i = heard; i < said.size(); ++i) {
            failure << "\n  " << said[i];
        }
        return failure;
    };
    // A key for the page, or for Orca in focus mode.
    const auto press = [&](const std::string &key) {
        heard = reader_->spoken().size();
        program_->pressKey(key);
    };
    // An Orca command in browse mode: its keys stay down until Orca has
    // said `answer` and is done with them, as a person lets go after
    // hearing it (let go at once, a table move can end in focus mode before
    // it is done), and has taken up the browser's report of the caret it
    // moved, or for a second more.
    const auto command = [&](const std::string &keys, const std::string &answer) {
        heard = reader_->spoken().size();
        const std::size_t from = heard, mark = reader_->logMark();
        program_->holdKey(keys, [&] {
            if (reader_->waitToSay(answer, from, std::chrono::milliseconds(0)) == 0) {
                return false;
            }
            eventually([&] { return reader_->handled(mark); }, std::chrono::seconds(1));
            return true;
        });
        return says(keys + "'s answer", answer);
    };
    const auto place = [](Cell cell) {
        return std::make_pair("row " + std::to_string(cell.row + 1),
                              "column " + std::to_string(cell.column + 1));
    };
    // A key that moves to an entry, which must be named by the row and the
    // column that changed.
    const auto moves = [&](const std::string &key, Cell to, bool rowChanged, bool columnChanged) {
        press(key);
        const auto named = place(to);
        auto result = ::testing::AssertionSuccess();
        if (rowChanged) {
            result = says(key + " naming the row it reaches", named.first);
        }
        return result && columnChanged ? says(key + " naming the column it reaches", named.second) : result;
    };
    const auto startsEmpty = [&](Cell cell) {
        const auto named = place(cell);
        return says("that the entry starts", "R" + named.first.substr(1) + ", " + named.second +
                                                 ": editing, empty. Type a number; Enter stores it.");
    };
    // Speech is checked with EXPECT, so that a failed check still leaves
    // the whole transcript.
    // Orca takes over the page once its browser reports it loaded: until
    // then its keys are not yet table navigation. It says what the page
    // holds, unless the page loaded before its window was active (the
    // window is found by the page's title, and then focused): Orca then
    // takes the page over with its window, and Say All below reads it.
    const auto takenOver = [&] {
        const std::size_t loaded =
            reader_->firstLogLine("Dequeued document:load-complete [document web | Ostrivane]");
        return reader_->waitToSay("Page has 1 landmark, 1 heading", 0, std::chrono::milliseconds(0)) != 0 ||
               (loaded != 0 && reader_->firstLogLine("Dequeued window:activate [frame") > loaded);
    };
    EXPECT_TRUE(eventually(takenOver)) << "Orca never took the page over (spoken.txt says what it said)";
    // Say All stops where the page changes under it, as it may while the
    // program starts: it is asked again then.
    auto readAll = command("KP_Add", "The matrix row by row: 1, 0, 0; 0, 1, 0; 0, 0, 1.");
    for (int again = 0; again < 2 && !readAll; ++again) {
        readAll = command("KP_Add", "The matrix row by row: 1, 0, 0; 0, 1, 0; 0, 0, 1.");
    }
    EXPECT_TRUE(readAll);
    // Say All ends at the contrast switch; a key before then stops it
    // where it was, and moves Orca back there after the next command.
    EXPECT_TRUE(says("the end of Say All", "More contrast"));
    // Browse mode: to the table, its corner, down to the first row's header
    // and across to its last column. Orca in Chromium names no column on
    // the move from a row header (it reads the cell's value).
    const Cell topRight{2, 0};
    EXPECT_TRUE(command("ctrl+Home", "Ostrivane"));
    EXPECT_TRUE(command("t", "table"));
    EXPECT_TRUE(command("alt+shift+Home", "Row column header"));
    EXPECT_TRUE(command("alt+shift+Down", "row 1"));
    for (int column = 0; column < 3; ++column) {
        const bool named = column > 0 || target_.name == "firefox";
        EXPECT_TRUE(command("alt+shift+Right", named ? place({column, 0}).second : "1.00"));
    }
    press("Return");
    twin_->click(cells::centreX(topRight.column), cells::centreY(topRight.row));
    EXPECT_TRUE(startsEmpty(topRight));
    typeText("10");
    heard = reader_->spoken().size();
    pressKey("Return");
    EXPECT_TRUE(says("the stored 10", "Row 1, column 3 is now 10"));
    Affine moved;
    moved.tx = 10;
    EXPECT_TRUE(figureShows("the figure moved 10 to the right, head top at (13, 10)", moved, 13));

    // Focus mode: Tab to the next entry, Space starts it.
    const std::size_t inFocusMode = reader_->spoken().size();
    const Cell bottomLeft{0, 1};
    EXPECT_TRUE(moves("Tab", bottomLeft, true, true));
    press("space");
    twin_->click(cells::centreX(bottomLeft.column), cells::centreY(bottomLeft.row));
    EXPECT_TRUE(startsEmpty(bottomLeft));
    typeText("-2.5");
    pressKey("BackSpace");
    typeText("5");
    heard = reader_->spoken().size();
    pressKey("Return");
    EXPECT_TRUE(says("the stored -2.5", "Row 2, column 1 is now -2.5"));
    moved.c = -2.5;
    EXPECT_TRUE(shows("the figure sheared down by 2.5 along x", [&](const Picture &p) {
        return highlightedEntry(p) == noEntry && figureDrawnThrough(p, moved);
    }));

    // The arrows, around a square of entries.
    EXPECT_TRUE(moves("Right", {1, 1}, false, true));
    EXPECT_TRUE(moves("Up", {1, 0}, true, false));
    EXPECT_TRUE(moves("Left", {0, 0}, false, true));
    EXPECT_TRUE(moves("Down", {0, 1}, true, false));
    const std::vector<std::string> said = reader_->spoken();
    for (std::size_t i = 0; i < said.size(); ++i) {
        EXPECT_NE(said[i], ".00") << "the field's value spoken as it grows";
        EXPECT_TRUE(i < inFocusMode || said[i] != "blank") << "a move in focus mode said \"blank\"";
    }
}

// Without a window manager there is no close button to click; the end sends
// what a window manager sends when the user clicks it on a window that lists
// WM_DELETE_WINDOW in WM_PROTOCOLS (ICCCM). Destroying the window or killing
// the client from outside would test how the program survives losing its
// connection, which no user does.
TEST_F(EndToEnd, AfterResizingEntriesAreStillHitAndClosingTheWindowEndsTheProcessSilently) {
    for (const auto &size : {tall, wide}) {
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        const Target::Area area = resize(size);
        const ProgramWindow::Geometry g = program_->geometry();
        EXPECT_EQ(g.width, size.first);
        EXPECT_EQ(g.height, size.second);
        Picture resized;
        ASSERT_TRUE(shows(
            "the world square stretched over the whole drawing area",
            [&](const Picture &p) {
                return p.width() == area.width && p.height() == area.height && axesDrawn(p) &&
                       figureDrawnThrough(p, {}) && instructionsShown(p);
            },
            &resized));
        // Lines may land elsewhere in the twin's picture.
        const Picture twinResized = twin_ != nullptr ? twin_->grab() : resized;
        // Each entry in turn, given back the identity's value.
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 2; ++row) {
                const Cell cell{column, row};
                ASSERT_TRUE(startEntry(cell));
                typeText(column == row ? "1" : "0");
                pressKey("Return");
                ASSERT_TRUE(shows("the entry stored",
                                  [&](const Picture &p) { return highlightedEntry(p) == noEntry; }));
            }
        }
        EXPECT_TRUE(shows("the picture from before the clicks",
                          [&](const Picture &p) { return p == resized || p == twinResized; }));
    }
    // An edit typed with a carriage return, in the resized window.
    ASSERT_TRUE(startEntry({1, 0}));
    typeText("2\r");
    Affine shear;
    shear.b = 2;
    ASSERT_TRUE(figureShows("the figure sheared by 2, head top at (23, 10)", shear, 23));

    program_->requestClose();
    int status = 0;
    ASSERT_TRUE(program_->waitForExit(&status)) << "the program still runs after its window was closed";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(program_->waitUntilWindowGone());
    // After exit everything buffered has been written.
    if (target_.silent) {
        EXPECT_EQ(program_->printed(), "");
    }
}

}  // namespace
}  // namespace e2e
