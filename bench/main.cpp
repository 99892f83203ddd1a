// What one frame of Ostrivane costs, against the floor of a frame that only
// clears and swaps, and against the same calls issued straight-line.
//
//   ostrivane_bench [--rounds N] [--frames N] [--end finish|xsync|none]
//                   [--profile-frames N] [--no-callgrind] [--keep-profiles]
//
// Needs an X display (run it under Xvfb for Mesa's software renderer). The
// timings alternate the variants round-robin, a batch of frames each, so
// that other work on the machine falls on all of them alike; the figures are
// medians over the rounds. Then it counts heap allocations per frame and, when
// valgrind is installed, runs itself under callgrind to count the
// instructions of a frame and how many of them are the program's own.
#include <GL/freeglut.h>
#include <dirent.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "app.h"
#include "callgrind_profile.h"
#include "editor_state.h"
#include "frames.h"
#include "stats.h"

extern char **environ;

namespace {

struct Options {
    int rounds = 40;
    int frames = 20;
    int allocationFrames = 50;
    int profileFrames = 20;
    FrameEnd end = FrameEnd::finish;
    bool callgrind = true;
    bool keepProfiles = false;
    bool profileChild = false;
};

const char *endName(FrameEnd end) {
    switch (end) {
        case FrameEnd::none:
            return "ends with the swap: only what glutSwapBuffers waits for is counted";
        case FrameEnd::finish:
            return "ends with glFinish after the swap: all the renderer's work on it is counted";
        case FrameEnd::xsync:
            return "ends with glFinish and XSync after the swap: the X server's copy is counted too";
    }
    return "";
}

bool parsePositive(const char *text, int &value) {
    char *end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 1 || parsed > 100000) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool parseOptions(int argc, char **argv, Options &options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--rounds" && hasValue) {
            if (!parsePositive(argv[++i], options.rounds)) {
                return false;
            }
        } else if (arg == "--frames" && hasValue) {
            if (!parsePositive(argv[++i], options.frames)) {
                return false;
            }
        } else if (arg == "--profile-frames" && hasValue) {
            if (!parsePositive(argv[++i], options.profileFrames)) {
                return false;
            }
        } else if (arg == "--end" && hasValue) {
            const std::string end = argv[++i];
            if (end == "finish") {
                options.end = FrameEnd::finish;
            } else if (end == "xsync") {
                options.end = FrameEnd::xsync;
            } else if (end == "none") {
                options.end = FrameEnd::none;
            } else {
                return false;
            }
        } else if (arg == "--no-callgrind") {
            options.callgrind = false;
        } else if (arg == "--keep-profiles") {
            options.keepProfiles = true;
        } else if (arg == "--profile-child") {
            options.profileChild = true;
        } else {
            return false;
        }
    }
    return true;
}

void ignoreDisplay() {}

// A 600x600 window like the program's, with the program's own reshape
// callback; GLUT's redisplays draw nothing, the benchmark draws the frames.
bool openWindow(int &argc, char **argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutInitWindowPosition(10, 10);
    glutInitWindowSize(600, 600);
    glutCreateWindow("Ostrivane benchmark");
    initScene();
    glutDisplayFunc(ignoreDisplay);
    glutReshapeFunc(onReshape);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    editorState.windowWidth = 0.0f;
    while (editorState.windowWidth != 600.0f || editorState.windowHeight != 600.0f) {
        glutMainLoopEvent();
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
    }
    return true;
}

void runFrames(const bench::Variant &variant, int frames) {
    variant.prepare();
    for (int i = 0; i < frames; ++i) {
        variant.frame();
    }
}

