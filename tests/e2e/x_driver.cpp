#include "x_driver.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <thread>
#include <utility>

extern char **environ;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = pread(fd, buffer, sizeof buffer, offset);
        if (n <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

// Starts a child process with stdin from /dev/null and stdout and stderr
// into `outputFd`. `passedFd`, when not -1, is handed over as descriptor 3.
// The child gets `deathSignal` should this process die first, so that no
// server or program outlives a crashed or killed test.
pid_t spawn(const std::vector<std::string> &arguments, const std::vector<std::string> &environment,
            int outputFd, int passedFd, int deathSignal) {
    std::vector<char *> argv;
    for (const std::string &a : arguments) {
        argv.push_back(const_cast<char *>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const std::string &e : environment) {
        envp.push_back(const_cast<char *>(e.c_str()));
    }
    envp.push_back(nullptr);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (devNull < 0) {
        throw DriverError("cannot open /dev/null");
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here to exec.
        prctl(PR_SET_PDEATHSIG, deathSignal);
        if (getppid() != parent) {
            _exit(127);
        }
        dup2(devNull, 0);
        dup2(outputFd, 1);
        dup2(outputFd, 2);
        if (passedFd == 3) {
            fcntl(3, F_SETFD, 0);
        } else if (passedFd >= 0) {
            dup2(passedFd, 3);
        }
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(devNull);
    if (pid < 0) {
        throw DriverError("cannot start " + arguments[0] + ": " + std::strerror(errno));
    }
    return pid;
}

// This process's environment, with one variable set when `name` is given.
std::vector<std::string> environmentWith(const std::string &name = "", const std::string &value = "") {
    std::vector<std::string> result;
    const std::string prefix = name + "=";
    for (char **e = environ; *e != nullptr; ++e) {
        if (name.empty() || std::strncmp(*e, prefix.c_str(), prefix.size()) != 0) {
            result.emplace_back(*e);
        }
    }
    if (!name.empty()) {
        result.push_back(prefix + value);
    }
    return result;
}

// Waits for a child to end, without sleeping where the kernel can tell us
// (a pidfd); true and its status once it has.
bool waitForChild(pid_t pid, int *status, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    bool ended = false;
    for (;;) {
        const pid_t r = waitpid(pid, status, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR)) {
            ended = true;
            break;
        }
        if (Clock::now() >= deadline) {
            break;
        }
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            poll(&p, 1, millisecondsLeft(deadline));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    if (pidfd >= 0) {
        close(pidfd);
    }
    return ended;
}

// Ends a child: the polite signal first, a kill when it does not go.
void stopChild(pid_t pid, int politeSignal) {
    int status = 0;
    kill(pid, politeSignal);
    if (!waitForChild(pid, &status, std::chrono::seconds(5))) {
        kill(pid, SIGKILL);
        waitForChild(pid, &status, std::chrono::seconds(5));
    }
}

// X errors are expected while a window goes away; they are recorded
// instead of ending the process, as Xlib's default handler would.
int lastXError = 0;

int recordXError(Display *, XErrorEvent *event) {
    lastXError = event->error_code;
    return 0;
}

// The shift and value of one colour channel in an X pixel.
struct Channel {
    int shift = 0;
    unsigned long max = 0;
    explicit Channel(unsigned long mask) {
        if (mask == 0) {
            return;
        }
        while ((mask & 1UL) == 0) {
            mask >>= 1;
            ++shift;
        }
        max = mask;
    }
    int value(unsigned long pixel) const {
        if (max == 0) {
            return 0;
        }
        return static_cast<int>(((pixel >> shift) & max) * 255 / max);
    }
};

}  // namespace

// ---------------------------------------------------------------- Picture

Picture::Picture(int width, int height, std::vector<unsigned char> rgb)
    : width_(width), height_(height), rgb_(std::move(rgb)) {
    if (width_ < 0 || height_ < 0 || rgb_.size() != static_cast<std::size_t>(width_) * height_ * 3) {
        throw DriverError("picture data does not match its size");
    }
}

Rgb Picture::at(int column, int row) const {
    if (column < 0 || column >= width_ || row < 0 || row >= height_) {
        return {-1, -1, -1};
    }
    const std::size_t i = (static_cast<std::size_t>(row) * width_ + column) * 3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int worldColumn(double worldX, int width) {
    return static_cast<int>(std::floor((worldX + 50.0) * width / 100.0));
}

int worldRow(double worldY, int height) {
    return static_cast<int>(std::floor((50.0 - worldY) * height / 100.0));
}

int Picture::columnOf(double worldX) const {
    return worldColumn(worldX, width_);
}

int Picture::rowOf(double worldY) const {
    return worldRow(worldY, height_);
}

bool Picture::operator==(const Picture &other) const {
    return width_ == other.width_ && height_ == other.height_ && rgb_ == other.rgb_;
}

void Picture::savePng(const std::string &path) const {
    if (empty()) {
        throw DriverError("no picture to save as " + path);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);

    // Colours in the order they first appear, so that the same picture
    // always gives the same file.
    std::map<unsigned long, unsigned char> index;
    std::vector<unsigned char> colourMap;
    std::vector<unsigned char> indices;
    indices.reserve(rgb_.size() / 3);
    for (std::size_t i = 0; i < rgb_.size() && index.size() <= 256; i += 3) {
        const unsigned long key = (static_cast<unsigned long>(rgb_[i]) << 16) |
                                  (static_cast<unsigned long>(rgb_[i + 1]) << 8) | rgb_[i + 2];
        auto found = index.find(key);
        if (found == index.end()) {
            if (index.size() == 256) {
                index.emplace(key, 0);  // one too many: not colour-mapped
                break;
            }
            found = index.emplace(key, static_cast<unsigned char>(index.size())).first;
            colourMap.insert(colourMap.end(), {rgb_[i], rgb_[i + 1], rgb_[i + 2]});
        }
        indices.push_back(found->second);
    }
    int written;
    if (index.size() <= 256) {
        image.format = PNG_FORMAT_RGB_COLORMAP;
        image.colormap_entries = static_cast<png_uint_32>(index.size());
        written = png_image_write_to_file(&image, path.c_str(), 0, indices.data(), width_, colourMap.data());
    } else {
        image.format = PNG_FORMAT_RGB;
        written = png_image_write_to_file(&image, path.c_str(), 0, rgb_.data(), width_ * 3, nullptr);
    }
    if (written == 0) {
        const std::string message = image.message;
        png_image_free(&image);
        throw DriverError("cannot write " + path + ": " + message);
    }
}

Picture Picture::loadPng(const std::string &path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        throw DriverError("cannot read " + path + ": " + image.message);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    const png_color black{0, 0, 0};
    if (png_image_finish_read(&image, &black, rgb.data(), 0, nullptr) == 0) {
        const std::string message = image.message;
        png_image_free(&image);
        throw DriverError("cannot read " + path + ": " + message);
    }
    return Picture(static_cast<int>(image.width), static_cast<int>(image.height), std::move(rgb));
}

// --------------------------------------------------------- VirtualDisplay

VirtualDisplay::VirtualDisplay(int width, int height) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw DriverError("cannot make a pipe for Xvfb");
    }
    std::FILE *log = std::tmpfile();
    if (log == nullptr) {
        close(fds[0]);
        close(fds[1]);
        throw DriverError("cannot make a file for Xvfb's messages");
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    try {
        pid_ = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                     environmentWith(), fileno(log), fds[1], SIGTERM);
    } catch (...) {
        close(fds[0]);
        close(fds[1]);
        std::fclose(log);
        throw;
    }
    close(fds[1]);

    // Xvfb writes its display number once it accepts connections.
    std::string number;
    const Clock::time_point deadline = Clock::now() + defaultWait;
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, millisecondsLeft(deadline)) <= 0) {
            break;
        }
        char ch;
        const ssize_t n = read(fds[0], &ch, 1);
        if (n <= 0 || ch == '\n') {
            break;
        }
        number += ch;
    }
    close(fds[0]);
    const std::string messages = readAll(fileno(log));
    std::fclose(log);
    if (number.empty()) {
        stopChild(pid_, SIGTERM);
        throw DriverError("Xvfb did not start (is it installed?): " + messages);
    }
    name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        stopChild(pid_, SIGTERM);
    }
}

