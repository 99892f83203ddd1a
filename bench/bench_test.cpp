// That the benchmark's frames draw what their names say; that they allocate
// nothing of the program's own is checked under valgrind's DHAT
// (frame_allocations.sh).
#include <gtest/gtest.h>

#include "frame_states.h"
#include "test_support.h"

namespace {

// The editing frame shows an entry in progress, the idle frame none.
TEST_F(RenderTest, FrameStatesShowWhatTheirFramesMeasure) {
    const Rgb red = toRgb(1.0f, 0.0f, 0.0f);
    enterEditingState();
    const Picture editing = GlWindow::drawFrame();
    EXPECT_GT(editing.countIn(37.0f, 43.5f, 41.0f, 46.0f, red), 0);
    enterIdleState();
    const Picture idle = GlWindow::drawFrame();
    EXPECT_EQ(idle.countIn(-50.0f, -50.0f, 50.0f, 50.0f, red), 0);
    EXPECT_GT(idle.countLit(0, 0, 600, 600), 0);
}

}  // namespace
