// The printable handouts that the build makes of the lesson sheet
// (docs/lessons/handout.sh): the teacher's copy and the students' worksheet,
// each read with poppler's pdftotext, pdfinfo and pdfimages, qpdf and
// pikepdf for what it must hold, never compared byte for byte.
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
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "lesson_sheet.h"
#include "picture.h"

namespace {

using lessons::squeezed;

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

class Handout : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string &pdf : {handoutPdf, worksheetPdf}) {
            ASSERT_TRUE(std::filesystem::exists(pdf)) << pdf << " is not there; the build makes it";
        }
        exercises = lessons::readSheet(lessons::theSheet());
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

    // The PDF's text in one, each page's number ("N / M" at its foot) left
    // out, so that a paragraph runs on across pages.
    static std::string wholeText(const std::string &pdf) {
        static const std::regex pageNumber(" ?[0-9]+ / [0-9]+$");
        std::string text;
        for (const std::string &page : pages(pdf)) {
            text += std::regex_replace(page, pageNumber, "") + " ";
        }
        return text;
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

    // The page of each exercise's heading (1 for the first page; -1 where
    // it is missing): the last page that shows it, as the contents name it
    // too.
    std::vector<int> headingPages(const std::vector<std::string> &text) const {
        std::vector<int> result;
        for (const lessons::SheetExercise &exercise : exercises) {
            int found = -1;
            for (std::size_t page = 0; page < text.size(); ++page) {
                if (text[page].find(squeezed(exercise.heading)) != std::string::npos) {
                    found = static_cast<int>(page) + 1;
                }
            }
            result.push_back(found);
        }
        return result;
    }

    // The text of the pages from exercise i's heading to the next one's.
    std::string pagesOf(const std::vector<std::string> &text, std::size_t i) const {
        const std::vector<int> heading = headingPages(text);
        std::string result;
        const int last = i + 1 < exercises.size() && heading[i + 1] > 0 ? heading[i + 1] - 1
                                                                        : static_cast<int>(text.size());
        for (int page = heading[i]; page > 0 && page <= last; ++page) {
            result += text[page - 1] + " ";
        }
        return result;
    }

    // The pages of the PDF that hold pictures, one entry a picture, in its
    // order.
    static std::vector<int> picturePages(const std::string &pdf) {
        // "page num type width height ..." after two lines of column names.
        std::istringstream list(outputOf("pdfimages -list " + quoted(pdf)));
        std::string line;
        std::vector<int> result;
        for (int skip = 0; skip < 2 && std::getline(list, line); ++skip) {
        }
        while (std::getline(list, line)) {
            std::istringstream fields(line);
            int page = 0, number = 0;
            std::string type;
            if (fields >> page >> number >> type && type == "image") {
                result.push_back(page);
            }
        }
        return result;
    }

    std::vector<lessons::SheetExercise> exercises;
};

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

// ---------------------------------------------------------------------
// Which copy each part of the sheet prints in.

using lessons::Copy;
using lessons::SheetLine;

bool printsIn(Copy line, Copy copy) {
    return line == Copy::both || line == copy;
}

// The tables the sheet's blocks become in a copy: each matrix; each factor
// and product of a product block; each blank matrix to fill in; the
// key-point table of each frames block and of the opening.
int tablesOfBlocks(Copy copy) {
    const std::set<std::string> oneTable = {"matrix", "symbols", "frames", "keypoints", "boxes"};
    int count = 0;
    for (const SheetLine &line : lessons::theSheet()) {
        const std::string text = squeezed(line.text);
        if (!printsIn(line.copy, copy)) {
            continue;
        }
        if (line.opensFence) {
            count += static_cast<int>(oneTable.count(line.fence));
        } else if ((line.fence == "product" && text.find(" = ") != std::string::npos) ||
                   (line.fence == "blank" && !text.empty() && text != "·" && text != "=")) {
            ++count;
        }
    }
    return count;
}

// The paragraphs of running text that print only in `copy`, blank lines
// between them: headings, tables, fenced blocks and the steps that type a
// matrix (every exercise has those) left out.
std::string textOnlyIn(Copy copy) {
    static const std::regex step(R"(\s*[0-9]+\.\s+Click\b.*)");
    std::string text;
    for (const SheetLine &line : lessons::theSheet()) {
        const std::string word = squeezed(line.text);
        if (line.copy != copy || !line.fence.empty() || word.rfind('#', 0) == 0 || word.rfind('|', 0) == 0 ||
            word.rfind(":::", 0) == 0 || std::regex_match(line.text, step)) {
            text += "\n";
            continue;
        }
        text += line.text + "\n";
    }
    return text;
}

