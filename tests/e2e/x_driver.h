// Drives a real build of Ostrivane as a user would: starts a private X
// server (Xvfb) and the program on it, finds the program's window by its
// title, sends real mouse and keyboard input (libxdo, through XTest) and
// reads the window back pixel by pixel. Which build runs, and how it is
// started, is a Target: the desktop program, the Windows .exe under Wine or
// the page in Chromium, Firefox or WebKitGTK.
#ifndef OSTRIVANE_X_DRIVER_H
#define OSTRIVANE_X_DRIVER_H

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "picture.h"

namespace e2e {

// Bound on every wait for the X server or the program: generous, for a busy
// machine; a normal wait ends in milliseconds.
constexpr std::chrono::milliseconds defaultWait{20000};

// Whether `done` is true, asked at once and then every `pause` until
// `timeout` has passed.
bool eventually(const std::function<bool()> &done, std::chrono::milliseconds timeout = defaultWait,
                std::chrono::milliseconds pause = std::chrono::milliseconds(20));

// The X server, the program or a file did not do what the driver needs.
class DriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How to start one build of the program, and where its drawing area lies
// inside the window that carries its title.
struct Target {
    std::string name;
    // Started with DISPLAY set to the virtual display.
    std::vector<std::string> command;
    std::string title = "Ostrivane";
    // Where the titled window stands from the screen position the program
    // asks for: Wine's frame puts it 4 pixels right and 23 down, Firefox at
    // the screen's corner.
    int offsetX = 0, offsetY = 0;
    // The page shows the program in the largest square that fits the
    // window, centred across and at the top; elsewhere the window is the
    // drawing area.
    bool square = false;
    // How many pixels a line may land away from where the desktop program
    // draws it: another renderer may round a diagonal's pixels differently.
    int lineSlack = 0;
    // Only the Linux program promises to write nothing on its terminal.
    bool silent = true;
    // The page draws only when its picture changes; the others draw
    // continuously.
    bool drawsOnChange = false;
    // The page's entries are also reached and started with the keyboard.
    bool keyboardEntries = false;
    // Orca runs beside the program (a browser named with "+orca"), which
    // then exposes its accessibility to it.
    bool screenReader = false;
    // How long the first window may take to appear.
    std::chrono::milliseconds startWait = defaultWait;

    struct Area {
        int x, y, width, height;
    };
    // The drawing area inside a window of the given size.
    Area drawingArea(int width, int height) const;
};

// "desktop", or the target named by OSTRIVANE_E2E_TARGET ("windows",
// "chromium", "firefox", "webkit", and "chromium+orca", "firefox+orca"
// with a screen reader beside them). The browsers open the site in
// OSTRIVANE_E2E_SITE (default the web preset's build/web/site).
Target targetFromEnvironment();

// A private Xvfb on a display number of its own choosing (-displayfd), with
// one screen of the given size at 24 bits; stopped when the object goes.
class VirtualDisplay {
public:
    explicit VirtualDisplay(int width = 1600, int height = 1200);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    // The display name, such as ":3".
    const std::string &name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

// Orca, the screen reader, on a virtual display and on a D-Bus session bus
// of its own, where the accessibility bus starts when first asked for. Its
// settings and everything it keeps are in `folder`, and every utterance is
// written to its log there as it is spoken. Programs started afterwards find
// the bus, and are asked to expose their accessibility, through the
// environment. Orca refuses to start while another Orca of the same user
// runs. Stopped, with its bus, when the object goes.
class ScreenReader {
public:
    ScreenReader(const VirtualDisplay &display, const std::string &folder);
    ~ScreenReader();
    ScreenReader(const ScreenReader &) = delete;
    ScreenReader &operator=(const ScreenReader &) = delete;

