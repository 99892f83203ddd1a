// The page's keys against GLUT on X. Each press is sent through XTest to a
// freeglut window; whatever its keyboard callback receives must be what the
// page hands the program for the KeyboardEvent a browser reports for the
// same press (the `key` written in each case below: the character the
// layout types, or the key's name).
// GoogleTest first: Xlib's macros (None, Bool) would clash with it.
#include "test_support.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>
#include <vector>

#include "key_map.h"

namespace {

std::vector<int> received;

void recordKey(unsigned char key, int, int) {
    received.push_back(key);
}

struct Press {
    KeySym keysym;
    bool shift, control, alt;
    const char *browserKey;
};

constexpr KeySym sentinel = XK_q;

class KeysAgainstX : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        GlWindow::useSize(600, 600);
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        window_ = glXGetCurrentDrawable();
        XRaiseWindow(display_, window_);
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
    }

    static void TearDownTestSuite() {
        if (display_ != nullptr) {
            for (KeyCode code : borrowed_) {
                KeySym none = NoSymbol;
                XChangeKeyboardMapping(display_, code, 1, &none, 1);
            }
            XSync(display_, False);
            XCloseDisplay(display_);
            display_ = nullptr;
        }
    }

    void SetUp() override { glutKeyboardFunc(recordKey); }
    void TearDown() override { glutKeyboardFunc(nullptr); }

    // The key code that types `keysym`, mapping a spare one when the
    // keyboard has none (Latin-1 letters such as é on a US layout).
    static KeyCode keyCodeOf(KeySym keysym) {
        KeyCode code = XKeysymToKeycode(display_, keysym);
        if (code != 0) {
            return code;
        }
        int first = 0;
        int last = 0;
        XDisplayKeycodes(display_, &first, &last);
        int perCode = 0;
        KeySym *map = XGetKeyboardMapping(display_, static_cast<KeyCode>(first), last - first + 1, &perCode);
        for (int c = last; c >= first && code == 0; --c) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i) {
                empty = empty && map[(c - first) * perCode + i] == NoSymbol;
            }
            if (empty) {
                code = static_cast<KeyCode>(c);
            }
        }
        XFree(map);
        if (code != 0) {
            KeySym syms[2] = {keysym, keysym};
            XChangeKeyboardMapping(display_, code, 2, syms, 1);
            XSync(display_, False);
            borrowed_.push_back(code);
            // Let GLUT see the new mapping before the key comes.
            pump(std::chrono::milliseconds(100), false);
        }
        return code;
    }

    static void tap(KeyCode code) {
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
    }

    // Runs GLUT's loop until the sentinel arrives (or for the whole time).
    static bool pump(std::chrono::milliseconds limit, bool untilSentinel) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            glutMainLoopEvent();
            if (untilSentinel && !received.empty() && received.back() == 'q') {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    // What the keyboard callback receives for one press, modifiers held.
    static std::vector<int> pressOnX(const Press &p) {
        received.clear();
        const KeyCode key = keyCodeOf(p.keysym);
        EXPECT_NE(key, 0) << "no key code for keysym " << p.keysym;
        std::vector<KeyCode> held;
        if (p.shift) {
            held.push_back(XKeysymToKeycode(display_, XK_Shift_L));
        }
        if (p.control) {
            held.push_back(XKeysymToKeycode(display_, XK_Control_L));
        }
        if (p.alt) {
            held.push_back(XKeysymToKeycode(display_, XK_Alt_L));
        }
        for (KeyCode h : held) {
            XTestFakeKeyEvent(display_, h, True, CurrentTime);
        }
        tap(key);
        for (KeyCode h : held) {
            XTestFakeKeyEvent(display_, h, False, CurrentTime);
        }
        tap(XKeysymToKeycode(display_, sentinel));
        XSync(display_, False);
        EXPECT_TRUE(pump(std::chrono::seconds(5), true)) << "the window did not get the keys";
        if (!received.empty()) {
            received.pop_back();
        }
        return received;
    }

    static void check(const std::vector<Press> &presses) {
        for (const Press &p : presses) {
            const std::vector<int> onX = pressOnX(p);
            const int page = glutKeyFromBrowser(p.browserKey, p.shift, p.control, p.alt);
            const std::vector<int> onPage = page < 0 ? std::vector<int>{} : std::vector<int>{page};
            EXPECT_EQ(onPage, onX) << "key \"" << p.browserKey << "\"" << (p.shift ? " +Shift" : "")
                                   << (p.control ? " +Ctrl" : "") << (p.alt ? " +Alt" : "");
        }
    }

    static Display *display_;
    static Window window_;
    static std::vector<KeyCode> borrowed_;
};

Display *KeysAgainstX::display_ = nullptr;
Window KeysAgainstX::window_ = 0;
std::vector<KeyCode> KeysAgainstX::borrowed_;

TEST_F(KeysAgainstX, EditingKeys) {
    check({
        {XK_BackSpace, false, false, false, "Backspace"},
        {XK_Delete, false, false, false, "Delete"},
        {XK_Return, false, false, false, "Enter"},
        {XK_KP_Enter, false, false, false, "Enter"},
        {XK_Escape, false, false, false, "Escape"},
        {XK_Tab, false, false, false, "Tab"},
        {XK_Tab, true, false, false, "Tab"},
        {XK_BackSpace, false, true, false, "Backspace"},
        {XK_Return, false, true, false, "Enter"},
    });
}

TEST_F(KeysAgainstX, CharactersAsTypedWithShift) {
    check({
        {XK_1, false, false, false, "1"},
        {XK_9, true, false, false, "("},
        {XK_a, true, false, false, "A"},
        {XK_period, false, false, false, "."},
        {XK_minus, false, false, false, "-"},
        {XK_e, false, false, true, "e"},
        {XK_space, false, false, false, " "},
    });
}

TEST_F(KeysAgainstX, Latin1CharactersAndBeyond) {
    check({
        {XK_eacute, false, false, false, "\xC3\xA9"},        // é
        {XK_ssharp, false, false, false, "\xC3\x9F"},        // ß
        {XK_EuroSign, false, false, false, "\xE2\x82\xAC"},  // €, outside Latin-1
    });
}

TEST_F(KeysAgainstX, ControlCharacters) {
    check({
        {XK_a, false, true, false, "a"},
        {XK_a, true, true, false, "A"},
        {XK_z, false, true, false, "z"},
        {XK_2, false, true, false, "2"},
        {XK_3, false, true, false, "3"},
        {XK_7, false, true, false, "7"},
        {XK_8, false, true, false, "8"},
        {XK_9, false, true, false, "9"},
        {XK_space, false, true, false, " "},
        {XK_bracketleft, false, true, false, "["},
        {XK_slash, false, true, false, "/"},
        {XK_slash, true, true, false, "?"},
        {XK_minus, false, true, false, "-"},
        {XK_grave, false, true, false, "`"},
        {XK_eacute, false, true, false, "\xC3\xA9"},
    });
}

TEST_F(KeysAgainstX, KeysThatTypeNothing) {
    check({
        {XK_Left, false, false, false, "ArrowLeft"},
        {XK_F1, false, false, false, "F1"},
        {XK_Home, false, false, false, "Home"},
        {XK_Shift_L, false, false, false, "Shift"},
        {XK_Control_L, false, false, false, "Control"},
    });
}

}  // namespace