// The notes for the teacher print in the teacher's copy and nowhere in the
// worksheet, checked by a phrase from each of their paragraphs, while what
// is written for the students alone prints in the worksheet only.
TEST_F(Handout, NotesForTheTeacherPrintOnlyInTheTeachersCopy) {
    const std::string handout = wholeText(handoutPdf), worksheet = wholeText(worksheetPdf);
    const std::vector<std::string> teachers = phrasesOf(textOnlyIn(Copy::teacher));
    const std::vector<std::string> students = phrasesOf(textOnlyIn(Copy::worksheet));
    EXPECT_GE(teachers.size(), 20u) << "the sheet has hardly any notes for the teacher";
    EXPECT_GE(students.size(), 5u) << "the sheet has hardly any text for the students alone";
    for (const std::string &phrase : teachers) {
        EXPECT_NE(handout.find(phrase), std::string::npos) << "lessons.pdf lacks \"" << phrase << "\"";
        EXPECT_EQ(worksheet.find(phrase), std::string::npos) << "worksheet.pdf shows \"" << phrase << "\"";
    }
    for (const std::string &phrase : students) {
        EXPECT_NE(worksheet.find(phrase), std::string::npos) << "worksheet.pdf lacks \"" << phrase << "\"";
        EXPECT_EQ(handout.find(phrase), std::string::npos) << "lessons.pdf shows \"" << phrase << "\"";
    }
}

// Nothing in the worksheet tells an answer or speaks to the teacher: where
// the teacher's copy is, how the panel rounds 0.866, what exercise 5 leads
// to, titles that say what happens, the order of exercise 13's product;
// paths, browsers' insides and overflow are the teacher's business. The
// exercises that ask for their matrix (their matrix and steps print in the
// teacher's copy only) show no step that types it.
TEST_F(Handout, WorksheetHoldsNoGiveAway) {
    const std::vector<std::string> text = pages(worksheetPdf);
    const std::string whole = wholeText(worksheetPdf);
    for (const char *giveAway : {"index.html", "lessons.pdf", "0.87", "a = d = −1", "collapses",
                                 "Multiply R·T", "the class", "WebGL", "/usr/share", "1e39", "Debian"}) {
        EXPECT_EQ(whole.find(giveAway), std::string::npos) << "worksheet.pdf holds \"" << giveAway << "\"";
    }

    std::set<std::string> hidden;  // headings of exercises whose matrix is the teacher's
    std::string heading;
    for (const SheetLine &line : lessons::theSheet()) {
        if (line.fence.empty() && line.text.rfind("## ", 0) == 0) {
            heading = line.text.substr(3);
        } else if (line.fence == "matrix" && line.copy == Copy::teacher) {
            hidden.insert(heading);
        }
    }
    for (std::size_t i = 0; i < exercises.size(); ++i) {
        EXPECT_FALSE(hidden.count(exercises[i].heading) &&
                     pagesOf(text, i).find("Click the") != std::string::npos)
            << "worksheet.pdf tells how to type the matrix that \"" << exercises[i].heading << "\" asks for";
    }
}

// Both copies are tagged PDFs (PDF/UA-1) with their title and language, and
// no matrix is drawn with bars of text (the structure test below counts the
// tagged tables).
TEST_F(Handout, BothCopiesAreTaggedWithTheirLanguageAndTheirMatricesAsTables) {
    const std::vector<std::pair<std::string, std::string>> copies = {
        {handoutPdf, "Lessons with Ostrivane: the teacher's copy"},
        {worksheetPdf, "Lessons with Ostrivane: worksheet"},
    };
    for (const auto &[pdf, title] : copies) {
        const std::string file = std::filesystem::path(pdf).filename().string();
        const std::string info = outputOf("pdfinfo " + quoted(pdf));
        EXPECT_TRUE(std::regex_search(info, std::regex("\nTagged: +yes\n"))) << file << " is not tagged:\n"
                                                                             << info;
        EXPECT_TRUE(std::regex_search(info, std::regex("(^|\n)Title: +" + title + "\n"))) << file << ":\n"
                                                                                          << info;

        // qpdf writes the objects out uncompressed, so the catalogue can be
        // read as text.
        const std::string objects = outputOf("qpdf --qdf --object-streams=disable " + quoted(pdf) + " -");
        EXPECT_NE(objects.find("/Lang (en-GB)"), std::string::npos) << file << " does not carry its language";

        std::smatch bar;
        for (const std::string &page : pages(pdf)) {
            EXPECT_FALSE(std::regex_search(page, bar, std::regex("\\| *(−|-)?[0-9.]+ +(−|-)?[0-9.]+")))
                << file << " draws a matrix with bars of text: \"" << bar.str() << "\"";
        }
    }
}

