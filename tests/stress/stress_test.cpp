// Long random sequences of clicks, keys, resizes and frames, fed straight into
// the program's callbacks. After every event the editor state must keep its
// invariants and agree with an independent model of the editing rules.
//
// The run is replayable: OSTRIVANE_STRESS_SEED picks the sequence and
// OSTRIVANE_STRESS_EVENTS its length (both decimal or 0x-hexadecimal).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <sstream>
#include <string>

#include "app.h"
#include "editor_model.h"
#include "entry_input.h"
#include "glut_include.h"
#include "test_support.h"

namespace {

constexpr std::uint64_t defaultSeed = 0x05719a4e;
constexpr std::uint64_t defaultEvents = 250000;
// A frame costs about as much as a few hundred callbacks, so on average one
// event in this many is a frame.
constexpr std::uint64_t eventsPerFrame = 200;
// The pulse moves by this much per frame and turns at 0 and 0.2.
constexpr float pulseStep = 0.01f;
// Its swing, with room for single-precision rounding: the level starts at 0,
// climbs to 0.2 and falls back to 0, turning when it reaches a bound.
constexpr float pulseLow = -1e-6f;
constexpr float pulseHigh = 0.2f + 1e-6f;

// Reads a positive number from the environment; false when it is set but is
// not one.
bool numberFromEnvironment(const char *name, std::uint64_t &value) {
    const char *text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return true;
    }
    char *end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 0);
    if (*end != '\0' || text[0] == '-') {
        return false;
    }
    value = parsed;
    return true;
}

struct Event {
    enum Kind { mouse, key, reshape, frame } kind;
    int a, b, c, d;

    std::string describe() const {
        std::ostringstream out;
        if (kind == mouse) {
            out << "onMouse(" << a << ", " << b << ", " << c << ", " << d << ")";
        } else if (kind == key) {
            out << "onKeyboard(" << a << ")";
        } else if (kind == reshape) {
            out << "onReshape(" << a << ", " << b << ")";
        } else {
            out << "onDisplay()";
        }
        return out.str();
    }
};

// Produces the random events. Keys mostly come in runs: numbers typed in,
// one key held down well past the length bound, or any bytes at all.
class EventSource {
public:
    explicit EventSource(std::uint64_t seed) : random_(seed) {}

    // While no entry is in progress keys change nothing, so clicks come
    // more often then.
    Event next(bool editing, float width, float height) {
        if (below(eventsPerFrame) == 0) {
            return {Event::frame, 0, 0, 0, 0};
        }
        if (pendingKeys_.empty()) {
            const std::uint64_t pick = below(100);
            if (pick < (editing ? 60u : 20u)) {
                queueKeys();
            } else if (pick < 94) {
                return mouseEvent(width, height);
            } else {
                return {Event::reshape, windowSide(), windowSide(), 0, 0};
            }
        }
        const int key = pendingKeys_.front();
        pendingKeys_.pop_front();
        return {Event::key, key, 0, 0, 0};
    }

private:
    std::uint64_t below(std::uint64_t n) { return random_() % n; }
    bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }

    void queueKeys() {
        static const char numberKeys[] = "0123456789.+-eE \t";
        switch (below(4)) {
            case 0: {  // a number, usually ended with Enter or Esc
                const std::uint64_t length = 1 + below(30);
                for (std::uint64_t i = 0; i < length; ++i) {
                    pendingKeys_.push_back(
                        static_cast<unsigned char>(numberKeys[below(sizeof numberKeys - 1)]));
                }
                if (chance(70)) {
                    pendingKeys_.push_back(chance(50) ? 13 : 27);
                }
                break;
            }
            case 1: {  // one key held down, often past the length bound
                const int key = static_cast<int>(below(256));
                const std::uint64_t length = 1 + below(250);
                pendingKeys_.insert(pendingKeys_.end(), length, key);
                break;
            }
            case 2: {  // any bytes
                const std::uint64_t length = 1 + below(150);
                for (std::uint64_t i = 0; i < length; ++i) {
                    pendingKeys_.push_back(static_cast<int>(below(256)));
                }
                break;
            }
            default: {  // the keys with a meaning of their own
                static const int special[] = {0, 8, 13, 27};
                pendingKeys_.push_back(special[below(4)]);
            }
        }
    }

    Event mouseEvent(float width, float height) {
        static const int buttons[] = {GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON, 3, 4, -1, INT_MIN, INT_MAX};
        const int button = chance(60) ? GLUT_LEFT_BUTTON : buttons[below(7)];
        static const int states[] = {GLUT_UP, 2, -1, INT_MIN, INT_MAX};
        const int state = chance(75) ? GLUT_DOWN : states[below(5)];
        int x = 0;
        int y = 0;
        const std::uint64_t where = below(100);
        if (where < 55) {
            // Around the matrix panel, just outside it included.
            x = pixel((27.0 + 25.0 * unit() + 50.0) * width / 100.0);
            y = pixel((50.0 - (32.0 + 25.0 * unit())) * height / 100.0);
        } else if (where < 80) {
            x = pixel(unit() * width);
            y = pixel(unit() * height);
        } else {
            x = farPosition();
            y = farPosition();
        }
        return {Event::mouse, button, state, x, y};
    }

    int farPosition() {
        static const int far[] = {INT_MIN, INT_MAX, -1, -600, 100000, INT_MIN + 1};
        return chance(50) ? far[below(6)] : static_cast<int>(static_cast<std::uint32_t>(random_()));
    }

    int windowSide() {
        const std::uint64_t pick = below(100);
        if (pick < 35) {
            return 600;
        }
        if (pick < 45) {
            return 0;
        }
        if (pick < 55) {
            return 1;
        }
        if (pick < 80) {
            return 2 + static_cast<int>(below(3000));
        }
        static const int large[] = {1 << 15, 1 << 20, 1 << 24, INT_MAX - 1, INT_MAX};
        return chance(50) ? large[below(5)] : static_cast<int>(below(INT_MAX));
    }

    double unit() { return static_cast<double>(random_() >> 11) / 9007199254740992.0; }

    static int pixel(double position) {
        if (!(position > INT_MIN)) {
            return INT_MIN;
        }
        if (!(position < INT_MAX)) {
            return INT_MAX;
        }
        return static_cast<int>(position);
    }

    std::mt19937_64 random_;
    std::deque<int> pendingKeys_;
};

