// Drives the real ostrivane program as a user would: starts a private X
// server (Xvfb) and the program on it, finds the program's window by its
// title, sends real mouse and keyboard input through the XTest extension and
// reads the window back pixel by pixel.
#ifndef OSTRIVANE_X_DRIVER_H
#define OSTRIVANE_X_DRIVER_H

#include <sys/types.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

// Bound on every wait for the X server or the program. Generous, because
// the machine may be busy with other work; a normal wait ends in
// milliseconds.
constexpr std::chrono::milliseconds defaultWait{20000};

// The X server, the program or a file did not do what the driver needs.
class DriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Rgb {
    int r, g, b;
};

inline bool operator==(Rgb a, Rgb b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Pixel column and row of a world position in a window of the given size:
// the world square x, y in [-50, 50] always covers the whole window, y
// upwards.
int worldColumn(double worldX, int width);
int worldRow(double worldY, int height);

// A picture of a window: 8-bit RGB, rows from the top.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height, std::vector<unsigned char> rgb);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // The pixel, or (-1, -1, -1) outside the picture.
    Rgb at(int column, int row) const;

    // Pixel column and row of a world position in this picture.
    int columnOf(double worldX) const;
    int rowOf(double worldY) const;

    bool operator==(const Picture &other) const;
    bool operator!=(const Picture &other) const { return !(*this == other); }

    // Writes the picture as PNG, colour-mapped when it has at most 256
    // colours (as the program's pictures do). Throws DriverError.
    void savePng(const std::string &path) const;
    static Picture loadPng(const std::string &path);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> rgb_;
};

// A private Xvfb on a display number of its own choosing (-displayfd), with
// one screen of the given size at 24 bits; stopped, by its process id, when
// the object goes.
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

// A program started on a virtual display, and its top-level window. The
// constructor returns once the window is mapped, has the keyboard focus (as
// a window manager would give it) and has drawn a frame. Whatever the
// program writes on stdout and stderr is kept. The program is ended when
// the object goes, if it still runs.
class ProgramWindow {
public:
    ProgramWindow(const std::string &program, const VirtualDisplay &display,
                  const std::string &title = "Ostrivane");
    ~ProgramWindow();
    ProgramWindow(const ProgramWindow &) = delete;
    ProgramWindow &operator=(const ProgramWindow &) = delete;

    struct Geometry {
        int x, y, width, height;
    };
    // Position on the screen and size of the window.
    Geometry geometry() const;
    std::string title() const;
    // Whether the window lists WM_DELETE_WINDOW in WM_PROTOCOLS, that is
    // whether a window manager's close button asks it politely to close.
    bool acceptsDeleteRequest() const;

    // Input, sent through XTest as real devices would send it; each call
    // returns once the X server has handled it.
    // Moves the pointer over a world position and presses and releases the
    // button there (1 left, 2 middle, 3 right).
    void click(double worldX, double worldY, int button = 1);
    // Types each character on the keyboard, with Shift where the keyboard
    // needs it; '\r' or '\n' is Return, '\b' BackSpace, '\x1b' Escape.
    void typeText(const std::string &text);
    // Presses and releases the key of an X key name: "Return", "Escape",
    // "BackSpace", "a", ...
    void pressKey(const std::string &keyName);
    // Resizes the window, as dragging its border would.
    void resize(int width, int height);
    // What a window manager's close button does for a window that accepts
    // it: the ICCCM WM_DELETE_WINDOW message.
    void requestClose();

    // The window as it shows now; empty when it is gone.
    Picture grab() const;
    // Waits until the window shows a picture that `accepts`; `last` gets
    // the last picture looked at. False after `timeout`.
    bool waitUntil(const std::function<bool(const Picture &)> &accepts, Picture *last = nullptr,
                   std::chrono::milliseconds timeout = defaultWait);
    // Waits until the program has drawn `frames` frames after the X server
    // passed it everything sent so far: with continuous redrawing, the
    // program has then handled that input. False when frames stop coming.
    bool settle(int frames = 3, std::chrono::milliseconds timeout = defaultWait);

    bool windowExists() const;
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
