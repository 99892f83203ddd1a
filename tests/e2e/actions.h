// Actions a script can ask of the running program, written as words such
// as "set:1,0=1" or "save:window.png"; each waits until the window shows
// its effect, so that a picture saved afterwards is always the same.
#ifndef OSTRIVANE_ACTIONS_H
#define OSTRIVANE_ACTIONS_H

#include <string>

#include "x_driver.h"

namespace e2e {

struct Action {
    enum class Kind {
        click,       // click:X,Y       left click at world (X, Y)
        rightClick,  // right-click:X,Y right click at world (X, Y)
        entry,       // entry:C,R       left click on entry (column C, row R)
        type,        // type:TEXT       types TEXT
        key,         // key:NAME        presses the key of an X key name
        set,         // set:C,R=TEXT    entry, TEXT, Return
        resize,      // resize:WxH      resizes the window
        save,        // save:FILE       saves the window as a PNG
    };
    Kind kind = Kind::click;
    double x = 0.0, y = 0.0;
    int column = 0, row = 0;
    int width = 0, height = 0;
    std::string text;
};

// The list of action words, for a usage message.
extern const char *const actionHelp;

// Reads one action word; throws DriverError saying what is wrong with it.
Action parseAction(const std::string &word);

// Does the action and waits until the window shows its effect; throws
// DriverError when it never does.
void runAction(ProgramWindow &window, const Action &action);

}  // namespace e2e

#endif
