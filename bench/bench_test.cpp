// The benchmark's own logic: its summaries, its reading of callgrind
// profiles, its allocation counter, and that its straight-line frames really
// draw what the program draws.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "alloc_counter.h"
#include "callgrind_profile.h"
#include "editor_state.h"
#include "frames.h"
#include "glut_include.h"
#include "stats.h"
#include "test_support.h"

// Last: Xlib defines macros (None, Bool) that clash with GoogleTest's names.
#include <X11/Xresource.h>

namespace {

using bench::CodeOwner;

// ---- Summaries ---------------------------------------------------------

TEST(BenchStats, QuantilesOfUnsortedSamples) {
    const std::vector<double> odd = {5.0, 1.0, 3.0};
    EXPECT_DOUBLE_EQ(bench::median(odd), 3.0);
    const std::vector<double> even = {4.0, 1.0, 3.0, 2.0};
    EXPECT_DOUBLE_EQ(bench::median(even), 2.5);
    // Quartiles fall between ranks and are interpolated.
    EXPECT_DOUBLE_EQ(bench::quantile(even, 0.25), 1.75);
    EXPECT_DOUBLE_EQ(bench::quantile(even, 0.0), 1.0);
    EXPECT_DOUBLE_EQ(bench::quantile(even, 1.0), 4.0);
    EXPECT_DOUBLE_EQ(bench::quantile({7.0}, 0.3), 7.0);
    EXPECT_DOUBLE_EQ(bench::median({}), 0.0);
}

TEST(BenchStats, OneDisturbedRoundDoesNotMoveTheMedian) {
    const std::vector<double> quiet = {1.0, 1.1, 0.9, 1.0, 1.05};
    std::vector<double> disturbed = quiet;
    disturbed[2] = 50.0;
    EXPECT_NEAR(bench::median(disturbed), bench::median(quiet), 0.051);
}

TEST(BenchStats, RatiosPairRoundsAndSkipEmptyOnes) {
    const std::vector<double> r = bench::ratios({2.0, 3.0, 4.0, 9.0}, {1.0, 0.0, 2.0});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r[0], 2.0);
    EXPECT_DOUBLE_EQ(r[1], 2.0);
}

// ---- Callgrind profiles ------------------------------------------------

// A profile in callgrind's own shape: names given once as "(id) name" and
// then by id, relative positions, calls whose inclusive counts follow them,
// and a callee object left out when it is the caller's.
const char *const sampleProfile = R"(# callgrind format
version: 1
creator: callgrind-3.19.0
cmd:  /build/ostrivane_bench --profile-child
part: 2

desc: Trigger: Client Request

positions: line
events: Ir
summary: 1300

ob=(1) /build/ostrivane_bench
fl=(1) /repo/src/matrix_panel.cpp
fn=(1) drawMatrixPanel()
10 100
+2 20
cob=(2) /usr/lib/x86_64-linux-gnu/libc.so.6
cfi=(2) ./stdio-common/vsnprintf.c
cfn=(2) snprintf
calls=9 0
* 400
cob=(3) /usr/lib/x86_64-linux-gnu/libglut.so.3.12.0
cfi=(3) ???
cfn=(3) glutBitmapCharacter
calls=40 0
-1 500
fi=(4) /repo/src/editor_state.h
3 5

fl=(5) /repo/bench/frames.cpp
fn=(4) ostrivane_bench_frame_idle
1 7
cfn=(5) onDisplay()
calls=1 0
2 1200
cob=(2)
cfn=(2)
calls=1 0
3 30

ob=(2)
fl=(2)
fn=(2)
0 400

ob=(3)
fl=(3)
fn=(3)
0 300
cob=(4) /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0
cfn=(6) glBitmap
calls=40 0
0 200

ob=(4)
fl=(3)
fn=(6)
0 200
fn=(7) 0x0000000004a3e000
0 15

ob=(1)
fl=(1)
fn=(1)
12 3

totals: 1250
)";

bench::Profile parsed(const char *text) {
    std::istringstream in(text);
    bench::Profile profile;
    std::string error;
    EXPECT_TRUE(bench::parseCallgrindProfile(in, profile, error)) << error;
    return profile;
}

const bench::FunctionCost *findFunction(const bench::Profile &profile, const std::string &name) {
    for (const bench::FunctionCost &f : profile.functions) {
        if (f.function == name) {
            return &f;
        }
    }
    return nullptr;
}

TEST(CallgrindProfile, SelfCountsLeaveCallsOutAndJoinRepeatedBlocks) {
    const bench::Profile profile = parsed(sampleProfile);
    EXPECT_EQ(profile.total, 1250u);  // totals wins over summary
    const bench::FunctionCost *panel = findFunction(profile, "drawMatrixPanel()");
    ASSERT_NE(panel, nullptr);
    // 100 + 20 + 5 (an inlined header line) + 3 from its second block; the
    // 400 and 500 are the calls' inclusive counts.
    EXPECT_EQ(panel->self, 128u);
    EXPECT_EQ(panel->object, "/build/ostrivane_bench");
    EXPECT_EQ(panel->file, "/repo/src/matrix_panel.cpp");
    const bench::FunctionCost *bitmap = findFunction(profile, "glBitmap");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->object, "/usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0");
    EXPECT_EQ(bitmap->self, 200u);
    const bench::FunctionCost *frame = findFunction(profile, "ostrivane_bench_frame_idle");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->self, 7u);
}

