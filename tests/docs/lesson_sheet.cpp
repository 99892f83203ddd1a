#include "lesson_sheet.h"

#include "number_grammar.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace lessons {

namespace {

// The names the sheet's steps give the values, row by row: the value in
// (column, row) is places[3 * row + column].
const char *const places[6] = {"top-left",    "top-middle", "top-right",
                               "middle-left", "centre",     "middle-right"};

std::vector<std::string> words(const std::string &line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    std::string word;
    while (in >> word) {
        result.push_back(word);
    }
    return result;
}

std::string quoted(const std::string &text) {
    return "\"" + text + "\"";
}

std::string describe(const std::vector<Entry> &entries) {
    if (entries.empty()) {
        return "nothing";
    }
    std::string result;
    for (const Entry &e : entries) {
        result += (result.empty() ? "" : ", ") + e.text + " into the " + places[3 * e.row + e.column];
    }
    return result;
}

std::string formatNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Checks one matrix block against the matrix the entries give.
void compareMatrix(const std::vector<std::vector<std::string>> &rows, const Affine &a,
                   const std::string &where, std::vector<std::string> *problems) {
    const double expected[3][3] = {{a.a, a.b, a.tx}, {a.c, a.d, a.ty}, {0, 0, 1}};
    if (rows.size() != 3) {
        problems->push_back(where + ": its matrix block has " + std::to_string(rows.size()) +
                            " rows, not three");
        return;
    }
    for (int r = 0; r < 3; ++r) {
        if (rows[r].size() != 3) {
            problems->push_back(where + ": row " + std::to_string(r + 1) + " of its matrix block has " +
                                std::to_string(rows[r].size()) + " values, not three");
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            const std::string &text = rows[r][c];
            const std::string place = r < 2 ? "the " + std::string(places[3 * r + c]) + " value"
                                            : "the bottom row's value " + std::to_string(c + 1);
            if (!isPlainNumber(text)) {
                problems->push_back(where + ": its matrix block shows " + quoted(text) + " as " + place +
                                    ", which is not a plain number");
                continue;
            }
            const double stated = std::strtof(text.c_str(), nullptr);
            if (stated != expected[r][c]) {
                problems->push_back(where + ": its matrix block shows " + text + " as " + place +
                                    ", but typing the list's entries gives " + formatNumber(expected[r][c]));
            }
        }
    }
}

std::ifstream opened(const std::string &relative) {
    const std::string path = std::string(OSTRIVANE_SOURCE_DIR) + "/" + relative;
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    return in;
}

}  // namespace

std::string squeezed(const std::string &text) {
    std::string result;
    for (const std::string &word : words(text)) {
        result += (result.empty() ? "" : " ") + word;
    }
    return result;
}

bool operator==(const Entry &a, const Entry &b) {
    return a.column == b.column && a.row == b.row && a.text == b.text;
}

std::vector<SheetLine> theSheet() {
    std::ifstream in = opened("docs/lessons.md");
    return readLines(in);
}

std::vector<Exercise> theList() {
    std::ifstream in = opened("docs/lessons/exercises.txt");
    return readExercises(in, "docs/lessons/exercises.txt");
}