// Milliseconds per frame of each variant in each round.
std::vector<std::vector<double>> timeRounds(const Options &options) {
    const std::size_t n = bench::variantCount;
    std::vector<std::vector<double>> ms(n);
    for (int round = 0; round < options.rounds; ++round) {
        for (std::size_t k = 0; k < n; ++k) {
            // Each round starts one variant further on, so that every variant
            // takes every place in the order equally often.
            const std::size_t v = (static_cast<std::size_t>(round) + k) % n;
            const bench::Variant &variant = bench::variants[v];
            glutMainLoopEvent();
            variant.prepare();
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < options.frames; ++i) {
                variant.frame();
            }
            const auto stop = std::chrono::steady_clock::now();
            const std::chrono::duration<double, std::milli> elapsed = stop - start;
            ms[v].push_back(elapsed.count() / options.frames);
        }
    }
    return ms;
}

void reportTimes(const Options &options, const std::vector<std::vector<double>> &ms) {
    std::printf("\nTime per frame, medians over %d rounds of %d frames per variant (p25-p75 in brackets)\n",
                options.rounds, options.frames);
    std::printf("  %-17s %-44s %8s %17s %9s\n", "variant", "frame", "ms", "", "x floor");
    const std::vector<double> &floorMs = ms[0];
    for (std::size_t v = 0; v < bench::variantCount; ++v) {
        char spread[40];
        std::snprintf(spread, sizeof spread, "(%.3f-%.3f)", bench::quantile(ms[v], 0.25),
                      bench::quantile(ms[v], 0.75));
        std::printf("  %-17s %-44s %8.3f %17s %9.3f\n", bench::variants[v].name,
                    bench::variants[v].description, bench::median(ms[v]), spread,
                    bench::median(bench::ratios(ms[v], floorMs)));
    }
    std::printf("  Each ratio is the median of the per-round ratios, so a disturbed round counts once.\n");
    std::printf("\nFull frame against its straight-line baseline (median of per-round ratios)\n");
    std::printf("  idle / baseline                  %.3f\n", bench::median(bench::ratios(ms[1], ms[3])));
    std::printf("  editing / baseline-editing       %.3f\n", bench::median(bench::ratios(ms[2], ms[4])));
    std::fflush(stdout);
}

void reportAllocations(const Options &options) {
    std::printf("\nHeap allocations per frame, over %d frames of each variant\n", options.allocationFrames);
    if (!bench::allocationCountingAvailable()) {
        std::printf("  not counted: this build uses the sanitizers' allocator\n");
        return;
    }
    std::printf("  %-17s %14s %14s %14s\n", "variant", "whole frame", "program's own", "other threads");
    for (std::size_t v = 0; v < bench::variantCount; ++v) {
        const bench::Variant &variant = bench::variants[v];
        variant.prepare();
        bench::startCountingAllocations();
        runFrames(variant, options.allocationFrames);
        const bench::AllocationCount count = bench::stopCountingAllocations();
        const double frames = options.allocationFrames;
        std::printf("  %-17s %14.2f %14.2f %14.2f", variant.name, static_cast<double>(count.total) / frames,
                    static_cast<double>(count.own) / frames,
                    static_cast<double>(count.otherThreads) / frames);
        if (count.unattributed != 0) {
            std::printf("  (%llu not attributed)", count.unattributed);
        }
        std::printf("\n");
    }
    std::printf(
        "  \"Whole frame\" is every allocation while the frames ran, on any thread: Mesa, GLX and X11 "
        "included.\n"
        "  \"Program's own\" are those whose nearest caller outside the C/C++ runtime is this executable.\n");
    std::fflush(stdout);
}

// The profiled process: warm every variant up, then one batch of each, with
// a dump of callgrind's counts after every batch.
int runProfileChild(const Options &options) {
    for (std::size_t v = 0; v < bench::variantCount; ++v) {
        runFrames(bench::variants[v], 3);
    }
    ostrivane_bench_batch_done();
    for (std::size_t v = 0; v < bench::variantCount; ++v) {
        runFrames(bench::variants[v], options.profileFrames);
        ostrivane_bench_batch_done();
    }
    return 0;
}

std::string executablePath() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return std::string();
    }
    path[n] = '\0';
    return path;
}