// The invariants of the editor state that hold after any event whatever.
std::string brokenInvariants(const EditorState &s) {
    std::ostringstream out;
    if (s.matrix[2] != 0.0f || s.matrix[5] != 0.0f || s.matrix[8] != 1.0f) {
        out << "row 2 of the matrix is " << s.matrix[2] << " " << s.matrix[5] << " " << s.matrix[8] << "; ";
    }
    if (std::memchr(s.entryText, '\0', maxEntryLength + 1) == nullptr) {
        out << "entry text is longer than " << maxEntryLength << " characters or unterminated; ";
    }
    if (s.editing > 1) {
        out << "editing flag is " << int{s.editing} << "; ";
    }
    if (s.editing == 1 &&
        (s.selectedColumn < 0 || s.selectedColumn > 2 || s.selectedRow < 0 || s.selectedRow > 1)) {
        out << "editing column " << s.selectedColumn << " row " << s.selectedRow << "; ";
    }
    for (int i : {2, 6, 8, 9, 10, 11, 14}) {
        if (s.drawMatrix[i] != 0.0f) {
            out << "drawMatrix[" << i << "] is " << s.drawMatrix[i] << "; ";
        }
    }
    if (s.drawMatrix[15] != 1.0f) {
        out << "drawMatrix[15] is " << s.drawMatrix[15] << "; ";
    }
    if (std::fabs(s.pulseStep) != pulseStep) {
        out << "pulse step is " << s.pulseStep << "; ";
    }
    if (!(s.pulseLevel >= pulseLow && s.pulseLevel <= pulseHigh)) {
        out << "pulse level " << s.pulseLevel << " is outside its swing; ";
    }
    return out.str();
}

