#include "frames.h"

#include <GL/glx.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app.h"
#include "editor_state.h"
#include "glut_include.h"

namespace {

FrameEnd frameEnd = FrameEnd::finish;

// On Mesa's software renderer the swap hands the image to the X server;
// waiting here puts the rendering that a frame caused inside that frame.
void endFrame() {
    if (frameEnd == FrameEnd::none) {
        return;
    }
    glFinish();
    if (frameEnd == FrameEnd::xsync) {
        XSync(glXGetCurrentDisplay(), False);
    }
}

void noPreparation() {}

}  // namespace

void setFrameEnd(FrameEnd end) {
    frameEnd = end;
}

void enterEditingState() {
    EditorState &s = editorState;
    s.selectedColumn = 1;
    s.selectedRow = 0;
    std::strcpy(s.entryText, "-0.5");
    // The next frame advances the level by one step, to 0.1.
    s.pulseLevel = 0.09f;
    s.pulseStep = 0.01f;
    s.editing = 1;
}

void enterIdleState() {
    editorState.editing = 0;
    editorState.entryText[0] = '\0';
}

// Each frame function stays a function of its own, with its own name: GCC
// would otherwise fold the two identical ones into one.
#if defined(__clang__)
#define KEPT_APART __attribute__((noinline))
#else
#define KEPT_APART __attribute__((noipa))
#endif

extern "C" {

KEPT_APART void ostrivane_bench_frame_floor() {
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
    endFrame();
}

KEPT_APART void ostrivane_bench_frame_idle() {
    onDisplay();
    endFrame();
}

KEPT_APART void ostrivane_bench_frame_editing() {
    onDisplay();
    endFrame();
}

KEPT_APART void ostrivane_bench_frame_baseline() {
    drawBaselineIdleFrame();
    endFrame();
}

KEPT_APART void ostrivane_bench_frame_baseline_editing() {
    drawBaselineEditingFrame();
    endFrame();
}

KEPT_APART void ostrivane_bench_batch_done() {
    // Kept as a real call: callgrind dumps its counts after it.
    asm volatile("" ::: "memory");
}

}  // extern "C"

namespace bench {

const Variant variants[] = {
    {"floor", "glClear + glutSwapBuffers only", noPreparation, ostrivane_bench_frame_floor},
    {"idle", "onDisplay, no entry in progress", enterIdleState, ostrivane_bench_frame_idle},
    {"editing", "onDisplay, entry \"-0.5\" in progress", enterEditingState, ostrivane_bench_frame_editing},
    {"baseline", "the idle frame's calls, straight-line", noPreparation, ostrivane_bench_frame_baseline},
    {"baseline-editing", "the editing frame's calls, straight-line", noPreparation,
     ostrivane_bench_frame_baseline_editing},
};
const std::size_t variantCount = sizeof variants / sizeof variants[0];

const Variant *findVariant(const char *name) {
    for (std::size_t i = 0; i < variantCount; ++i) {
        if (std::strcmp(variants[i].name, name) == 0) {
            return &variants[i];
        }
    }
    return nullptr;
}

// The variant whose frame function ran in this profile, or nullptr when
// none or several did (the warm-up, the end of the program).
const Variant *variantOf(const Profile &profile) {
    const std::string prefix = "ostrivane_bench_frame_";
    const Variant *found = nullptr;
    for (const FunctionCost &f : profile.functions) {
        if (f.self == 0 || f.function.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        std::string name = f.function.substr(prefix.size());
        std::replace(name.begin(), name.end(), '_', '-');
        const Variant *variant = findVariant(name.c_str());
        if (found != nullptr && variant != found) {
            return nullptr;
        }
        found = variant;
    }
    return found;
}

}  // namespace bench