// ---------------------------------------------------------- ProgramWindow

struct ProgramWindow::Impl {
    Display *display = nullptr;
    Window root = 0;
    Window window = 0;
    Damage damage = 0;
    int damageEvent = 0;
    pid_t pid = -1;
    bool exited = false;
    int exitStatus = 0;
    std::FILE *output = nullptr;
    std::string title;

    ~Impl() {
        if (pid > 0 && !exited) {
            stopChild(pid, SIGTERM);
        }
        if (display != nullptr) {
            XCloseDisplay(display);
        }
        if (output != nullptr) {
            std::fclose(output);
        }
    }

    // Runs an X request and tells whether the server refused it.
    template <typename F>
    bool succeeds(F request) const {
        XSync(display, False);
        lastXError = 0;
        request();
        XSync(display, False);
        return lastXError == 0;
    }

    std::string fetchName(Window w) const {
        char *name = nullptr;
        std::string result;
        if (succeeds([&] { XFetchName(display, w, &name); }) && name != nullptr) {
            result = name;
        }
        if (name != nullptr) {
            XFree(name);
        }
        return result;
    }

    // The mapped top-level window with the title, or 0.
    Window findWindow() const {
        Window rootReturn, parent, *children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0) {
            return 0;
        }
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            XWindowAttributes attributes;
            if (fetchName(children[i]) == title &&
                succeeds([&] { XGetWindowAttributes(display, children[i], &attributes); }) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
        return found;
    }

