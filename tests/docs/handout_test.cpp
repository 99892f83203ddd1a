// The printable handouts that tools/handout.sh makes of the lesson sheet
// (CTest makes them first, as the fixture test handout_make): the teacher's
// handout and the students' worksheet. Each PDF is read with poppler's
// pdftotext and pdfimages, not compared byte for byte. Both must hold every
// exercise's heading with a picture after it. The handout's pictures must be
// the print versions of the sheet's screenshots: the same pixels, the
// background white, every drawn colour dark and the figure, axes, ticks and
// matrix apart in greyscale. The worksheet's must be blank frames with the
// axes alone. The sheet's answer blocks must print in the handout and
// nowhere in the worksheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "lesson_sheet.h"
#include "window_reading.h"
#include "x_driver.h"

namespace {

const std::string sourceDir = OSTRIVANE_SOURCE_DIR;
const std::string handoutDir = OSTRIVANE_HANDOUT_DIR;
const std::string handoutPdf = handoutDir + "/lessons.pdf";
const std::string worksheetPdf = handoutDir + "/worksheet.pdf";

// The standard output of a shell command; fails the test when it does not
// exit 0.
std::string outputOf(const std::string &command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    std::array<char, 4096> buffer{};
    std::size_t count;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
        output.append(buffer.data(), count);
    }
    const int status = pclose(pipe.release());
    if (status != 0) {
        ADD_FAILURE() << command << " failed (" << status << "): " << output;
    }
    return output;
}

std::string quoted(const std::string &path) {
    return "'" + path + "'";
}

// The exercises of the sheet, in its order, each with its heading and
// picture.
std::vector<lessons::SheetExercise> sheetExercises() {
    std::ifstream in(sourceDir + "/docs/lessons.md");
    EXPECT_TRUE(in) << "cannot open docs/lessons.md";
    return lessons::readSheet(in);
}

// The text with every run of white space made one blank, as line breaks
// fall where the layout puts them.
std::string squeezed(const std::string &text) {
    std::string result;
    bool blank = false;
    for (const char ch : text) {
        if (std::isspace(static_cast<unsigned char>(ch))) {
            blank = true;
            continue;
        }
        if (blank && !result.empty()) {
            result += ' ';
        }
        blank = false;
        result += ch;
    }
    return result;
}

class Handout : public testing::Test {
protected:
    void SetUp() override {
        for (const char *tool : {"pdftotext", "pdfimages"}) {
            if (std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) != 0) {
                GTEST_FAIL() << tool << " is needed to read the handout: sudo apt-get install poppler-utils";
            }
        }
        for (const std::string &pdf : {handoutPdf, worksheetPdf}) {
            ASSERT_TRUE(std::filesystem::exists(pdf))
                << pdf
                << " is not there; ctest makes it (test handout_make), or run: bash tools/handout.sh --out "
                << handoutPdf;
        }
        exercises = sheetExercises();
        ASSERT_FALSE(exercises.empty());
    }

    // The PDF's text, one string a page.
    static std::vector<std::string> pages(const std::string &pdf) {
        std::vector<std::string> result;
        std::istringstream text(outputOf("pdftotext -enc UTF-8 " + quoted(pdf) + " -"));
        std::string page;
        while (std::getline(text, page, '\f')) {
            result.push_back(squeezed(page));
        }
        return result;
    }

    // The pictures of the PDF, extracted as PNG files, in its order.
    static std::vector<std::string> picturesOf(const std::string &pdf, const std::string &name) {
        const std::string dir = handoutDir + "/extracted-" + name;
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        outputOf("pdfimages -png " + quoted(pdf) + " " + quoted(dir + "/picture"));
        std::vector<std::string> extracted;
        for (const auto &file : std::filesystem::directory_iterator(dir)) {
            extracted.push_back(file.path().string());
        }
        std::sort(extracted.begin(), extracted.end());
        return extracted;
    }

    void expectEveryExerciseWithAPictureAfterItsHeading(const std::string &pdf) const;

    std::vector<lessons::SheetExercise> exercises;
};