// ---------------------------------------------------------------------
// The structure tree, as a screen reader follows it.

struct Tagged {
    std::string role, alt, scope, title;
};

// The PDF's structure elements in reading order (tests/docs/pdf_structure.py).
std::vector<Tagged> structureOf(const std::string &pdf) {
    std::istringstream lines(outputOf(
        "/usr/bin/python3 " + quoted(sourceDir + "/tests/docs/pdf_structure.py") + " " + quoted(pdf)));
    std::vector<Tagged> result;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Tagged t;
        std::getline(fields, t.role, '\t');
        std::getline(fields, t.alt, '\t');
        std::getline(fields, t.scope, '\t');
        std::getline(fields, t.title);
        result.push_back(t);
    }
    return result;
}

// Every matrix and table is a tagged table whose rows keep all their cells,
// empty ones too; every figure (each frame, each picture) has alternative
// text, every header cell its scope, and each answer comes after its exercise's
// heading; the teacher's copy has one answer per exercise, holding its one
// picture, the worksheet a figure per frame and one for the key points. The counts
// go to the test's XML report.
TEST_F(Handout, StructureTreeLetsAScreenReaderFollow) {
    std::size_t frames = 0;
    for (const lessons::SheetExercise &exercise : exercises) {
        frames += exercise.frames.size();
    }
    const std::vector<std::tuple<std::string, std::size_t, Copy>> copies = {
        {handoutPdf, exercises.size(), Copy::teacher}, {worksheetPdf, frames + 1, Copy::worksheet}};
    for (const auto &[pdf, pictures, copy] : copies) {
        const std::string file = std::filesystem::path(pdf).filename().string();
        int figures = 0, withAlt = 0, headers = 0, withScope = 0, tables = 0;
        std::set<std::string> headed;
        std::map<std::string, int> answered;  // exercise -> its figures
        std::string answer;                   // the answer being read
        std::vector<int> cells;               // the cells of each row of the table being read
        for (const Tagged &t : structureOf(pdf)) {
            if (t.role != "TD" && t.role != "TH" && !cells.empty() && cells.back() != cells.front()) {
                ADD_FAILURE() << file << ": a table row of " << cells.back() << " cells after one of "
                              << cells.front() << ": an empty cell is left out";
                cells.front() = cells.back();
            }
            if (t.role == "Figure") {
                ++figures;
                withAlt += t.alt == "alt";
                if (!answer.empty()) {
                    ++answered[answer];
                }
            } else if (t.role == "Table") {
                ++tables;
                cells.clear();
            } else if (t.role == "TR") {
                cells.push_back(0);
            } else if (t.role == "TD" && !cells.empty()) {
                ++cells.back();
            } else if (t.role == "TH") {
                if (!cells.empty()) {
                    ++cells.back();
                }
                ++headers;
                withScope += t.scope == "Column" || t.scope == "Row";
            } else if (t.role == "H2") {
                answer.clear();
                if (!t.title.empty() && std::isdigit(static_cast<unsigned char>(t.title[0]))) {
                    headed.insert(t.title.substr(0, t.title.find('.')));
                }
            } else if (t.role == "Sect" && t.title.rfind("Answer to exercise ", 0) == 0) {
                answer = t.title.substr(19);
                EXPECT_TRUE(headed.count(answer)) << file << ": the answer to exercise " << answer
                                                  << " comes before its heading in reading order";
                answered[answer] += 0;
            }
        }
        EXPECT_EQ(withAlt, figures) << file << ": figures without alternative text";
        EXPECT_EQ(static_cast<std::size_t>(figures), pictures) << file << ": not every picture is a figure";
        EXPECT_EQ(withScope, headers) << file << ": header cells without a scope";
        EXPECT_GT(headers, 0) << file;
        EXPECT_GE(tables, tablesOfBlocks(copy)) << file << ": fewer tagged tables than matrices and tables";
        EXPECT_EQ(answered.size(), pdf == handoutPdf ? exercises.size() : 0u) << file;
        for (const auto &[number, count] : answered) {
            EXPECT_EQ(count, 1) << file << ": the answer to exercise " << number << " holds " << count
                                << " pictures, not its one";
        }
        RecordProperty(file + "-figures-with-alt", withAlt);
        RecordProperty(file + "-header-cells-with-scope", withScope);
    }
}

