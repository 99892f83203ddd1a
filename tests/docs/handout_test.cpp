// The printable handout that tools/handout.sh makes of the lesson sheet
// (CTest makes it first, as the fixture test handout_make). Its PDF is read
// with poppler's pdftotext and pdfimages, not compared byte for byte: it must
// hold every exercise's heading with a picture after it, and each picture
// must be the print version of the sheet's screenshot: the same pixels, the
// background white, every drawn colour dark and the figure, axes, ticks and
// matrix apart in greyscale.
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
        ASSERT_TRUE(std::filesystem::exists(handoutPdf))
            << handoutPdf
            << " is not there; ctest makes it (test handout_make), or run: bash tools/handout.sh --out "
            << handoutPdf;
        exercises = sheetExercises();
        ASSERT_FALSE(exercises.empty());
    }

    // The PDF's text, one string a page.
    std::vector<std::string> pages() const {
        std::vector<std::string> result;
        std::istringstream text(outputOf("pdftotext -enc UTF-8 " + quoted(handoutPdf) + " -"));
        std::string page;
        while (std::getline(text, page, '\f')) {
            result.push_back(squeezed(page));
        }
        return result;
    }

    std::vector<lessons::SheetExercise> exercises;
};

// Every exercise's heading is on a page of its own section: the last page
// that shows it (the contents name it too, on the first) has a picture, or
// the pages up to the next exercise's heading do. Each picture counts for
// one exercise only, and each keeps the screenshot's 600x600 pixels.
TEST_F(Handout, HoldsEveryExerciseWithAPictureAfterItsHeading) {
    const std::vector<std::string> text = pages();
    std::vector<int> headingPage;
    for (const lessons::SheetExercise &exercise : exercises) {
        int found = -1;
        for (std::size_t page = 0; page < text.size(); ++page) {
            if (text[page].find(squeezed(exercise.heading)) != std::string::npos) {
                found = static_cast<int>(page) + 1;
            }
        }
        EXPECT_NE(found, -1) << "the handout's text does not hold the heading \"" << exercise.heading << "\"";
        headingPage.push_back(found);
    }

    // "page num type width height ..." after two lines of column names.
    std::istringstream list(outputOf("pdfimages -list " + quoted(handoutPdf)));
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
        EXPECT_EQ(width, 600) << "picture " << number << " on page " << page;
        EXPECT_EQ(height, 600) << "picture " << number << " on page " << page;
        imagePages.push_back(page);
    }
    EXPECT_GE(imagePages.size(), exercises.size()) << "fewer pictures than exercises";

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
        EXPECT_TRUE(found) << "exercise \"" << exercises[i].heading << "\" (page " << headingPage[i]
                           << ") has no picture of its own on pages " << headingPage[i] << " to " << last;
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
    const std::string dir = handoutDir + "/extracted";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    outputOf("pdfimages -png " + quoted(handoutPdf) + " " + quoted(dir + "/picture"));
    std::vector<std::string> extracted;
    for (const auto &file : std::filesystem::directory_iterator(dir)) {
        extracted.push_back(file.path().string());
    }
    std::sort(extracted.begin(), extracted.end());
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