// Every exercise's heading is on a page of its own section: the last page
// that shows it (the contents name it too, on the first) has a picture, or
// the pages up to the next exercise's heading do. Each picture counts for
// one exercise only, and each keeps the screenshot's 600x600 pixels.
void Handout::expectEveryExerciseWithAPictureAfterItsHeading(const std::string &pdf) const {
    const std::string file = std::filesystem::path(pdf).filename().string();
    const std::vector<std::string> text = pages(pdf);
    std::vector<int> headingPage;
    for (const lessons::SheetExercise &exercise : exercises) {
        int found = -1;
        for (std::size_t page = 0; page < text.size(); ++page) {
            if (text[page].find(squeezed(exercise.heading)) != std::string::npos) {
                found = static_cast<int>(page) + 1;
            }
        }
        EXPECT_NE(found, -1) << file << ": its text does not hold the heading \"" << exercise.heading << "\"";
        headingPage.push_back(found);
    }

    // "page num type width height ..." after two lines of column names.
    std::istringstream list(outputOf("pdfimages -list " + quoted(pdf)));
    std::string line;
    std::vector<int> imagePages;
    for (int skip = 0; skip < 2 && std::getline(list, line); ++skip) {
    }
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        int page = 0, number = 0, width = 0, height = 0;
        std::string type;
        if (!(fields >> page >> number >> type >> width >> height) || type != "image") {
            continue;
        }
        EXPECT_EQ(width, 600) << file << ": picture " << number << " on page " << page;
        EXPECT_EQ(height, 600) << file << ": picture " << number << " on page " << page;
        imagePages.push_back(page);
    }
    EXPECT_GE(imagePages.size(), exercises.size()) << file << ": fewer pictures than exercises";

    std::vector<bool> used(imagePages.size(), false);
    for (std::size_t i = 0; i < exercises.size(); ++i) {
        if (headingPage[i] < 0) {
            continue;
        }
        const int last = i + 1 < exercises.size() && headingPage[i + 1] > 0 ? headingPage[i + 1]
                                                                            : static_cast<int>(text.size());
        bool found = false;
        for (std::size_t k = 0; k < imagePages.size() && !found; ++k) {
            if (!used[k] && imagePages[k] >= headingPage[i] && imagePages[k] <= last) {
                used[k] = found = true;
            }
        }
        EXPECT_TRUE(found) << file << ": exercise \"" << exercises[i].heading << "\" (page " << headingPage[i]
                           << ") has no picture of its own on pages " << headingPage[i] << " to " << last;
    }
}

TEST_F(Handout, HoldsEveryExerciseWithAPictureAfterItsHeading) {
    expectEveryExerciseWithAPictureAfterItsHeading(handoutPdf);
}

TEST_F(Handout, WorksheetHoldsEveryExerciseWithAFrameAfterItsHeading) {
    expectEveryExerciseWithAPictureAfterItsHeading(worksheetPdf);
}

// Runs of plain words from the paragraphs of an answer block, five to ten
// words long, one from each paragraph that has one: words in which pandoc
// changes marks (quotes, emphasis, code), words where a line may break (a
// hyphen, a slash) and words beyond ASCII (the mathematics) end a run.
std::vector<std::string> phrasesOf(const std::string &answer) {
    std::vector<std::string> result;
    auto take = [&result](const std::string &paragraph) {
        if (paragraph.rfind("![", 0) == 0) {
            return;  // a picture
        }
        std::istringstream words(paragraph);
        std::vector<std::string> run;
        bool taken = false;
        auto end = [&] {
            if (!taken && run.size() >= 5) {
                std::string phrase;
                for (const std::string &word : run) {
                    phrase += (phrase.empty() ? "" : " ") + word;
                }
                result.push_back(phrase);
                taken = true;
            }
            run.clear();
        };
        for (std::string word; words >> word;) {
            const bool plain = std::all_of(word.begin(), word.end(), [](char ch) {
                const auto c = static_cast<unsigned char>(ch);
                return c < 0x80 && std::string("*`[]!_\"'|<>-/\\").find(ch) == std::string::npos;
            });
            if (!plain) {
                end();
                continue;
            }
            run.push_back(word);
            if (run.size() == 10) {
                end();
            }
        }
        end();
    };
    std::istringstream lines(answer);
    std::string paragraph;
    for (std::string line; std::getline(lines, line);) {
        if (squeezed(line).empty()) {
            take(paragraph);
            paragraph.clear();
        } else {
            paragraph += line + "\n";
        }
    }
    take(paragraph);
    return result;
}