// ---------------------------------------------------------------------
// The worksheet's frames.

// The attributes of each element `name` of an SVG text, with the text the
// element holds as "".
std::vector<std::map<std::string, std::string>> elements(const std::string &svg, const std::string &name) {
    std::vector<std::map<std::string, std::string>> result;
    const std::regex element("<" + name + "\\b([^>]*)>([^<]*)");
    const std::regex attribute("([A-Za-z][A-Za-z0-9-]*)=\"([^\"]*)\"");
    for (std::sregex_iterator e(svg.begin(), svg.end(), element), end; e != end; ++e) {
        std::map<std::string, std::string> attributes{{"", (*e)[2]}};
        const std::string list = (*e)[1];
        for (std::sregex_iterator a(list.begin(), list.end(), attribute); a != end; ++a) {
            attributes[(*a)[1]] = (*a)[2];
        }
        result.push_back(attributes);
    }
    return result;
}

// The contrast of an "#RRGGBB" colour against white.
double contrastOnWhite(const std::string &hex) {
    const auto channel = [&hex](int i) { return std::stoi(hex.substr(1 + 2 * i, 2), nullptr, 16); };
    return contrastRatio({channel(0), channel(1), channel(2)}, {255, 255, 255});
}

// A stroke as a comparable key, the same either way round.
std::tuple<double, double, double, double> strokeKey(double x1, double y1, double x2, double y2) {
    return std::make_pair(x1, y1) < std::make_pair(x2, y2) ? std::make_tuple(x1, y1, x2, y2)
                                                           : std::make_tuple(x2, y2, x1, y1);
}

