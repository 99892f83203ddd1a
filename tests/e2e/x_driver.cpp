#include "x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// libxdo's header declares C functions without saying so.
extern "C" {
#include <xdo.h>
}

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

// Pause between faked key events, as xdotool makes by default: a client
// that has to re-read the keyboard map (for a character no key types, which
// libxdo maps to a spare key) gets the time to.
constexpr useconds_t keyDelay = 12000;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// The first line a child writes into the pipe `fd` (a server's display
// number or address, once it accepts connections), waiting at most
// defaultWait; empty when none comes. Closes `fd`.
std::string firstLine(int fd) {
    std::string line;
    const Clock::time_point deadline = Clock::now() + defaultWait;
    char ch;
    for (pollfd p{fd, POLLIN, 0}; poll(&p, 1, millisecondsLeft(deadline)) > 0;) {
        if (read(fd, &ch, 1) != 1 || ch == '\n') {
            break;
        }
        line += ch;
    }
    close(fd);
    return line;
}

std::string readAll(std::FILE *file) {
    std::fflush(file);
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (ssize_t n; (n = pread(fileno(file), buffer, sizeof buffer, offset)) > 0; offset += n) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// Starts a child on the display with stdin from /dev/null, stdout and
// stderr into `output` and, when `passedFd` is not -1, that descriptor as its
// descriptor 3, in a process group of its own, so that a launcher and the
// browser it starts end together. The child gets `deathSignal` should this
// process die first, so that no server or program outlives a crashed test.
pid_t spawn(std::vector<std::string> arguments, const std::string &display, std::FILE *output, int passedFd,
            int deathSignal) {
    std::vector<char *> argv;
    for (std::string &a : arguments) {
        argv.push_back(&a[0]);
    }
    argv.push_back(nullptr);
    // The tests run on one thread: the environment can be set for the child.
    setenv("DISPLAY", display.c_str(), 1);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here to exec.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, deathSignal);
        if (getppid() != parent) {
            _exit(127);
        }
        dup2(devNull, 0);
        dup2(fileno(output), 1);
        dup2(fileno(output), 2);
        if (passedFd >= 0) {
            dup2(passedFd, 3);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(devNull);
    if (pid < 0) {
        throw DriverError("cannot start " + arguments[0] + ": " + std::strerror(errno));
    }
    return pid;
}

bool waitForChild(pid_t pid, int *status, std::chrono::milliseconds timeout) {
    return eventually(
        [&] {
            const pid_t r = waitpid(pid, status, WNOHANG);
            return r == pid || (r < 0 && errno != EINTR);
        },
        timeout, std::chrono::milliseconds(5));
}

// Ends a child and its process group: the polite signal first, a kill when
// it does not go.
void stopChild(pid_t pid) {
    int status = 0;
    kill(-pid, SIGTERM);
    if (!waitForChild(pid, &status, std::chrono::seconds(5))) {
        kill(-pid, SIGKILL);
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

}  // namespace

bool eventually(const std::function<bool()> &done, std::chrono::milliseconds timeout,
                std::chrono::milliseconds pause) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (done()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pause);
    }
}

Target targetFromEnvironment() {
    const char *chosen = std::getenv("OSTRIVANE_E2E_TARGET");
    Target target;
    target.name = chosen != nullptr && *chosen != '\0' ? chosen : "desktop";
    const std::string withOrca = "+orca";
    if (target.name.size() > withOrca.size() &&
        target.name.compare(target.name.size() - withOrca.size(), withOrca.size(), withOrca) == 0) {
        target.name.erase(target.name.size() - withOrca.size());
        target.screenReader = true;
    }
    if (target.name == "desktop") {
        const char *other = std::getenv("OSTRIVANE_E2E_PROGRAM");
        target.command = {other != nullptr ? other : OSTRIVANE_PROGRAM};
        return target;
    }
    // Wine and the browsers write lines of their own.
    target.silent = false;
    target.startWait = std::chrono::minutes(1);
    if (target.name == "windows") {
        // Wine's server is kept between the scenarios' starts.
        target.command = {"env", "OSTRIVANE_WINE_PERSIST=60", OSTRIVANE_SOURCE_DIR "/windows/wine-run.sh",
                          OSTRIVANE_WINDOWS_BUILD "/ostrivane.exe"};
        target.offsetX = 4;
        target.offsetY = 23;
        // The first start makes Wine's prefix.
        target.startWait = std::chrono::minutes(3);
    } else if (target.name == "chromium" || target.name == "firefox" || target.name == "webkit") {
        const char *site = std::getenv("OSTRIVANE_E2E_SITE");
        target.command = {
            OSTRIVANE_SOURCE_DIR "/tests/e2e/browser.sh", target.name,
            "file://" + std::string(site != nullptr ? site : OSTRIVANE_WEB_BUILD "/site") + "/index.html"};
        target.lineSlack = 3;
        target.square = true;
        target.drawsOnChange = target.keyboardEntries = true;
        if (target.name == "firefox") {
            target.title = "Ostrivane — Mozilla Firefox";
            target.offsetX = target.offsetY = -10;
        }
    } else {
        throw DriverError("no target is called " + target.name);
    }
    if (target.screenReader && !target.keyboardEntries) {
        throw DriverError("Orca runs beside the browsers only, not beside " + target.name);
    }
    return target;
}