TEST(AnswerPhrases, AreRunsOfPlainWordsOnePerParagraph) {
    EXPECT_EQ(phrasesOf("\nWith a = 3 every point moves three\ntimes as far; x`′` = 3x.\n\n"
                        "![a picture with plenty of plain words](images/lessons/a.png)\n\n"
                        "Short one. Then **bold** words come, five of them here.\n"),
              (std::vector<std::string>{"With a = 3 every point moves three times as",
                                        "words come, five of them here."}));
    EXPECT_TRUE(phrasesOf("x′ = −y, y′ = x").empty());
}

// Every answer block of the sheet prints in the teacher's handout and
// nowhere in the worksheet, checked by a phrase from each of its paragraphs.
TEST_F(Handout, AnswersPrintInTheHandoutAndNotInTheWorksheet) {
    auto wholeText = [](const std::string &pdf) {
        std::string text;
        for (const std::string &page : pages(pdf)) {
            text += page + " ";
        }
        return text;
    };
    const std::string handout = wholeText(handoutPdf), worksheet = wholeText(worksheetPdf);
    for (const lessons::SheetExercise &exercise : exercises) {
        EXPECT_FALSE(exercise.answers.empty())
            << "exercise \"" << exercise.heading << "\" (docs/lessons.md line " << exercise.line
            << ") has no <div class=\"answer\"> block";
        for (const std::string &answer : exercise.answers) {
            const std::vector<std::string> phrases = phrasesOf(answer);
            EXPECT_FALSE(phrases.empty()) << "an answer of exercise \"" << exercise.heading
                                          << "\" has no run of five plain words to find it by";
            for (const std::string &phrase : phrases) {
                EXPECT_NE(handout.find(phrase), std::string::npos)
                    << "lessons.pdf lacks the answer of exercise \"" << exercise.heading << "\": \"" << phrase
                    << "\"";
                EXPECT_EQ(worksheet.find(phrase), std::string::npos)
                    << "worksheet.pdf shows the answer of exercise \"" << exercise.heading << "\": \""
                    << phrase << "\"";
            }
        }
    }
}

// The worksheet's pictures, one an exercise, are blank frames: the axes
// with their ticks, and nothing drawn further from them than a tick reaches.
TEST_F(Handout, WorksheetFramesShowTheAxesAlone) {
    const std::vector<std::string> frames = picturesOf(worksheetPdf, "worksheet");
    EXPECT_EQ(frames.size(), exercises.size()) << "worksheet.pdf does not hold one frame an exercise";
    const auto drawn = [](Rgb c) { return !(c == Rgb{255, 255, 255}); };
    for (const std::string &path : frames) {
        const Picture frame = Picture::loadPng(path);
        ASSERT_EQ(frame.width(), 600) << path;
        ASSERT_EQ(frame.height(), 600) << path;
        for (int t = -45; t <= 45; t += 5) {
            EXPECT_TRUE(frame.hasNear(0, t, drawn)) << path << ": no y axis at (0, " << t << ")";
            EXPECT_TRUE(frame.hasNear(t, 0, drawn)) << path << ": no x axis at (" << t << ", 0)";
        }
        // Ticks reach one unit either side; a pixel is a sixth of a unit.
        const int off = frame.countIn(-50, 1.5, -1.5, 50, drawn) + frame.countIn(1.5, 1.5, 50, 50, drawn) +
                        frame.countIn(-50, -50, -1.5, -1.5, drawn) + frame.countIn(1.5, -50, 50, -1.5, drawn);
        EXPECT_EQ(off, 0) << path << ": " << off << " pixels drawn away from the axes";
    }
}

