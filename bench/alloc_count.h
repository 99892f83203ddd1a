// Counts heap allocations while counting is on, through replacements of
// malloc and its kin and of operator new linked into the program, and tells
// the program's own (called from this executable's code) from those made
// inside shared libraries (OpenGL, GLUT, X11, the C library) by the caller's
// address.
#ifndef OSTRIVANE_BENCH_ALLOC_COUNT_H
#define OSTRIVANE_BENCH_ALLOC_COUNT_H

#include <cstdint>

struct AllocationCount {
    std::uint64_t all = 0;  // on any thread
    std::uint64_t own = 0;  // called from this executable's code
};

// False in a build without the replacements (under the sanitizers, which
// bring their own allocator); nothing is counted then.
bool allocationCountAvailable();
void startCountingAllocations();
AllocationCount stopCountingAllocations();

#endif