    // The titles of the top-level windows, for a failure message.
    std::string topLevelTitles() const {
        Window rootReturn, parent, *children = nullptr;
        unsigned int count = 0;
        std::string titles;
        if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) != 0) {
            for (unsigned int i = 0; i < count; ++i) {
                const std::string name = fetchName(children[i]);
                if (!name.empty()) {
                    titles += (titles.empty() ? "\"" : ", \"") + name + "\"";
                }
            }
            if (children != nullptr) {
                XFree(children);
            }
        }
        return titles.empty() ? "no titled window" : "windows titled " + titles;
    }

    // Waits until the X connection has something to read; false at the
    // deadline.
    bool waitForEvents(Clock::time_point deadline, int limitMs = -1) const {
        if (XPending(display) > 0) {
            return true;
        }
        int ms = millisecondsLeft(deadline);
        if (limitMs >= 0) {
            ms = std::min(ms, limitMs);
        }
        pollfd p{ConnectionNumber(display), POLLIN, 0};
        return poll(&p, 1, ms) > 0 && XPending(display) > 0;
    }

    // Waits for the next frame drawn into the window after this call.
    // The damage is emptied, so that the next drawing reports itself; a
    // report counts only when the server made it after emptying, which its
    // sequence number tells. Other events (the root's substructure) are not
    // needed here and are dropped.
    bool nextFrame(Clock::time_point deadline) const {
        const unsigned long emptied = NextRequest(display);
        XDamageSubtract(display, damage, None, None);
        XFlush(display);
        XEvent event;
        for (;;) {
            while (XPending(display) > 0) {
                XNextEvent(display, &event);
                if (event.type == damageEvent + XDamageNotify && event.xany.serial >= emptied) {
                    return true;
                }
            }
            if (!waitForEvents(deadline)) {
                return false;
            }
        }
    }

    bool checkExited() {
        if (exited) {
            return true;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            exitStatus = status;
        }
        return exited;
    }

    void tapKeycode(KeyCode code, bool shift) {
        const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
        if (shift) {
            XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
        }
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (shift) {
            XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
        }
    }

    void tapKeysym(KeySym symbol, const std::string &what) {
        const KeyCode code = XKeysymToKeycode(display, symbol);
        if (code == 0) {
            throw DriverError("no key of the keyboard types " + what);
        }
        const bool shift = XkbKeycodeToKeysym(display, code, 0, 0) != symbol &&
                           XkbKeycodeToKeysym(display, code, 0, 1) == symbol;
        tapKeycode(code, shift);
    }

    void pointerTo(double worldX, double worldY) {
        XWindowAttributes attributes;
        if (!succeeds([&] { XGetWindowAttributes(display, window, &attributes); })) {
            throw DriverError("the window is gone");
        }
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
        const int column = std::clamp(worldColumn(worldX, attributes.width), 0, attributes.width - 1);
        const int row = std::clamp(worldRow(worldY, attributes.height), 0, attributes.height - 1);
        XTestFakeMotionEvent(display, DefaultScreen(display), x + column, y + row, CurrentTime);
    }
};