double grey(Rgb c) {
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}

// The pictures in the handout, in its order, are the sheet's pictures in
// the sheet's order, printed: the screenshot's background is white on paper
// and everything drawn on it is drawn at the same pixels, dark, each of the
// program's colours as one print colour; the figure, the axes, the ticks and
// the matrix panel stay at least 30 of 255 apart in greyscale.
TEST_F(Handout, PrintsEachScreenshotOnWhiteInDarkColoursApartInGrey) {
    const std::vector<std::string> extracted = picturesOf(handoutPdf, "handout");
    std::vector<std::string> names;
    for (const lessons::SheetExercise &exercise : exercises) {
        names.insert(names.end(), exercise.pictures.begin(), exercise.pictures.end());
    }
    ASSERT_EQ(extracted.size(), names.size()) << "the handout does not hold the sheet's pictures one for one";

    const std::vector<std::pair<std::string, Rgb>> drawn = {
        {"figure", shade::figure},        {"axes", shade::axis},
        {"ticks", shade::tick},           {"editable values", shade::editableValue},
        {"fixed row", shade::fixedValue}, {"instruction line", shade::instructions},
    };
    const std::set<std::string> panel = {"editable values", "fixed row", "instruction line"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string screenPath = sourceDir + "/docs/images/lessons/" + names[i] + ".png";
        const Picture screen = Picture::loadPng(screenPath);
        const Picture print = Picture::loadPng(extracted[i]);
        ASSERT_EQ(print.width(), screen.width()) << names[i];
        ASSERT_EQ(print.height(), screen.height()) << names[i];
        const Rgb white{255, 255, 255};
        std::map<std::string, std::set<std::tuple<int, int, int>>> printed;
        int misplaced = 0;
        for (int row = 0; row < screen.height(); ++row) {
            for (int column = 0; column < screen.width(); ++column) {
                const Rgb s = screen.at(column, row), p = print.at(column, row);
                const bool background = s == Rgb{0, 0, 0};
                if (background != (p == white) && ++misplaced <= 3) {
                    ADD_FAILURE() << names[i] << ": pixel (" << column << ", " << row << ") is (" << s.r
                                  << ", " << s.g << ", " << s.b << ") on the screen but (" << p.r << ", "
                                  << p.g << ", " << p.b << ") in the handout";
                }
                for (const auto &[name, colour] : drawn) {
                    if (near(colour)(s)) {
                        printed[name].insert({p.r, p.g, p.b});
                    }
                }
            }
        }
        std::map<std::string, double> level;
        for (const auto &[name, colours] : printed) {
            EXPECT_EQ(colours.size(), 1u)
                << names[i] << ": the " << name << " print in " << colours.size() << " colours";
            const auto [r, g, b] = *colours.begin();
            level[name] = grey({r, g, b});
            EXPECT_LE(level[name], 150) << names[i] << ": the " << name << " print light, grey "
                                        << std::lround(level[name]) << " of 255";
        }
        for (const auto &[a, greyA] : level) {
            for (const auto &[b, greyB] : level) {
                if (a < b && !(panel.count(a) && panel.count(b))) {
                    EXPECT_GE(std::abs(greyA - greyB), 30)
                        << names[i] << ": the " << a << " and the " << b << " print nearly the same grey ("
                        << greyA << " and " << greyB << ")";
                }
            }
        }
    }
}

}  // namespace