std::vector<Exercise> readExercises(std::istream &in, const std::string &fileName) {
    static const std::regex exercise(
        R"(\s*([a-z0-9]+(?:-[a-z0-9]+)*)(\s+follows-on)?((?:\s+[0-2],[01]=\S+)+)\s*)");
    static const std::regex entry(R"(([0-2]),([01])=(\S+))");
    std::vector<Exercise> result;
    std::map<std::string, int> seen;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::vector<std::string> w = words(line);
        if (w.empty() || w[0][0] == '#') {
            continue;
        }
        const std::string at = fileName + ":" + std::to_string(number) + ": ";
        std::smatch m;
        if (!std::regex_match(line, m, exercise)) {
            throw std::runtime_error(
                at + "cannot read " + quoted(line) +
                " as NAME [follows-on] COLUMN,ROW=NUMBER..., the name in lower-case letters, "
                "digits and dashes, the column 0 to 2 and the row 0 or 1");
        }
        if (!seen.emplace(m[1], number).second) {
            throw std::runtime_error(at + "exercise " + m[1].str() + " is listed already on line " +
                                     std::to_string(seen[m[1]]));
        }
        result.push_back({m[1], {}, m[2].matched});
        const std::string entries = m[3];
        for (std::sregex_iterator e(entries.begin(), entries.end(), entry), end; e != end; ++e) {
            if (!isPlainNumber((*e)[3])) {
                throw std::runtime_error(at + quoted((*e)[3]) + " is not a plain decimal number");
            }
            result.back().entries.push_back({std::stoi((*e)[1]), std::stoi((*e)[2]), (*e)[3]});
        }
    }
    return result;
}

Affine afterTyping(const std::vector<Entry> &entries) {
    Affine matrix;
    double *const values[2][3] = {{&matrix.a, &matrix.b, &matrix.tx}, {&matrix.c, &matrix.d, &matrix.ty}};
    for (const Entry &e : entries) {
        *values[e.row][e.column] = std::strtof(e.text.c_str(), nullptr);
    }
    return matrix;
}

std::vector<SheetLine> readLines(std::istream &in) {
    std::vector<SheetLine> result;
    Copy copy = Copy::both;
    std::string fence;
    bool inFence = false;
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, 3, "```") == 0) {
            inFence = !inFence;
            if (inFence) {
                const std::vector<std::string> kind = words(line.substr(3));
                fence = kind.empty() ? "text" : kind[0];
                result.push_back({line, copy, fence, true});
            } else {
                fence.clear();
                result.push_back({"", copy, "", false});  // keeps the line numbers
            }
            continue;
        }
        const std::string tag = inFence ? "" : squeezed(line);
        if (tag == "<div class=\"teacher\">" || tag == "<div class=\"answer\">") {
            copy = Copy::teacher;
        } else if (tag == "<div class=\"student\">") {
            copy = Copy::worksheet;
        } else if (tag == "</div>") {
            copy = Copy::both;
        }
        result.push_back({line, copy, fence, false});
    }
    return result;
}

std::vector<std::vector<std::string>> fencedBlocks(const std::vector<SheetLine> &lines, const char *kind) {
    std::vector<std::vector<std::string>> result;
    for (const SheetLine &line : lines) {
        if (line.fence != kind) {
            continue;
        }
        if (line.opensFence) {
            result.emplace_back();
        } else if (!result.empty()) {
            result.back().push_back(line.text);
        }
    }
    return result;
}

