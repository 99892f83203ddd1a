// ostrivane_screenshot: starts the real program on a private X server,
// drives it through a list of actions with real X input and saves pictures
// of its window. Used for the README's picture; see actionHelp for the
// actions.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions.h"
#include "x_driver.h"

namespace {

void printUsage(std::FILE *to) {
    std::fprintf(to,
                 "usage: ostrivane_screenshot ACTION...\n"
                 "Starts the program on a private Xvfb (the one built beside this tool, or\n"
                 "the build that OSTRIVANE_E2E_TARGET and OSTRIVANE_E2E_PROGRAM name), does\n"
                 "the actions in order, each waited for until the window shows it, and ends it.\n"
                 "Actions:\n%s",
                 e2e::actionHelp);
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<e2e::Action> actions;
    try {
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
                printUsage(stdout);
                return 0;
            }
            actions.push_back(e2e::parseAction(argv[i]));
        }
    } catch (const e2e::DriverError &error) {
        std::fprintf(stderr, "ostrivane_screenshot: %s\n", error.what());
        printUsage(stderr);
        return 2;
    }
    if (actions.empty()) {
        printUsage(stderr);
        return 2;
    }
    try {
        e2e::VirtualDisplay display;
        e2e::ProgramWindow window(e2e::targetFromEnvironment(), display);
        for (const e2e::Action &action : actions) {
            e2e::runAction(window, action);
            if (action.kind == e2e::Action::Kind::save) {
                std::printf("saved %s\n", action.text.c_str());
            }
        }
        const std::string printed = window.printed();
        if (!printed.empty()) {
            std::fprintf(stderr, "ostrivane_screenshot: the program printed:\n%s", printed.c_str());
        }
    } catch (const e2e::DriverError &error) {
        std::fprintf(stderr, "ostrivane_screenshot: %s\n", error.what());
        return 1;
    }
    return 0;
}
