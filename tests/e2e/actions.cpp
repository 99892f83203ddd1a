#include "actions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "window_reading.h"

namespace e2e {

const char *const actionHelp =
    "  click:X,Y         left click at world position (X, Y)\n"
    "  right-click:X,Y   right click at world position (X, Y)\n"
    "  entry:C,R         left click on the matrix entry in column C (0-2), row R (0-1)\n"
    "  type:TEXT         types TEXT on the keyboard\n"
    "  key:NAME          presses a key by its X name (Return, Escape, BackSpace, ...)\n"
    "  set:C,R=TEXT      entry:C,R, then TEXT and Return\n"
    "  resize:WxH        resizes the window to W by H pixels\n"
    "  save:FILE         saves the window as a PNG picture\n";

namespace {

double readNumber(const std::string &text, const std::string &word) {
    char *end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value)) {
        throw DriverError("not a number: \"" + text + "\" in " + word);
    }
    return value;
}

int readWhole(const std::string &text, const std::string &word, int low, int high) {
    const double value = readNumber(text, word);
    if (value != std::floor(value) || value < low || value > high) {
        throw DriverError("\"" + text + "\" in " + word + " must be a whole number from " +
                          std::to_string(low) + " to " + std::to_string(high));
    }
    return static_cast<int>(value);
}

// Splits "A<separator>B"; throws when the separator is missing.
void split(const std::string &text, char separator, const std::string &word, std::string *a, std::string *b) {
    const std::size_t at = text.find(separator);
    if (at == std::string::npos) {
        throw DriverError(std::string("expected '") + separator + "' in " + word);
    }
    *a = text.substr(0, at);
    *b = text.substr(at + 1);
}

void readCell(const std::string &text, const std::string &word, Action *action) {
    std::string column, row;
    split(text, ',', word, &column, &row);
    action->column = readWhole(column, word, 0, 2);
    action->row = readWhole(row, word, 0, 1);
}

void selectEntry(ProgramWindow &window, int column, int row) {
    window.click(entryCentreX(column), entryCentreY(row));
    if (!window.waitUntil([&](const Picture &p) { return highlightedEntry(p) == Cell{column, row}; })) {
        throw DriverError("entry (" + std::to_string(column) + ", " + std::to_string(row) +
                          ") did not become highlighted");
    }
}

void settleOrThrow(ProgramWindow &window) {
    if (!window.settle()) {
        throw DriverError("the program stopped drawing frames");
    }
}

}  // namespace

Action parseAction(const std::string &word) {
    std::string name, argument;
    split(word, ':', word, &name, &argument);
    Action action;
    std::string a, b;
    if (name == "click" || name == "right-click") {
        action.kind = name == "click" ? Action::Kind::click : Action::Kind::rightClick;
        split(argument, ',', word, &a, &b);
        action.x = readNumber(a, word);
        action.y = readNumber(b, word);
    } else if (name == "entry") {
        action.kind = Action::Kind::entry;
        readCell(argument, word, &action);
    } else if (name == "type" || name == "key") {
        action.kind = name == "type" ? Action::Kind::type : Action::Kind::key;
        if (argument.empty()) {
            throw DriverError("nothing to " + name + " in " + word);
        }
        action.text = argument;
    } else if (name == "set") {
        action.kind = Action::Kind::set;
        split(argument, '=', word, &a, &action.text);
        readCell(a, word, &action);
    } else if (name == "resize") {
        action.kind = Action::Kind::resize;
        split(argument, 'x', word, &a, &b);
        action.width = readWhole(a, word, 1, 4000);
        action.height = readWhole(b, word, 1, 4000);
    } else if (name == "save") {
        action.kind = Action::Kind::save;
        if (argument.empty()) {
            throw DriverError("no file named in " + word);
        }
        action.text = argument;
    } else {
        throw DriverError("unknown action \"" + name + "\" in " + word);
    }
    return action;
}

void runAction(ProgramWindow &window, const Action &action) {
    switch (action.kind) {
        case Action::Kind::click:
        case Action::Kind::rightClick:
            window.click(action.x, action.y, action.kind == Action::Kind::click ? 1 : 3);
            settleOrThrow(window);
            break;
        case Action::Kind::entry:
            selectEntry(window, action.column, action.row);
            break;
        case Action::Kind::type:
            window.typeText(action.text);
            settleOrThrow(window);
            break;
        case Action::Kind::key:
            window.pressKey(action.text);
            settleOrThrow(window);
            break;
        case Action::Kind::set:
            selectEntry(window, action.column, action.row);
            window.typeText(action.text);
            window.pressKey("Return");
            // The first frame without the box is drawn with the new value.
            if (!window.waitUntil([](const Picture &p) { return highlightedEntry(p) == Cell{-1, -1}; })) {
                throw DriverError("the entry typed into (" + std::to_string(action.column) + ", " +
                                  std::to_string(action.row) + ") was not stored");
            }
            break;
        case Action::Kind::resize:
            window.resize(action.width, action.height);
            settleOrThrow(window);
            break;
        case Action::Kind::save: {
            settleOrThrow(window);
            window.grab().savePng(action.text);
            break;
        }
    }
}

}  // namespace e2e