std::vector<std::string> filesIn(const std::string &directory) {
    std::vector<std::string> names;
    if (DIR *dir = opendir(directory.c_str())) {
        while (dirent *entry = readdir(dir)) {
            if (std::strncmp(entry->d_name, "callgrind.out", 13) == 0) {
                names.push_back(directory + "/" + entry->d_name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void reportInstructions(const Options &options, const std::string &directory) {
    const std::string executable = executablePath();
    const std::string sources = OSTRIVANE_SOURCE_DIR "/src/";
    std::vector<bench::CostShares> shares(bench::variantCount);
    std::vector<bench::Profile> profiles(bench::variantCount);
    std::vector<bool> seen(bench::variantCount, false);
    for (const std::string &path : filesIn(directory)) {
        std::ifstream in(path);
        bench::Profile profile;
        std::string error;
        if (!bench::parseCallgrindProfile(in, profile, error)) {
            std::printf("  %s: %s\n", path.c_str(), error.c_str());
            continue;
        }
        const bench::Variant *variant = bench::variantOf(profile);
        if (variant == nullptr) {
            continue;
        }
        const std::size_t v = static_cast<std::size_t>(variant - bench::variants);
        shares[v] = bench::shareOut(profile, executable, sources);
        profiles[v] = profile;
        seen[v] = true;
    }
    const double frames = options.profileFrames;
    std::printf("  %-17s %11s %9s %8s %9s %8s %10s %8s %11s %8s\n", "variant", "whole frame", "program",
                "share", "+C calls", "share", "C library", "GLUT", "OpenGL etc.", "harness");
    auto percent = [](unsigned long long part, unsigned long long whole) {
        return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
    };
    for (std::size_t v = 0; v < bench::variantCount; ++v) {
        if (!seen[v]) {
            std::printf("  %-17s no profile\n", bench::variants[v].name);
            continue;
        }
        const bench::CostShares &s = shares[v];
        const unsigned long long withCalls = s.program + s.cLibraryForProgram;
        std::printf("  %-17s %11.0f %9.0f %7.3f%% %9.0f %7.3f%% %10.0f %8.0f %11.0f %8.0f\n",
                    bench::variants[v].name, s.total / frames, s.program / frames,
                    percent(s.program, s.total), withCalls / frames, percent(withCalls, s.total),
                    s.cLibrary / frames, s.glut / frames, s.openGl / frames, s.harness / frames);
    }
    if (seen[1] && shares[1].program == 0 && shares[1].harness > 0) {
        std::printf(
            "  The program's functions were not told apart: build with debug information\n"
            "  (CMAKE_BUILD_TYPE=RelWithDebInfo), as tools/bench.sh does.\n");
    }
    if (seen[1] && seen[3] && shares[3].total > 0) {
        std::printf("  idle / baseline in instructions:             %.4f\n",
                    static_cast<double>(shares[1].total) / static_cast<double>(shares[3].total));
    }
    if (seen[2] && seen[4] && shares[4].total > 0) {
        std::printf("  editing / baseline-editing in instructions:  %.4f\n",
                    static_cast<double>(shares[2].total) / static_cast<double>(shares[4].total));
    }
    std::printf(
        "  \"program\": the program's own functions (src/), callees excluded. \"+C calls\": with the C "
        "library\n"
        "  work they call for (snprintf), which the \"C library\" column also holds. \"harness\": the frame\n"
        "  function and the allocation counter's wrapper around malloc.\n");
    for (std::size_t v = 1; v <= 2; ++v) {
        if (!seen[v]) {
            continue;
        }
        std::printf("  Program functions in the %s frame, instructions per frame:", bench::variants[v].name);
        std::vector<const bench::FunctionCost *> own;
        for (const bench::FunctionCost &f : profiles[v].functions) {
            if (bench::ownerOf(f.object, f.file, executable, sources) == bench::CodeOwner::program &&
                f.self > 0) {
                own.push_back(&f);
            }
        }
        std::sort(own.begin(), own.end(), [](const bench::FunctionCost *a, const bench::FunctionCost *b) {
            return a->self > b->self;
        });
        for (const bench::FunctionCost *f : own) {
            std::printf("\n    %10.0f  %s", static_cast<double>(f->self) / frames, f->function.c_str());
        }
        std::printf("\n");
    }
}

// Runs this program again under callgrind, one dump per batch of frames,
// and reads the dumps back.
void profileInstructions(const Options &options, const char *display) {
    std::printf(
        "\nInstructions per frame (callgrind, %d frames of each variant, LP_NUM_THREADS=0 so that\n"
        "llvmpipe rasterises on the drawing thread and its work is counted in the frame)\n",
        options.profileFrames);
    std::fflush(stdout);
    char directoryTemplate[] = "/tmp/ostrivane-bench-XXXXXX";
    const char *directory = mkdtemp(directoryTemplate);
    const std::string executable = executablePath();
    if (directory == nullptr || executable.empty()) {
        std::printf("  not measured: no temporary directory or no path to this program\n");
        return;
    }
    const std::string dir = directory;
    const std::string outFile = "--callgrind-out-file=" + dir + "/callgrind.out";
    const std::string logFile = "--log-file=" + dir + "/valgrind.log";
    const std::string frames = std::to_string(options.profileFrames);
    std::vector<std::string> args = {"valgrind",
                                     "--tool=callgrind",
                                     "--collect-atstart=no",
                                     "--toggle-collect=ostrivane_bench_frame_*",
                                     "--dump-after=ostrivane_bench_batch_done",
                                     outFile,
                                     logFile,
                                     executable,
                                     "--profile-child",
                                     "--profile-frames",
                                     frames};
    if (display != nullptr) {
        args.push_back("-display");
        args.push_back(display);
    }
    std::vector<char *> argv;
    for (std::string &arg : args) {
        argv.push_back(&arg[0]);
    }
    argv.push_back(nullptr);
    setenv("LP_NUM_THREADS", "0", 1);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "valgrind", nullptr, nullptr, argv.data(), environ);
    unsetenv("LP_NUM_THREADS");
    int status = 0;
    if (spawned != 0) {
        std::printf("  not measured: valgrind could not be started (install it: apt-get install valgrind)\n");
    } else if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("  the profiled run failed; see %s/valgrind.log\n", directory);
        return;
    } else {
        reportInstructions(options, dir);
    }
    if (options.keepProfiles) {
        std::printf("  profiles kept in %s (callgrind_annotate reads them)\n", directory);
        return;
    }
    for (const std::string &path : filesIn(dir)) {
        std::remove(path.c_str());
    }
    std::remove((dir + "/valgrind.log").c_str());
    rmdir(directory);
}

}  // namespace

int main(int argc, char **argv) {
    // GLUT takes its own options (such as -display) first.
    const char *display = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) {
            display = argv[i + 1];
        }
    }
    if (!openWindow(argc, argv)) {
        std::fprintf(stderr, "ostrivane_bench: the window did not reach 600x600\n");
        return 1;
    }
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: ostrivane_bench [--rounds N] [--frames N] [--end finish|xsync|none]\n"
                     "                       [--profile-frames N] [--no-callgrind] [--keep-profiles]\n");
        return 2;
    }
    setFrameEnd(options.end);
    if (options.profileChild) {
        return runProfileChild(options);
    }

    const char *renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    std::printf("Ostrivane frame benchmark: 600x600 window, renderer \"%s\"\n", renderer ? renderer : "?");
    std::printf("Every frame %s.\n", endName(options.end));
    if (renderer == nullptr || std::strstr(renderer, "llvmpipe") == nullptr) {
        std::printf("Note: not Mesa's llvmpipe; run under Xvfb for the software renderer.\n");
    }
    std::fflush(stdout);

    for (std::size_t v = 0; v < bench::variantCount; ++v) {
        runFrames(bench::variants[v], options.frames);
    }
    reportTimes(options, timeRounds(options));

    bench::prepareAllocationCounting();
    reportAllocations(options);

    if (options.callgrind) {
        profileInstructions(options, display);
    }
    return 0;
}