ProgramWindow::ProgramWindow(const std::string &program, const VirtualDisplay &display,
                             const std::string &title)
    : impl_(std::make_unique<Impl>()) {
    Impl &d = *impl_;
    d.title = title;
    XSetErrorHandler(recordXError);
    d.display = XOpenDisplay(display.name().c_str());
    if (d.display == nullptr) {
        throw DriverError("cannot connect to the X display " + display.name());
    }
    int event, error, major, minor;
    if (!XTestQueryExtension(d.display, &event, &error, &major, &minor)) {
        throw DriverError("the X server has no XTest extension");
    }
    if (!XDamageQueryExtension(d.display, &d.damageEvent, &error)) {
        throw DriverError("the X server has no DAMAGE extension");
    }
    d.root = DefaultRootWindow(d.display);
    XSelectInput(d.display, d.root, SubstructureNotifyMask);
    XSync(d.display, False);

    d.output = std::tmpfile();
    if (d.output == nullptr) {
        throw DriverError("cannot make a file for the program's output");
    }
    d.pid = spawn({program}, environmentWith("DISPLAY", display.name()), fileno(d.output), -1, SIGKILL);

    // The window counts as found once it is mapped; it is looked for again
    // whenever the root's children change.
    const Clock::time_point deadline = Clock::now() + defaultWait;
    while ((d.window = d.findWindow()) == 0) {
        if (d.checkExited()) {
            throw DriverError(program + " ended before showing its window; it printed: " + printed());
        }
        if (Clock::now() >= deadline) {
            throw DriverError("no window titled \"" + title + "\" appeared; the screen shows " +
                              d.topLevelTitles());
        }
        // A bound on each wait, so that a program that ends is noticed.
        if (d.waitForEvents(deadline, 100)) {
            XEvent ignored;
            while (XPending(d.display) > 0) {
                XNextEvent(d.display, &ignored);
            }
        }
    }
    // Without a window manager nobody gives the new window the focus.
    XSetInputFocus(d.display, d.window, RevertToPointerRoot, CurrentTime);
    d.damage = XDamageCreate(d.display, d.window, XDamageReportNonEmpty);
    if (!settle(1)) {
        throw DriverError("the window shows no frame");
    }
}

ProgramWindow::~ProgramWindow() = default;

