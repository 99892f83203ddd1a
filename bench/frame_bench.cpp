// What one frame of Ostrivane costs, in a 600x600 window: the floor of a
// frame that only clears and swaps, the idle frame and the editing frame.
// Each frame ends with glFinish, so that the renderer's work on it is inside
// it. Needs an X display; bench/run.sh runs it on Xvfb (Mesa's software
// renderer) and adds the ratios to the floor, callgrind's count of the
// program's own instructions and DHAT's count of the frames' heap allocations
// (frame_allocations.sh).
#include <benchmark/benchmark.h>

#include <cstdio>

#include "app.h"
#include "frame_states.h"
#include "gl_window.h"
#include "glut_include.h"

namespace {

void clearAndSwap() {
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

void leaveStateAsItIs() {}

}  // namespace

// One timed frame; a function of its own so that callgrind can count inside
// it alone (--toggle-collect='ostrivane_bench_frame*': the star also takes
// any copy of it that the compiler specialises) and DHAT's allocations can be
// told by it.
extern "C" __attribute__((noinline)) void ostrivane_bench_frame(void (*draw)()) {
    draw();
    glFinish();
}

namespace {

void frame(benchmark::State &state, void (*prepare)(), void (*draw)()) {
    prepare();
    // Mesa compiles its code for a new drawing state on first use; not here.
    for (int i = 0; i < 3; ++i) {
        draw();
        glFinish();
    }
    for (auto _ : state) {
        ostrivane_bench_frame(draw);
    }
}

}  // namespace

BENCHMARK_CAPTURE(frame, floor, leaveStateAsItIs, clearAndSwap)->UseRealTime();
BENCHMARK_CAPTURE(frame, idle, enterIdleState, onDisplay)->UseRealTime();
BENCHMARK_CAPTURE(frame, editing, enterEditingState, onDisplay)->UseRealTime();

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    if (!useGlWindowSize(600, 600)) {
        std::fprintf(stderr, "ostrivane_bench: the window did not reach 600x600\n");
        return 1;
    }
    const char *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    benchmark::AddCustomContext("renderer", renderer != nullptr ? renderer : "?");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