    // What it has spoken so far, one utterance an element, in order.
    std::vector<std::string> spoken() const;
    // Waits until an utterance after the first `after` contains `phrase`
    // (case ignored) not followed by a digit; gives the number spoken up to
    // and including it, or 0 after `timeout`.
    std::size_t waitToSay(const std::string &phrase, std::size_t after = 0,
                          std::chrono::milliseconds timeout = defaultWait) const;
    // The lines of its log so far: a mark for `handled`.
    std::size_t logMark() const;
    // The number of the first line of its log that contains `text`, or 0.
    std::size_t firstLogLine(const std::string &text) const;
    // Whether, since `mark`, Orca has handled a key press to its end and has
    // taken up the browser's report of the caret it moved: a report taken
    // up after the key is let go counts as the student's own move.
    bool handled(std::size_t mark) const;

private:
    // Ends Orca and the bus, and removes the runtime folder.
    void stop();
    std::vector<std::string> logLines() const;
    pid_t bus_ = -1, orca_ = -1;
    std::string log_, runtime_;
    std::FILE *output_ = nullptr;
};

// A program started on a virtual display, and its window titled
// "Ostrivane". The constructor returns once the window is mapped, has the
// keyboard focus (as a window manager would give it) and has drawn a frame.
// Whatever the program writes on stdout and stderr is kept. The program is
// ended when the object goes, if it still runs.
class ProgramWindow {
public:
    ProgramWindow(const Target &target, const VirtualDisplay &display);
    ~ProgramWindow();
    ProgramWindow(const ProgramWindow &) = delete;
    ProgramWindow &operator=(const ProgramWindow &) = delete;

    using Geometry = Target::Area;
    // Position on the screen and size of the titled window.
    Geometry geometry() const;
    std::string title() const;

    // Input, as real devices send it; each call returns once the X server
    // has handled it. A click presses and releases the button (1 left, 3
    // right) over a world position of the drawing area.
    void click(double worldX, double worldY, int button = 1);
    // The text's characters (UTF-8), with Shift where the keyboard needs it.
    void typeText(const std::string &text);
    // Presses a key or a combination by its X names: "Return", "Escape",
    // "BackSpace", "ctrl+a", ...
    void pressKey(const std::string &keys);
    // Presses a key or combination and keeps it down until `done` is true
    // (or `timeout` has passed), as a person lets go after hearing the
    // answer; false on the timeout. The server repeats no key held so.
    bool holdKey(const std::string &keys, const std::function<bool()> &done,
                 std::chrono::milliseconds timeout = defaultWait);
    // Keys by their X names, pressed and released one after another and
    // sent to the server together, so that no frame can come between
    // them; with a world position, a left press and release there first.
    void sendTogether(const std::vector<std::string> &keys);
    void clickThenKeys(double worldX, double worldY, const std::vector<std::string> &keys);
    // Resizes the window, as dragging its border would.
    void resize(int width, int height);
    // What a window manager's close button does for a window that accepts
    // it: the ICCCM WM_DELETE_WINDOW message.
    void requestClose();

    // The drawing area as it shows now; empty when the window is gone.
    Picture grab() const;
    // Waits until the window shows a picture that `accepts`; `last` gets
    // the last picture looked at. False after `timeout`.
    bool waitUntil(const std::function<bool(const Picture &)> &accepts, Picture *last = nullptr,
                   std::chrono::milliseconds timeout = defaultWait);
    // Waits until the program has drawn `frames` frames after the X server
    // passed it everything sent so far: with continuous redrawing, the
    // program has then handled that input. A target that draws on change
    // has handled it once its frames pause. False when frames stop coming
    // from a program that draws continuously.
    bool settle(int frames = 3, std::chrono::milliseconds timeout = defaultWait);

    bool waitUntilWindowGone(std::chrono::milliseconds timeout = defaultWait);
    // True while the process runs.
    bool running();
    // Waits for the process to end and gives its waitpid status; false
    // when it still runs after `timeout`.
    bool waitForExit(int *status, std::chrono::milliseconds timeout = defaultWait);
    // Everything the program has written on stdout and stderr so far.
    std::string printed() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace e2e

#endif
