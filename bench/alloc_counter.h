// Counts heap allocations made while counting is on, through a malloc
// interposer linked into the benchmark program, and tells the program's own
// allocations from those of OpenGL, GLUT and the rest.
#ifndef OSTRIVANE_BENCH_ALLOC_COUNTER_H
#define OSTRIVANE_BENCH_ALLOC_COUNTER_H

namespace bench {

struct AllocationCount {
    // Every malloc, calloc, realloc and aligned allocation, on any thread.
    unsigned long long total = 0;
    // Those on the drawing thread whose nearest caller outside the C and C++
    // runtime libraries is code of this executable: the program's own code
    // (directly or through the C library it calls, such as snprintf).
    unsigned long long own = 0;
    // Those on other threads (the renderer's workers).
    unsigned long long otherThreads = 0;
    // Drawing-thread allocations whose caller chain could not be followed.
    unsigned long long unattributed = 0;
};

// False when the program was built without the interposer (under the
// sanitizers, which bring their own allocator).
bool allocationCountingAvailable();

// Call once on the drawing thread before counting.
void prepareAllocationCounting();

void startCountingAllocations();
AllocationCount stopCountingAllocations();

}  // namespace bench

#endif