TEST(CallgrindProfile, CallsKnowTheirCalleeObject) {
    const bench::Profile profile = parsed(sampleProfile);
    ASSERT_EQ(profile.calls.size(), 5u);
    EXPECT_EQ(profile.calls[0].calleeFunction, "snprintf");
    EXPECT_EQ(profile.calls[0].calleeObject, "/usr/lib/x86_64-linux-gnu/libc.so.6");
    EXPECT_EQ(profile.calls[0].inclusive, 400u);
    // No cob= line: the callee lives in the caller's object.
    EXPECT_EQ(profile.calls[2].calleeFunction, "onDisplay()");
    EXPECT_EQ(profile.calls[2].calleeObject, "/build/ostrivane_bench");
    // "(2)" alone refers to the name given earlier.
    EXPECT_EQ(profile.calls[3].calleeObject, "/usr/lib/x86_64-linux-gnu/libc.so.6");
    EXPECT_EQ(profile.calls[3].calleeFunction, "snprintf");
}

TEST(CallgrindProfile, SumsTheCountsWhenThereIsNoTotal) {
    const bench::Profile profile = parsed("events: Ir\nob=a\nfl=b\nfn=c\n1 10\n2 5\n");
    EXPECT_EQ(profile.total, 15u);
}

TEST(CallgrindProfile, RejectsWhatIsNotAProfile) {
    const char *const texts[] = {
        "",                             // no events line
        "events: Ir\n10 5\n",           // counts before any function
        "events: Ir\nfn=f\n10 lots\n",  // a count that is not a number
        "hello world\nevents: Ir\n",    // prose
    };
    for (const char *text : texts) {
        std::istringstream in(text);
        bench::Profile profile;
        std::string error;
        EXPECT_FALSE(bench::parseCallgrindProfile(in, profile, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(CallgrindProfile, OwnersFollowObjectAndSourceFile) {
    const std::string exe = "/build/ostrivane_bench", src = "/repo/src/";
    EXPECT_EQ(bench::ownerOf(exe, "/repo/src/scene.cpp", exe, src), CodeOwner::program);
    EXPECT_EQ(bench::ownerOf(exe, "/repo/bench/frames.cpp", exe, src), CodeOwner::harness);
    EXPECT_EQ(bench::ownerOf(exe, "???", exe, src), CodeOwner::harness);
    // The same executable reached through another path.
    EXPECT_EQ(bench::ownerOf("/other/ostrivane_bench", "/repo/src/app.cpp", exe, src), CodeOwner::program);
    EXPECT_EQ(bench::ownerOf("/usr/lib/x86_64-linux-gnu/libglut.so.3.12.0", "", exe, src), CodeOwner::glut);
    EXPECT_EQ(bench::ownerOf("/usr/lib/x86_64-linux-gnu/libc.so.6", "", exe, src), CodeOwner::cLibrary);
    EXPECT_EQ(bench::ownerOf("/usr/lib/x86_64-linux-gnu/ld-linux-x86-64.so.2", "", exe, src),
              CodeOwner::cLibrary);
    EXPECT_EQ(bench::ownerOf("/usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0", "", exe, src), CodeOwner::openGl);
    EXPECT_EQ(bench::ownerOf("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "", exe, src), CodeOwner::openGl);
    EXPECT_EQ(bench::ownerOf("???", "???", exe, src), CodeOwner::openGl);  // the renderer's compiled code
}

TEST(CallgrindProfile, SharesChargeTheCLibraryToTheProgramOnlyForItsOwnCalls) {
    const bench::CostShares s =
        bench::shareOut(parsed(sampleProfile), "/build/ostrivane_bench", "/repo/src/");
    EXPECT_EQ(s.total, 1250u);
    EXPECT_EQ(s.program, 128u);
    EXPECT_EQ(s.harness, 7u);
    EXPECT_EQ(s.cLibrary, 400u);
    EXPECT_EQ(s.glut, 300u);
    EXPECT_EQ(s.openGl, 215u);
    // snprintf from drawMatrixPanel counts; the harness's own call does not.
    EXPECT_EQ(s.cLibraryForProgram, 400u);
}

// ---- Allocation counter ------------------------------------------------

// Keeps the compiler from dropping an allocation that is freed unused.
void *volatile keep;

class AllocationCounter : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bench::allocationCountingAvailable()) {
            GTEST_SKIP() << "built without the allocation counter";
        }
        bench::prepareAllocationCounting();
    }
};

TEST_F(AllocationCounter, CountsThisProgramsAllocationsAsItsOwn) {
    bench::startCountingAllocations();
    keep = std::malloc(24);
    std::free(keep);
    keep = std::calloc(3, 8);
    std::free(keep);
    // Through the C library: still this program's.
    char *copy = strdup("text");
    keep = copy;
    std::free(copy);
    const bench::AllocationCount count = bench::stopCountingAllocations();
    EXPECT_EQ(count.total, 3u);
    EXPECT_EQ(count.own, 3u);
    EXPECT_EQ(count.otherThreads, 0u);
}

TEST_F(AllocationCounter, ChargesOtherLibrariesAndThreadsToThem) {
    XrmInitialize();
    XrmDestroyDatabase(XrmGetStringDatabase("warm.up: 1"));
    bench::startCountingAllocations();
    XrmDestroyDatabase(XrmGetStringDatabase("ostrivane.colour: green"));
    const bench::AllocationCount library = bench::stopCountingAllocations();
    EXPECT_GT(library.total, 0u);
    EXPECT_EQ(library.own, 0u);

    std::thread worker;
    bench::startCountingAllocations();
    worker = std::thread([] {
        keep = std::malloc(40);
        std::free(keep);
    });
    worker.join();
    const bench::AllocationCount threads = bench::stopCountingAllocations();
    EXPECT_GE(threads.otherThreads, 1u);
}

TEST_F(AllocationCounter, CountsNothingWhenStopped) {
    bench::startCountingAllocations();
    bench::stopCountingAllocations();
    keep = std::malloc(16);
    std::free(keep);
    bench::startCountingAllocations();
    const bench::AllocationCount count = bench::stopCountingAllocations();
    EXPECT_EQ(count.total, 0u);
}

// ---- The straight-line frames ------------------------------------------

// Every pixel of the two frames agrees (within one step of 8-bit colour).
void expectSameFrame(const Frame &expected, const Frame &actual) {
    ASSERT_EQ(expected.width(), actual.width());
    ASSERT_EQ(expected.height(), actual.height());
    int differing = 0;
    for (int r = 0; r < expected.height(); ++r) {
        for (int c = 0; c < expected.width(); ++c) {
            differing += sameColour(expected.at(c, r), actual.at(c, r)) ? 0 : 1;
        }
    }
    EXPECT_EQ(differing, 0);
}

// The baseline frame swaps the buffers itself; Mesa's software renderer
// copies the back buffer out and leaves it as it was, so it can be read back.
TEST_F(RenderTest, BaselineDrawsTheIdleFrame) {
    enterIdleState();
    const Frame program = GlWindow::drawFrame();
    drawBaselineIdleFrame();
    const Frame baseline = GlWindow::readBack();
    ASSERT_GT(program.countLit(0, 0, 600, 600), 0);
    expectSameFrame(program, baseline);
}

TEST_F(RenderTest, BaselineDrawsTheEditingFrame) {
    enterEditingState();
    const Frame program = GlWindow::drawFrame();
    drawBaselineEditingFrame();
    const Frame baseline = GlWindow::readBack();
    // The box and the red entry text are there.
    EXPECT_TRUE(program.hasNear(40.5f, 46.0f, toRgb(0.2f, 0.5f, 0.1f)));
    EXPECT_GT(program.countIn(37.0f, 43.5f, 41.0f, 46.0f, toRgb(1.0f, 0.0f, 0.0f)), 0);
    expectSameFrame(program, baseline);
}

bench::Profile profileOf(std::initializer_list<std::pair<const char *, unsigned long long>> functions) {
    bench::Profile profile;
    for (const auto &f : functions) {
        bench::FunctionCost cost;
        cost.function = f.first;
        cost.self = f.second;
        profile.functions.push_back(cost);
    }
    return profile;
}

TEST(BenchVariants, EachProfileIsKnownByTheFrameFunctionThatRanInIt) {
    EXPECT_EQ(bench::variantOf(profileOf({{"onDisplay()", 10}, {"ostrivane_bench_frame_idle", 7}})),
              bench::findVariant("idle"));
    EXPECT_EQ(bench::variantOf(profileOf({{"ostrivane_bench_frame_baseline_editing", 7}})),
              bench::findVariant("baseline-editing"));
    // A frame function only called from, with no count of its own, did not run.
    EXPECT_EQ(bench::variantOf(
                  profileOf({{"ostrivane_bench_frame_floor", 0}, {"ostrivane_bench_frame_editing", 3}})),
              bench::findVariant("editing"));
    // The warm-up ran them all; the end of the run none.
    EXPECT_EQ(
        bench::variantOf(profileOf({{"ostrivane_bench_frame_floor", 5}, {"ostrivane_bench_frame_idle", 7}})),
        nullptr);
    EXPECT_EQ(bench::variantOf(profileOf({{"main", 5}})), nullptr);
}

TEST(BenchVariants, NamesFindTheirVariants) {
    ASSERT_EQ(bench::variantCount, 5u);
    for (std::size_t i = 0; i < bench::variantCount; ++i) {
        EXPECT_EQ(bench::findVariant(bench::variants[i].name), &bench::variants[i]);
    }
    EXPECT_EQ(bench::findVariant("nothing"), nullptr);
    EXPECT_STREQ(bench::variants[0].name, "floor");
}

}  // namespace