// Each prediction an exercise asks for has its frame on the exercise's
// pages, captioned in words, with the table of key points to fill in; and
// its frame in frames/, "frame-NN-<exercise><letter>.svg", draws axes that
// reach as far as the sheet says, print at 3:1 or more against white and
// 0.35 mm or thicker, with labelled ticks, and the figure where it starts,
// stroke for stroke, in a grey that prints and dashed, so that it is told
// from a sketch by more than its colour.
TEST_F(Handout, WorksheetGivesEachPredictionAFrameWithLabelledAxesAndTheFigureWhereItStarts) {
    const std::vector<std::string> text = pages(worksheetPdf);
    std::map<std::string, std::string> frameFiles;  // "6a" -> path
    const std::regex frameName("frame-[0-9]+-([0-9]+[a-z])\\.svg");
    for (const auto &file : std::filesystem::directory_iterator(handoutDir + "/frames")) {
        std::smatch m;
        const std::string name = file.path().filename().string();
        if (std::regex_match(name, m, frameName)) {
            frameFiles[m[1]] = file.path().string();
        }
    }
    std::set<std::tuple<double, double, double, double>> figure;
    for (const Stroke &s : figureStrokes) {
        figure.insert(strokeKey(s.x1, s.y1, s.x2, s.y2));
    }

    for (std::size_t i = 0; i < exercises.size(); ++i) {
        const lessons::SheetExercise &exercise = exercises[i];
        const std::string number = std::to_string(std::atoi(exercise.heading.c_str()));
        const std::string pagesText = pagesOf(text, i);
        EXPECT_NE(pagesText.find("Where the key points go"), std::string::npos)
            << "worksheet.pdf: \"" << exercise.heading << "\" has no table of key points";
        for (std::size_t k = 0; k < exercise.frames.size(); ++k) {
            const lessons::Frame &frame = exercise.frames[k];
            const std::string label = number + static_cast<char>('a' + k);
            EXPECT_NE(pagesText.find("Frame " + label + ": " + squeezed(frame.caption)), std::string::npos)
                << "worksheet.pdf: \"" << exercise.heading << "\" lacks its frame " << label << ", \""
                << frame.caption << "\"";
            if (!frameFiles.count(label)) {
                ADD_FAILURE() << "no frames/frame-NN-" << label << ".svg for \"" << exercise.heading << "\"";
                continue;
            }
            const std::string path = frameFiles[label];
            std::ifstream in(path);
            const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const auto root = elements(svg, "svg");
            ASSERT_EQ(root.size(), 1u) << path;
            std::istringstream box(root[0].at("viewBox"));
            double left = 0, top = 0, size = 0;
            box >> left >> top >> size;
            ASSERT_GT(size, 0) << path;
            const double mmPerUnit = std::stod(root[0].at("width")) / size;
            EXPECT_GE(mmPerUnit, 1.5) << path << ": too small to sketch in";

            int axes = 0;
            for (auto &axis : elements(svg, "line")) {
                if (axis["class"] != "axis") {
                    continue;
                }
                ++axes;
                const double x1 = std::stod(axis["x1"]), y1 = std::stod(axis["y1"]);
                const double x2 = std::stod(axis["x2"]), y2 = std::stod(axis["y2"]);
                const double from = x1 == x2 ? std::min(y1, y2) : std::min(x1, x2);
                const double to = x1 == x2 ? std::max(y1, y2) : std::max(x1, x2);
                EXPECT_TRUE((x1 == 0 && x2 == 0) || (y1 == 0 && y2 == 0))
                    << path << ": an axis off the origin";
                EXPECT_LE(from, x1 == x2 ? frame.y0 : frame.x0) << path;
                EXPECT_GE(to, x1 == x2 ? frame.y1 : frame.x1) << path;
                EXPECT_GE(contrastOnWhite(axis["stroke"]), 3.0) << path << ": the axes print too light";
                EXPECT_GE(std::stod(axis["stroke-width"]) * mmPerUnit, 0.35)
                    << path << ": the axes print too thin";
            }
            EXPECT_EQ(axes, 2) << path;

            // Tick labels every five units, along each axis from one end to
            // the other, none overlapping the next (a label's width is at
            // most three digits and a sign at 0.6 of its size).
            std::map<bool, std::vector<std::pair<double, double>>> labels;  // across? -> (place, size)
            for (auto &tick : elements(svg, "text")) {
                if (tick["class"] == "tick-label") {
                    const bool across = tick["text-anchor"] == "middle";
                    labels[across].push_back({across ? std::stod(tick["x"]) : -std::stod(tick["y"]),
                                              std::stod(tick["font-size"])});
                }
            }
            for (const bool across : {true, false}) {
                auto &list = labels[across];
                std::sort(list.begin(), list.end());
                const double low = across ? frame.x0 : frame.y0, high = across ? frame.x1 : frame.y1;
                ASSERT_GE(list.size(), 3u) << path << ": hardly any tick is labelled";
                EXPECT_LE(list.front().first, std::ceil(low / 5) * 5 + 5) << path;
                EXPECT_GE(list.back().first, std::floor(high / 5) * 5 - 5) << path;
                for (std::size_t k = 1; k < list.size(); ++k) {
                    const double room = across ? 4 * 0.6 * list[k].second : 1.2 * list[k].second;
                    EXPECT_GE(list[k].first - list[k - 1].first, room) << path << ": tick labels collide";
                }
            }

            std::set<std::tuple<double, double, double, double>> drawn;
            for (auto &start : elements(svg, "polyline")) {
                if (start["class"] != "start") {
                    continue;
                }
                EXPECT_GE(contrastOnWhite(start["stroke"]), 3.0)
                    << path << ": the starting figure prints too light";
                EXPECT_FALSE(start["stroke-dasharray"].empty())
                    << path << ": the starting figure is not dashed";
                std::istringstream points(start["points"]);
                double x = 0, y = 0, px = 0, py = 0;
                char comma = 0;
                for (bool first = true; points >> x >> comma >> y; first = false, px = x, py = y) {
                    if (!first) {
                        drawn.insert(strokeKey(px, py, x, y));
                    }
                }
            }
            EXPECT_EQ(drawn, figure) << path << ": the grey figure is not the figure where it starts";
        }
    }
}

// Each exercise's picture in the teacher's copy stands on the page of its
// answer: every paragraph of the answer is found on that page.
TEST_F(Handout, EachAnswerSharesAPageWithItsPicture) {
    const std::vector<std::string> text = pages(handoutPdf);
    const std::vector<int> picturePage = picturePages(handoutPdf);
    ASSERT_EQ(picturePage.size(), exercises.size()) << "lessons.pdf does not hold one picture an exercise";
    for (std::size_t i = 0; i < exercises.size(); ++i) {
        ASSERT_GE(picturePage[i], 1);
        const std::string &page = text.at(picturePage[i] - 1);
        for (const std::string &answer : exercises[i].answers) {
            for (const std::string &phrase : phrasesOf(answer)) {
                EXPECT_NE(page.find(phrase), std::string::npos)
                    << "lessons.pdf: the picture of \"" << exercises[i].heading << "\" is on page "
                    << picturePage[i] << ", but not its answer's \"" << phrase << "\"";
            }
        }
    }
}