// What one frame must do: move the pulse by one step while an entry is in
// progress (and leave it alone otherwise), turn it back at its bounds, copy
// the matrix into the drawing matrix, and leave OpenGL without an error.
std::string frameFaults(const EditorState &before, const EditorState &after, const float *matrix) {
    std::ostringstream out;
    if (before.editing == 1) {
        const float moved = after.pulseLevel - before.pulseLevel;
        if (std::fabs(std::fabs(moved) - pulseStep) > 1e-6f || (moved > 0.0f) != (before.pulseStep > 0.0f)) {
            out << "pulse moved from " << before.pulseLevel << " to " << after.pulseLevel << "; ";
        }
        if ((after.pulseLevel >= 0.2f && after.pulseStep > 0.0f) ||
            (after.pulseLevel <= 0.0f && after.pulseStep < 0.0f)) {
            out << "pulse at " << after.pulseLevel << " keeps going outward; ";
        }
    } else if (after.pulseLevel != before.pulseLevel || after.pulseStep != before.pulseStep) {
        out << "pulse moved while no entry was in progress; ";
    }
    static const int drawn[8][2] = {{0, 0}, {1, 1}, {3, 2}, {4, 3}, {5, 4}, {7, 5}, {12, 6}, {13, 7}};
    for (const auto &pair : drawn) {
        if (std::memcmp(&after.drawMatrix[pair[0]], &matrix[pair[1]], sizeof(float)) != 0) {
            out << "drawMatrix[" << pair[0] << "] is " << after.drawMatrix[pair[0]] << ", matrix[" << pair[1]
                << "] is " << matrix[pair[1]] << "; ";
        }
    }
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        out << "OpenGL error " << error << "; ";
    }
    return out.str();
}

struct Counts {
    std::uint64_t frames = 0;
    std::uint64_t framesWhileEditing = 0;
    std::uint64_t reshapesWithoutArea = 0;
};

}  // namespace

TEST(StressTest, RandomEventsKeepTheEditorStateSoundAndAsTheRulesSay) {
    std::uint64_t seed = defaultSeed;
    std::uint64_t events = defaultEvents;
    ASSERT_TRUE(numberFromEnvironment("OSTRIVANE_STRESS_SEED", seed))
        << "OSTRIVANE_STRESS_SEED must be a number";
    ASSERT_TRUE(numberFromEnvironment("OSTRIVANE_STRESS_EVENTS", events) && events > 0)
        << "OSTRIVANE_STRESS_EVENTS must be a positive number";
    // Printed first, so that a run that ends in a crash can be replayed too.
    std::printf("stress: seed 0x%llx, %llu events\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(events));
    std::fflush(stdout);

    resetEditorState();
    GlWindow::useSize(600, 600);
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    EditorModel model;
    EventSource source(seed);
    Counts counts;
    std::deque<std::string> recent;

    for (std::uint64_t n = 0; n < events; ++n) {
        const Event event = source.next(model.editing(), model.width(), model.height());
        const EditorState before = editorState;
        std::string fault;
        switch (event.kind) {
            case Event::mouse:
                onMouse(event.a, event.b, event.c, event.d);
                model.mouse(event.a, event.b, event.c, event.d);
                break;
            case Event::key:
                onKeyboard(static_cast<unsigned char>(event.a), 0, 0);
                model.key(static_cast<unsigned char>(event.a));
                break;
            case Event::reshape:
                onReshape(event.a, event.b);
                model.reshape(event.a, event.b);
                counts.reshapesWithoutArea += (event.a == 0 || event.b == 0) ? 1 : 0;
                break;
            case Event::frame:
                onDisplay();
                ++counts.frames;
                counts.framesWhileEditing += before.editing;
                fault = frameFaults(before, editorState, model.matrix());
                break;
        }
        recent.push_back(event.describe());
        if (recent.size() > 16) {
            recent.pop_front();
        }
        fault += brokenInvariants(editorState);
        fault += model.differences(editorState);
        if (!fault.empty()) {
            std::ostringstream history;
            for (const std::string &line : recent) {
                history << "\n  " << line;
            }
            FAIL() << "after event " << n << " of seed 0x" << std::hex << seed << std::dec << ": " << fault
                   << "\nlast events:" << history.str() << "\nreplay with OSTRIVANE_STRESS_SEED=0x"
                   << std::hex << seed << std::dec << " OSTRIVANE_STRESS_EVENTS=" << n + 1;
        }
    }

    std::printf(
        "stress: %llu entries started, %llu committed, longest text %d, %llu frames (%llu while "
        "editing), %llu resizes to no area\n",
        static_cast<unsigned long long>(model.entriesStarted()),
        static_cast<unsigned long long>(model.commits()), model.longestText(),
        static_cast<unsigned long long>(counts.frames),
        static_cast<unsigned long long>(counts.framesWhileEditing),
        static_cast<unsigned long long>(counts.reshapesWithoutArea));
    // A long run must have reached every part of the editor; a short replay
    // need not.
    if (events >= defaultEvents) {
        EXPECT_GT(model.commits(), 100);
        EXPECT_EQ(model.longestText(), maxEntryLength);
        EXPECT_GT(counts.framesWhileEditing, 40u);
        EXPECT_GT(counts.reshapesWithoutArea, 0u);
    }
}