std::vector<SheetExercise> readSheet(const std::vector<SheetLine> &lines) {
    static const std::regex picture(R"(!\[[^\]]*\]\(images/lessons/([^)]*)\.png\))");
    static const std::regex stepStart(R"(\s*[0-9]+\.\s+Click\b.*)");
    static const std::regex step(
        R"(\s*[0-9]+\.\s+Click the ([a-z-]+) value, type `([^`]+)` and press Enter\.\s*)");
    std::vector<SheetExercise> sections(1);
    bool inAnswer = false;
    int number = 0;
    for (const SheetLine &sheetLine : lines) {
        ++number;
        const std::string &line = sheetLine.text;
        SheetExercise &section = sections.back();
        if (sheetLine.opensFence) {
            if (sheetLine.fence == "matrix") {
                section.matrices.emplace_back();
            }
            continue;
        }
        if (!sheetLine.fence.empty()) {
            std::istringstream frame(line);
            Frame f;
            if (sheetLine.fence == "frames" && frame >> f.x0 >> f.x1 >> f.y0 >> f.y1 &&
                std::getline(frame >> std::ws, f.caption)) {
                section.frames.push_back(f);
            }
            if (sheetLine.fence == "matrix") {
                std::string cleaned = line;
                for (char &ch : cleaned) {
                    if (ch == '|' || ch == '[' || ch == ']') {
                        ch = ' ';
                    }
                }
                if (!words(cleaned).empty()) {
                    section.matrices.back().push_back(words(cleaned));
                }
            }
            continue;
        }
        if (line.compare(0, 3, "## ") == 0) {
            sections.push_back({line.substr(3), number, {}, {}, {}, {}, {}, {}});
            inAnswer = false;
            continue;
        }
        const std::string tag = squeezed(line);
        if (tag == "<div class=\"answer\">") {
            section.answers.emplace_back();
            inAnswer = true;
            continue;
        }
        if (inAnswer && tag == "</div>") {
            inAnswer = false;
            continue;
        }
        if (inAnswer) {
            section.answers.back() += line + "\n";
        }
        for (std::sregex_iterator i(line.begin(), line.end(), picture), end; i != end; ++i) {
            section.pictures.push_back((*i)[1]);
        }
        if (std::regex_match(line, stepStart)) {
            std::smatch m;
            const int place = static_cast<int>(
                std::regex_match(line, m, step) ? std::find(places, places + 6, m[1].str()) - places : 6);
            if (place < 6) {
                section.steps.push_back({place % 3, place / 3, m[2]});
            } else {
                section.unreadSteps.push_back(line);
            }
        }
    }
    std::vector<SheetExercise> result;
    for (const SheetExercise &s : sections) {
        if (!s.pictures.empty() || !s.matrices.empty() || !s.steps.empty() || !s.unreadSteps.empty() ||
            !s.answers.empty()) {
            result.push_back(s);
        }
    }
    return result;
}

std::vector<std::string> disagreements(const std::vector<Exercise> &list,
                                       const std::vector<SheetExercise> &sheet) {
    std::vector<std::string> problems;
    std::map<std::string, const Exercise *> byName;
    for (const Exercise &e : list) {
        byName[e.name] = &e;
    }
    std::map<std::string, std::string> shownIn;
    for (const SheetExercise &s : sheet) {
        const std::string where = "section " + quoted(s.heading) + " (line " + std::to_string(s.line) + ")";
        for (const std::string &line : s.unreadSteps) {
            problems.push_back(where + ": cannot read the step " + quoted(line) +
                               " (expected \"N. Click the PLACE value, type `TEXT` and press Enter.\")");
        }
        if (s.pictures.size() != 1) {
            problems.push_back(where + ": shows " + std::to_string(s.pictures.size()) +
                               " pictures of images/lessons/, not one");
            continue;
        }
        const std::string &name = s.pictures[0];
        const auto found = byName.find(name);
        if (found == byName.end()) {
            problems.push_back(where + ": shows images/lessons/" + name +
                               ".png, which is no exercise of the list");
            continue;
        }
        if (shownIn.count(name) != 0) {
            problems.push_back(where + ": shows exercise " + name + " again, after " + shownIn[name]);
            continue;
        }
        shownIn[name] = where;
        const Exercise &exercise = *found->second;
        if (s.matrices.size() != 1) {
            problems.push_back(where + " (exercise " + name + "): has " + std::to_string(s.matrices.size()) +
                               " matrix blocks, not one");
        } else {
            compareMatrix(s.matrices[0], afterTyping(exercise.entries), where + " (exercise " + name + ")",
                          &problems);
        }
        if (!(s.steps == exercise.entries)) {
            problems.push_back(where + " (exercise " + name + "): its steps type " + describe(s.steps) +
                               ", but the list types " + describe(exercise.entries));
        }
    }
    for (const Exercise &e : list) {
        if (shownIn.count(e.name) == 0) {
            problems.push_back("exercise " + e.name + " has no section in the sheet showing images/lessons/" +
                               e.name + ".png");
        }
    }
    return problems;
}

}  // namespace lessons