Target::Area Target::drawingArea(int width, int height) const {
    if (!square) {
        return {0, 0, width, height};
    }
    const int side = std::min(width, height);
    return {(width - side) / 2, 0, side, side};
}

VirtualDisplay::VirtualDisplay(int width, int height) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw DriverError("cannot make a pipe for Xvfb");
    }
    std::FILE *log = std::tmpfile();
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    // -noreset: without it the server resets when its last client leaves,
    // and a program connecting during the reset fails.
    pid_ = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, "", log,
                 fds[1], SIGTERM);
    close(fds[1]);
    // Xvfb writes its display number once it accepts connections.
    const std::string number = firstLine(fds[0]);
    const std::string messages = readAll(log);
    std::fclose(log);
    if (number.empty()) {
        stopChild(pid_);
        throw DriverError("Xvfb did not start (is it installed?): " + messages);
    }
    name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
    stopChild(pid_);
}

// Every line Orca's debugging output gets at the informative level goes to
// the log, written out line by line; an utterance is a line
// "HH:MM:SS.micro - SPEECH OUTPUT: 'text'" followed by the voice, and a
// text of several lines goes on in lines indented by 18 spaces.
ScreenReader::ScreenReader(const VirtualDisplay &display, const std::string &folder)
    : log_(folder + "/speech.log"), output_(std::tmpfile()) {
    std::filesystem::remove_all(folder);
    for (const char *sub : {"/prefs", "/config", "/data", "/cache", "/services"}) {
        std::filesystem::create_directories(folder + sub);
    }
    // The sockets of the accessibility bridges and of speech-dispatcher are
    // made here: a short path, as a socket's name must be.
    char runtime[] = "/tmp/ostrivane-orca-XXXXXX";
    if (mkdtemp(runtime) == nullptr) {
        throw DriverError("cannot make a runtime folder for Orca");
    }
    runtime_ = runtime;
    {
        std::ofstream customizations(folder + "/prefs/orca-customizations.py");
        // Orca's default settings, with speech on but no speech server:
        // Orca then logs every utterance, Say All's too, all at once,
        // instead of waiting for a synthesizer.
        customizations << "import orca.debug, orca.settings\n"
                          "orca.settings.speechServerFactory = None\n"
                          "orca.settings.speechFactoryModules = []\n"
                          "orca.debug.debugLevel = orca.debug.LEVEL_INFO\n"
                          "orca.debug.debugFile = open('"
                       << log_ << "', 'w', buffering=1)\n";
    }
    // The bus, Orca, speech-dispatcher and the settings store they start
    // keep their files here, not in the user's home; the tests run on one
    // thread, so the environment is theirs to set.
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    // A session bus that starts only the accessibility bus: no document
    // portal mounting itself into the runtime folder, no settings store.
    {
        std::ofstream service(folder + "/services/org.a11y.Bus.service");
        service << "[D-BUS Service]\nName=org.a11y.Bus\nExec=/usr/libexec/at-spi-bus-launcher\n";
        std::ofstream config(folder + "/bus.conf");
        config << "<busconfig><type>session</type><listen>unix:dir=" << runtime_
               << "</listen><auth>EXTERNAL</auth><servicedir>" << folder
               << "/services</servicedir><policy context=\"default\"><allow send_destination=\"*\" "
                  "eavesdrop=\"true\"/>"
                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    }
    int fds[2];
    if (output_ == nullptr || pipe2(fds, O_CLOEXEC) != 0) {
        throw DriverError("cannot make a pipe for the D-Bus session bus");
    }
    bus_ = spawn({"dbus-daemon", "--config-file=" + folder + "/bus.conf", "--nofork", "--print-address=3"},
                 display.name(), output_, fds[1], SIGTERM);
    close(fds[1]);
    const std::string address = firstLine(fds[0]);
    if (address.empty()) {
        stop();
        throw DriverError("dbus-daemon did not start: " + readAll(output_));
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    // Firefox and GTK programs, and Chromium's own window, expose their
    // accessibility when asked by these; browser.sh also asks Chromium
    // for the pages'.
    setenv("GNOME_ACCESSIBILITY", "1", 1);
    setenv("ACCESSIBILITY_ENABLED", "1", 1);
    // Orca refuses to start while another Orca of the user runs, and when
    // started to replace others it ends every Orca of the user: in a PID
    // namespace of its own (as root inside a user namespace of its own
    // when not root) it sees no other, and no other sees it.
    std::vector<std::string> command{"unshare", "--pid", "--fork", "--mount-proc", "--kill-child"};
    if (geteuid() != 0) {
        command.insert(command.begin() + 1, {"--user", "--map-root-user"});
    }
    command.insert(command.end(), {"orca", "--disable", "braille", "-u", folder + "/prefs"});
    orca_ = spawn(command, display.name(), output_, -1, SIGKILL);
    const Clock::time_point started = Clock::now() + std::chrono::minutes(1);
    int status = 0;
    while (waitToSay("Screen reader on.", 0, std::chrono::milliseconds(100)) == 0) {
        if (Clock::now() >= started || waitForChild(orca_, &status, std::chrono::milliseconds(0))) {
            stop();
            throw DriverError(
                "Orca did not start (are orca and util-linux's unshare installed?); it printed: " +
                readAll(output_));
        }
    }
}

ScreenReader::~ScreenReader() {
    stop();
    std::fclose(output_);
}

void ScreenReader::stop() {
    if (orca_ > 0) {
        stopChild(orca_);
    }
    if (bus_ > 0) {
        stopChild(bus_);
    }
    orca_ = bus_ = -1;
    std::error_code ignored;
    std::filesystem::remove_all(runtime_, ignored);
}

std::vector<std::string> ScreenReader::logLines() const {
    std::ifstream log(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ScreenReader::spoken() const {
    std::vector<std::string> utterances;
    const std::string marker = " - SPEECH OUTPUT: '";
    bool inUtterance = false;
    for (const std::string &line : logLines()) {
        const std::size_t at = line.find(marker);
        if (at != std::string::npos && at == 15) {
            utterances.push_back(line.substr(at + marker.size()));
            inUtterance = true;
        } else if (inUtterance && line.compare(0, 18, std::string(18, ' ')) == 0) {
            utterances.back() += "\n" + line.substr(18);
        } else {
            inUtterance = false;
        }
    }
    // The text is quoted; the voice (a dictionary, or a list of them) may
    // follow.
    for (std::string &u : utterances) {
        std::size_t end = u.size() > 0 && u.back() == '\'' ? u.size() - 1 : std::string::npos;
        for (const char *voice : {"'{", "' {", "'[{", "' voice="}) {
            end = std::min(end, u.find(voice));
        }
        u.erase(std::min(end, u.size()));
    }
    return utterances;
}

std::size_t ScreenReader::logMark() const {
    return logLines().size();
}

std::size_t ScreenReader::firstLogLine(const std::string &text) const {
    const std::vector<std::string> lines = logLines();
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string &line) {
        return line.find(text) != std::string::npos;
    });
    return found == lines.end() ? 0 : static_cast<std::size_t>(found - lines.begin()) + 1;
}

// Orca logs "WEB: Caret set to N in [role | name]" where a command leaves
// the caret, "Dequeued object:text-caret-moved [role | name] (...)" as it
// takes up the browser's report (its queue may lag behind), and the end of
// a key press's handling as "^^^^^ CONSUME ATSPI_KEY_PRESSED_EVENT".
bool ScreenReader::handled(std::size_t mark) const {
    const std::vector<std::string> lines = logLines();
    std::string caretAt;
    bool ended = false, reported = true;
    for (std::size_t n = mark; n < lines.size(); ++n) {
        const std::string &line = lines[n];
        const std::size_t set = line.find(" - WEB: Caret set to ");
        if (!ended && set != std::string::npos) {
            caretAt = line.substr(line.find(" in [", set) + 4);
            reported = false;
        } else if (!reported &&
                   line.find("Dequeued object:text-caret-moved " + caretAt + " (") != std::string::npos) {
            reported = true;
        }
        ended = ended || line.rfind("^^^^^ CONSUME ATSPI_KEY_PRESSED_EVENT", 0) == 0;
    }
    return ended && reported;
}

std::size_t ScreenReader::waitToSay(const std::string &phrase, std::size_t after,
                                    std::chrono::milliseconds timeout) const {
    const auto lower = [](std::string text) {
        for (char &c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    };
    const std::string wanted = lower(phrase);
    const auto contains = [&](const std::string &utterance) {
        const std::string text = lower(utterance);
        for (std::size_t at = text.find(wanted); at != std::string::npos; at = text.find(wanted, at + 1)) {
            const std::size_t next = at + wanted.size();
            if (next == text.size() || !std::isdigit(static_cast<unsigned char>(text[next]))) {
                return true;
            }
        }
        return false;
    };
    std::size_t heard = 0;
    eventually(
        [&] {
            const std::vector<std::string> said = spoken();
            for (std::size_t i = after; i < said.size() && heard == 0; ++i) {
                heard = contains(said[i]) ? i + 1 : 0;
            }
            return heard != 0;
        },
        timeout, std::chrono::milliseconds(50));
    return heard;
}

struct ProgramWindow::Impl {
    Target target;
    xdo_t *xdo = nullptr;
    Display *display = nullptr;
    Window window = 0;
    Damage damage = 0;
    int damageEvent = 0;
    pid_t pid = -1;
    bool exited = false;
    int exitStatus = 0;
    std::FILE *output = std::tmpfile();

    ~Impl() {
        if (pid > 0 && !exited) {
            stopChild(pid);
        } else if (pid > 0) {
            // What a browser left behind in the launcher's group.
            kill(-pid, SIGKILL);
        }
        if (xdo != nullptr) {
            xdo_free(xdo);
        }
        std::fclose(output);
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

    // The visible top-level window with the target's title, or 0.
    Window findWindow() const {
        const std::string title = "^" + target.title + "$";
        xdo_search_t search;
        std::memset(&search, 0, sizeof search);
        search.winname = title.c_str();
        search.searchmask = SEARCH_NAME | SEARCH_ONLYVISIBLE;
        search.only_visible = 1;
        search.max_depth = 1;
        search.require = xdo_search::SEARCH_ALL;
        Window *found = nullptr;
        unsigned int count = 0;
        Window result = 0;
        if (succeeds([&] { xdo_search_windows(xdo, &search, &found, &count); }) && count > 0) {
            result = found[0];
        }
        std::free(found);
        return result;
    }

    // The drawing area inside the window; false when it is gone or not
    // shown.
    bool area(Target::Area *area) const {
        XWindowAttributes a;
        if (!succeeds([&] { XGetWindowAttributes(display, window, &a); }) || a.map_state != IsViewable) {
            return false;
        }
        *area = target.drawingArea(a.width, a.height);
        return area->width > 0 && area->height > 0;
    }

    // Waits for the next frame drawn into the window after this call. The
    // damage is emptied, so that the next drawing reports itself; a report
    // counts only when the server made it after emptying, which its
    // sequence number tells.
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
            pollfd p{ConnectionNumber(display), POLLIN, 0};
            if (poll(&p, 1, millisecondsLeft(deadline)) <= 0) {
                return false;
            }
        }
    }

    void flushInput() const { XSync(display, False); }

    // The key of an X key name; modifiers ("alt", "shift", "ctrl") by their
    // left key.
    KeyCode keyCode(std::string name) const {
        name = name == "alt" ? "Alt_L" : name == "shift" ? "Shift_L" : name == "ctrl" ? "Control_L" : name;
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(name.c_str()));
        if (code == 0) {
            throw DriverError("no key is called " + name);
        }
        return code;
    }

    // Moves the pointer over a world position of the drawing area.
    void pointAt(double worldX, double worldY) const {
        Target::Area g{0, 0, 0, 0};
        if (!area(&g)) {
            throw DriverError("the window is gone");
        }
        const int column =
            std::clamp(static_cast<int>(std::floor((worldX + 50.0) * g.width / 100.0)), 0, g.width - 1);
        const int row =
            std::clamp(static_cast<int>(std::floor((50.0 - worldY) * g.height / 100.0)), 0, g.height - 1);
        xdo_move_mouse_relative_to_window(xdo, window, g.x + column, g.y + row);
        flushInput();
    }
};

