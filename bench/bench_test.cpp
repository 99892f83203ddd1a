// The benchmark's allocation counter, that the program's frames allocate
// nothing of their own, and that the benchmark's frames draw what their
// names say.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "alloc_count.h"
#include "app.h"
#include "frame_states.h"
#include "test_support.h"

namespace {

// Keeps the compiler from dropping an allocation that is freed unused.
void *volatile keep;

class AllocationCounter : public ::testing::Test {
protected:
    void SetUp() override {
        if (!allocationCountAvailable()) {
            GTEST_SKIP() << "built without the allocation counter";
        }
    }
};

TEST_F(AllocationCounter, CountsThisProgramsAllocationsAsItsOwn) {
    startCountingAllocations();
    keep = std::malloc(24);
    keep = std::realloc(keep, 4000);
    std::free(keep);
    keep = std::calloc(3, 8);
    std::free(keep);
    int *one = new int(1);
    keep = one;
    delete one;
    char *some = new char[40];
    keep = some;
    delete[] some;
    const AllocationCount count = stopCountingAllocations();
    EXPECT_EQ(count.all, 5u);
    EXPECT_EQ(count.own, 5u);
}

TEST_F(AllocationCounter, ChargesAllocationsInsideSharedLibrariesToThem) {
    // Called through a pointer, so that the C library makes the allocation.
    char *(*volatile duplicate)(const char *) = strdup;
    startCountingAllocations();
    char *copy = duplicate("text");
    keep = copy;
    std::free(copy);
    std::FILE *file = std::fopen("/dev/null", "r");
    keep = file;
    const AllocationCount count = stopCountingAllocations();
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_GE(count.all, 2u);
    EXPECT_EQ(count.own, 0u);
}

TEST_F(AllocationCounter, CountsNothingWhenStopped) {
    startCountingAllocations();
    stopCountingAllocations();
    keep = std::malloc(16);
    std::free(keep);
    startCountingAllocations();
    const AllocationCount count = stopCountingAllocations();
    EXPECT_EQ(count.all, 0u);
}

// Whole frames with the swap, as the program draws them: the driver
// allocates in them (Mesa does in the swap), the program's own code never.
TEST_F(RenderTest, FramesAllocateNothingOfTheProgramsOwn) {
    if (!allocationCountAvailable()) {
        GTEST_SKIP() << "built without the allocation counter";
    }
    for (auto enter : {enterIdleState, enterEditingState}) {
        enter();
        onDisplay();
        startCountingAllocations();
        for (int i = 0; i < 5; ++i) {
            onDisplay();
        }
        const AllocationCount count = stopCountingAllocations();
        EXPECT_GT(count.all, 0u);
        EXPECT_EQ(count.own, 0u);
    }
}

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