ProgramWindow::Geometry ProgramWindow::geometry() const {
    const Impl &d = *impl_;
    XWindowAttributes attributes;
    if (!d.succeeds([&] { XGetWindowAttributes(d.display, d.window, &attributes); })) {
        throw DriverError("the window is gone");
    }
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(d.display, d.window, d.root, 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

std::string ProgramWindow::title() const {
    return impl_->fetchName(impl_->window);
}

bool ProgramWindow::acceptsDeleteRequest() const {
    const Impl &d = *impl_;
    const Atom deleteWindow = XInternAtom(d.display, "WM_DELETE_WINDOW", False);
    Atom *protocols = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(d.display, d.window, &protocols, &count) != 0) {
        found = std::find(protocols, protocols + count, deleteWindow) != protocols + count;
        XFree(protocols);
    }
    return found;
}

void ProgramWindow::click(double worldX, double worldY, int button) {
    impl_->pointerTo(worldX, worldY);
    XTestFakeButtonEvent(impl_->display, static_cast<unsigned int>(button), True, CurrentTime);
    XTestFakeButtonEvent(impl_->display, static_cast<unsigned int>(button), False, CurrentTime);
    XSync(impl_->display, False);
}

void ProgramWindow::typeText(const std::string &text) {
    for (const char ch : text) {
        const unsigned char code = static_cast<unsigned char>(ch);
        KeySym symbol;
        switch (ch) {
            case '\r':
            case '\n':
                symbol = XK_Return;
                break;
            case '\b':
                symbol = XK_BackSpace;
                break;
            case '\x1b':
                symbol = XK_Escape;
                break;
            case '\t':
                symbol = XK_Tab;
                break;
            default:
                if (code < 0x20 || code > 0x7e) {
                    throw DriverError("cannot type the character code " + std::to_string(code));
                }
                // Printable ASCII characters are their own key symbols.
                symbol = code;
        }
        impl_->tapKeysym(symbol, std::string("'") + ch + "'");
    }
    XSync(impl_->display, False);
}

void ProgramWindow::pressKey(const std::string &keyName) {
    const KeySym symbol = XStringToKeysym(keyName.c_str());
    if (symbol == NoSymbol) {
        throw DriverError("no key is called " + keyName);
    }
    impl_->tapKeysym(symbol, keyName);
    XSync(impl_->display, False);
}

void ProgramWindow::resize(int width, int height) {
    Impl &d = *impl_;
    // Without a window manager the server resizes the window at once.
    if (!d.succeeds([&] {
            XResizeWindow(d.display, d.window, static_cast<unsigned int>(width),
                          static_cast<unsigned int>(height));
        })) {
        throw DriverError("cannot resize the window");
    }
}

void ProgramWindow::requestClose() {
    Impl &d = *impl_;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = d.window;
    event.xclient.message_type = XInternAtom(d.display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d.display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d.display, d.window, False, NoEventMask, &event);
    XSync(d.display, False);
}

Picture ProgramWindow::grab() const {
    const Impl &d = *impl_;
    XWindowAttributes attributes;
    if (!d.succeeds([&] { XGetWindowAttributes(d.display, d.window, &attributes); }) ||
        attributes.map_state != IsViewable) {
        return {};
    }
    XImage *image = nullptr;
    if (!d.succeeds([&] {
            image = XGetImage(d.display, d.window, 0, 0, static_cast<unsigned int>(attributes.width),
                              static_cast<unsigned int>(attributes.height), AllPlanes, ZPixmap);
        }) ||
        image == nullptr) {
        if (image != nullptr) {
            XDestroyImage(image);
        }
        return {};
    }
    const Channel red(image->red_mask), green(image->green_mask), blue(image->blue_mask);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(image->width) * image->height * 3);
    std::size_t i = 0;
    for (int row = 0; row < image->height; ++row) {
        for (int column = 0; column < image->width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            rgb[i++] = static_cast<unsigned char>(red.value(pixel));
            rgb[i++] = static_cast<unsigned char>(green.value(pixel));
            rgb[i++] = static_cast<unsigned char>(blue.value(pixel));
        }
    }
    Picture picture(image->width, image->height, std::move(rgb));
    XDestroyImage(image);
    return picture;
}

bool ProgramWindow::waitUntil(const std::function<bool(const Picture &)> &accepts, Picture *last,
                              std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        Picture picture = grab();
        const bool accepted = !picture.empty() && accepts(picture);
        if (last != nullptr) {
            *last = std::move(picture);
        }
        if (accepted) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        // The program redraws continuously: look again at its next frame.
        impl_->nextFrame(deadline);
    }
}

bool ProgramWindow::settle(int frames, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    XSync(impl_->display, False);
    for (int i = 0; i < frames; ++i) {
        if (!impl_->nextFrame(deadline)) {
            return false;
        }
    }
    return true;
}

bool ProgramWindow::windowExists() const {
    const Impl &d = *impl_;
    XWindowAttributes attributes;
    return d.succeeds([&] { XGetWindowAttributes(d.display, d.window, &attributes); });
}

bool ProgramWindow::waitUntilWindowGone(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (windowExists()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        // The root reports the window's destruction; bounded, in case the
        // report came before this wait.
        if (impl_->waitForEvents(deadline, 10)) {
            XEvent ignored;
            while (XPending(impl_->display) > 0) {
                XNextEvent(impl_->display, &ignored);
            }
        }
    }
    return true;
}

bool ProgramWindow::running() {
    return !impl_->checkExited();
}

bool ProgramWindow::waitForExit(int *status, std::chrono::milliseconds timeout) {
    Impl &d = *impl_;
    if (!d.exited) {
        int s = 0;
        if (!waitForChild(d.pid, &s, timeout)) {
            return false;
        }
        d.exited = true;
        d.exitStatus = s;
    }
    if (status != nullptr) {
        *status = d.exitStatus;
    }
    return true;
}

std::string ProgramWindow::printed() const {
    std::fflush(impl_->output);
    return readAll(fileno(impl_->output));
}

}  // namespace e2e