ProgramWindow::ProgramWindow(const Target &target, const VirtualDisplay &display)
    : impl_(std::make_unique<Impl>()) {
    Impl &d = *impl_;
    d.target = target;
    d.xdo = xdo_new(display.name().c_str());
    if (d.xdo == nullptr || d.output == nullptr) {
        throw DriverError("cannot connect to the X display " + display.name());
    }
    d.display = d.xdo->xdpy;
    XSetErrorHandler(recordXError);
    int error;
    if (!XDamageQueryExtension(d.display, &d.damageEvent, &error)) {
        throw DriverError("the X server has no DAMAGE extension");
    }
    d.pid = spawn(target.command, display.name(), d.output, -1, SIGKILL);

    const Clock::time_point deadline = Clock::now() + target.startWait;
    while ((d.window = d.findWindow()) == 0) {
        if (!running()) {
            throw DriverError(target.command[0] +
                              " ended before showing its window; it printed: " + printed());
        }
        if (Clock::now() >= deadline) {
            throw DriverError("no window titled \"" + target.title + "\" appeared; it printed: " + printed());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Without a window manager nobody gives the new window the focus.
    xdo_focus_window(d.xdo, d.window);
    d.damage = XDamageCreate(d.display, d.window, XDamageReportNonEmpty);
    // The first frame, known by its axes. A page that draws on change may
    // have drawn it already and then rest.
    const auto drawn = [](const Picture &p) { return p.countIn(-50, -50, 50, 50, near(shade::axis)) > 0; };
    if (!waitUntil(drawn, nullptr, target.startWait)) {
        throw DriverError("the window shows no frame");
    }
}

ProgramWindow::~ProgramWindow() = default;

ProgramWindow::Geometry ProgramWindow::geometry() const {
    const Impl &d = *impl_;
    XWindowAttributes a;
    Geometry g{0, 0, 0, 0};
    if (!d.succeeds([&] { XGetWindowAttributes(d.display, d.window, &a); }) ||
        xdo_get_window_location(d.xdo, d.window, &g.x, &g.y, nullptr) != 0) {
        throw DriverError("the window is gone");
    }
    g.width = a.width;
    g.height = a.height;
    return g;
}

std::string ProgramWindow::title() const {
    unsigned char *name = nullptr;
    int length = 0, type = 0;
    std::string result;
    if (xdo_get_window_name(impl_->xdo, impl_->window, &name, &length, &type) == 0 && name != nullptr) {
        result.assign(reinterpret_cast<char *>(name), static_cast<std::size_t>(length));
    }
    XFree(name);
    return result;
}

// CURRENTWINDOW makes libxdo send through XTest, as real devices do; given a
// window it would use XSendEvent, which many programs ignore.
void ProgramWindow::click(double worldX, double worldY, int button) {
    impl_->pointAt(worldX, worldY);
    xdo_click_window(impl_->xdo, CURRENTWINDOW, button);
    impl_->flushInput();
}

void ProgramWindow::typeText(const std::string &text) {
    xdo_enter_text_window(impl_->xdo, CURRENTWINDOW, text.c_str(), keyDelay);
    impl_->flushInput();
}

void ProgramWindow::pressKey(const std::string &keys) {
    if (xdo_send_keysequence_window(impl_->xdo, CURRENTWINDOW, keys.c_str(), keyDelay) != 0) {
        throw DriverError("no key is called " + keys);
    }
    impl_->flushInput();
}

bool ProgramWindow::holdKey(const std::string &keys, const std::function<bool()> &done,
                            std::chrono::milliseconds timeout) {
    const Impl &d = *impl_;
    // The keys of the combination in order, through XTest directly: libxdo
    // lets go of modifiers that the last key does not need.
    std::vector<KeyCode> codes;
    for (std::size_t at = 0; at <= keys.size();) {
        const std::size_t plus = std::min(keys.find('+', at), keys.size());
        codes.push_back(d.keyCode(keys.substr(at, plus - at)));
        at = plus + 1;
    }
    XAutoRepeatOff(d.display);
    for (const KeyCode code : codes) {
        XTestFakeKeyEvent(d.display, code, True, CurrentTime);
    }
    d.flushInput();
    const bool answered = eventually(done, timeout);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
        XTestFakeKeyEvent(d.display, *code, False, CurrentTime);
    }
    d.flushInput();
    return answered;
}

// libxdo flushes after every event; these requests are queued and reach the
// server together.
void ProgramWindow::sendTogether(const std::vector<std::string> &keys) {
    const Impl &d = *impl_;
    for (const std::string &key : keys) {
        const KeyCode code = d.keyCode(key);
        XTestFakeKeyEvent(d.display, code, True, CurrentTime);
        XTestFakeKeyEvent(d.display, code, False, CurrentTime);
    }
    d.flushInput();
}

void ProgramWindow::clickThenKeys(double worldX, double worldY, const std::vector<std::string> &keys) {
    impl_->pointAt(worldX, worldY);
    XTestFakeButtonEvent(impl_->display, 1, True, CurrentTime);
    XTestFakeButtonEvent(impl_->display, 1, False, CurrentTime);
    sendTogether(keys);
}

void ProgramWindow::resize(int width, int height) {
    const Impl &d = *impl_;
    // Without a window manager the server resizes the window at once.
    if (xdo_set_window_size(d.xdo, d.window, width, height, 0) != 0) {
        throw DriverError("cannot resize the window");
    }
    d.flushInput();
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
    Target::Area g{0, 0, 0, 0};
    XImage *image = nullptr;
    if (!d.area(&g) || !d.succeeds([&] {
            image = XGetImage(d.display, d.window, g.x, g.y, static_cast<unsigned int>(g.width),
                              static_cast<unsigned int>(g.height), AllPlanes, ZPixmap);
        }) ||
        image == nullptr) {
        if (image != nullptr) {
            XDestroyImage(image);
        }
        return {};
    }
    // A 24-bit TrueColor screen, as the tests' Xvfb has: 8 bits a channel.
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(g.width) * g.height * 3);
    for (int row = 0; row < g.height; ++row) {
        for (int column = 0; column < g.width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            rgb.insert(rgb.end(), {static_cast<unsigned char>((pixel & image->red_mask) >> 16),
                                   static_cast<unsigned char>((pixel & image->green_mask) >> 8),
                                   static_cast<unsigned char>(pixel & image->blue_mask)});
        }
    }
    XDestroyImage(image);
    return Picture(g.width, g.height, std::move(rgb));
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
        // Look again at the next frame. A target that draws on change may
        // have drawn its last one just after this picture was taken, so it
        // is also looked at again every tenth of a second.
        const auto poll = std::chrono::milliseconds(100);
        impl_->nextFrame(impl_->target.drawsOnChange ? std::min(deadline, Clock::now() + poll) : deadline);
    }
}

