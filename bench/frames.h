// The frames the benchmark compares, each one whole frame that ends with the
// buffer swap (and then waits for the renderer, see FrameEnd).
#ifndef OSTRIVANE_BENCH_FRAMES_H
#define OSTRIVANE_BENCH_FRAMES_H

#include <cstddef>

#include "callgrind_profile.h"

// How a benchmark frame waits after the swap, so that the renderer's work on
// the frame is counted inside it.
enum class FrameEnd {
    none,    // nothing: only what glutSwapBuffers itself waits for
    finish,  // glFinish: every OpenGL command of the frame has completed
    xsync,   // glFinish, then XSync: the X server has taken the image too
};

void setFrameEnd(FrameEnd end);

// The entry the editing frames show: column 1, row 0, text "-0.5", with the
// highlight pulse at 0.1 after it advances (as the straight-line baseline
// draws it).
void enterEditingState();
// Nothing selected, the pulse where enterEditingState leaves it.
void enterIdleState();

// The two straight-line frames, in baseline_frames.cpp: the same calls as
// the program's idle frame and its editing frame at the state above.
void drawBaselineIdleFrame();
void drawBaselineEditingFrame();

namespace bench {

struct Variant {
    const char *name;         // short name in the report
    const char *description;  // what one frame of it does
    void (*prepare)();        // puts the editor state in place, outside any timing
    void (*frame)();          // one frame
};

// floor, idle, editing, baseline, baseline-editing, in that order.
extern const Variant variants[];
extern const std::size_t variantCount;

// The variant of that name, or nullptr.
const Variant *findVariant(const char *name);

// The variant whose frame function ran in a profile of the benchmark, or
// nullptr when none or several did (the warm-up, the end of the run).
const Variant *variantOf(const Profile &profile);

}  // namespace bench

// The frame functions themselves, named so that callgrind can select them
// (--toggle-collect=ostrivane_bench_frame_*), and the marker called after
// each batch of frames of one variant while profiling.
extern "C" {
void ostrivane_bench_frame_floor();
void ostrivane_bench_frame_idle();
void ostrivane_bench_frame_editing();
void ostrivane_bench_frame_baseline();
void ostrivane_bench_frame_baseline_editing();
void ostrivane_bench_batch_done();
}

#endif