// A number as the answer key prints it: at most `decimals` decimals, a true minus.
std::string keyNumber(double value, int decimals = 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result = text;
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.') {
        result.pop_back();
    }
    if (result == "-0") {
        result = "0";
    }
    return result[0] == '-' ? "−" + result.substr(1) : result;
}

// The teacher's copy ends on the answer key, one page: for every exercise,
// numbered as in the sheet, its determinant (to six decimals) and where the left foot A,
// (0, 0), and the top of the head D, (3, 10), go once the exercise list's
// entries are typed.
TEST_F(Handout, EndsOnAOnePageAnswerKeyThatAgreesWithTheList) {
    const std::vector<std::string> text = pages(handoutPdf);
    ASSERT_GE(text.size(), 2u);
    const std::string &key = text.back();
    EXPECT_EQ(key.rfind("Answer key", 0), 0u)
        << "lessons.pdf's last page is not the answer key: " << key.substr(0, 80);
    for (std::size_t page = 1; page + 1 < text.size(); ++page) {
        EXPECT_NE(text[page].rfind("Answer key", 0), 0u) << "the answer key starts on page " << page + 1;
    }

    std::map<std::string, Affine> matrixOf;
    for (const lessons::Exercise &exercise : lessons::theList()) {
        matrixOf[exercise.name] = lessons::afterTyping(exercise.entries);
    }
    // The rows in the sheet's order, each from its number to the next row's.
    std::vector<std::size_t> rowStart;
    for (const lessons::SheetExercise &exercise : exercises) {
        const std::string row = " " + std::to_string(std::atoi(exercise.heading.c_str())) + " ";
        const std::size_t at = key.find(row, rowStart.empty() ? 0 : rowStart.back() + 1);
        ASSERT_NE(at, std::string::npos) << "the answer key has no row for \"" << exercise.heading << "\"";
        rowStart.push_back(at);
    }
    rowStart.push_back(key.size());
    for (std::size_t i = 0; i < exercises.size(); ++i) {
        const lessons::SheetExercise &exercise = exercises[i];
        ASSERT_EQ(exercise.pictures.size(), 1u) << exercise.heading;
        const Affine m = matrixOf.at(exercise.pictures[0]);
        auto point = [&m](double x, double y) {
            return "(" + keyNumber(m.x(x, y)) + ", " + keyNumber(m.y(x, y)) + ")";
        };
        const std::string row = key.substr(rowStart[i], rowStart[i + 1] - rowStart[i]);
        for (const std::string &expected : {keyNumber(m.a * m.d - m.b * m.c, 6), point(0, 0), point(3, 10)}) {
            EXPECT_NE(row.find(expected), std::string::npos)
                << "the answer key's row for \"" << exercise.heading << "\" lacks " << expected << ": "
                << row;
        }
    }
}

// Whether the print pixel at (column, row), blank on the screen, widens the
// axes or ticks: a pixel beside it (left, right, above or below) is one of
// theirs on the screen, printed in the colour this one has.
bool widensALine(const Picture &screen, const Picture &print, int column, int row) {
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto &step : steps) {
        const int c = column + step[0], r = row + step[1];
        if (c < 0 || r < 0 || c >= screen.width() || r >= screen.height()) {
            continue;
        }
        const Rgb s = screen.at(c, r);
        if ((near(shade::axis)(s) || near(shade::tick)(s)) && print.at(c, r) == print.at(column, row)) {
            return true;
        }
    }
    return false;
}

double grey(Rgb c) {
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}

// The pictures in the handout, in its order, are the sheet's pictures in
// the sheet's order, printed: the screenshot's background is white on paper
// (but beside the axes and ticks, which widen into it) and everything drawn
// on it is drawn at the same pixels, dark, each of the program's colours as
// one print colour; the figure, the axes, the ticks and
// the matrix panel stay at least 30 of 255 apart in greyscale, and the axes
// and ticks print at 3:1 or more against white.
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
                if (background != (p == white) && !(background && widensALine(screen, print, column, row)) &&
                    ++misplaced <= 3) {
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
            if (name == "axes" || name == "ticks") {
                EXPECT_GE(contrastRatio({r, g, b}, {255, 255, 255}), 3.0)
                    << names[i] << ": the " << name << " print too light";
            }
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