bool ProgramWindow::settle(int frames, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    impl_->flushInput();
    constexpr std::chrono::milliseconds pause{300};
    const bool onChange = impl_->target.drawsOnChange;
    for (int i = 0; i < frames; ++i) {
        if (!impl_->nextFrame(onChange ? std::min(deadline, Clock::now() + pause) : deadline)) {
            return onChange && Clock::now() < deadline;
        }
    }
    return true;
}

bool ProgramWindow::waitUntilWindowGone(std::chrono::milliseconds timeout) {
    XWindowAttributes attributes;
    return eventually(
        [&] {
            return !impl_->succeeds(
                [&] { XGetWindowAttributes(impl_->display, impl_->window, &attributes); });
        },
        timeout, std::chrono::milliseconds(10));
}

bool ProgramWindow::running() {
    int status = 0;
    return !waitForExit(&status, std::chrono::milliseconds(0));
}

bool ProgramWindow::waitForExit(int *status, std::chrono::milliseconds timeout) {
    Impl &d = *impl_;
    if (!d.exited) {
        if (!waitForChild(d.pid, &d.exitStatus, timeout)) {
            return false;
        }
        d.exited = true;
    }
    *status = d.exitStatus;
    return true;
}

std::string ProgramWindow::printed() const {
    return readAll(impl_->output);
}

}  // namespace e2e
