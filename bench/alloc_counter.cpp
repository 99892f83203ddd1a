#include "alloc_counter.h"

#ifndef OSTRIVANE_BENCH_NO_MALLOC_HOOK

#include <execinfo.h>
#include <link.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// glibc's own allocator under its internal names; every allocation is handed
// on to it, so memory from here and from glibc mixes freely.
extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *pointer, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
void *__libc_valloc(std::size_t size);
void *__libc_pvalloc(std::size_t size);
void __libc_free(void *pointer);
}

namespace {

enum class Owner { executable, runtime, other };

struct CodeRange {
    std::uintptr_t begin, end;
    Owner owner;
};

// Filled once before counting; read-only afterwards, so the hook needs no lock.
CodeRange ranges[256];
int rangeCount = 0;

std::atomic<bool> counting{false};
std::atomic<unsigned long long> totalCount{0}, ownCount{0}, otherThreadCount{0}, unattributedCount{0};
pthread_t drawingThread;
thread_local bool insideHook = false;

bool startsWith(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The C and C++ runtime: allocations made inside them are charged to whoever
// called them.
bool isRuntime(const char *path) {
    const char *slash = std::strrchr(path, '/');
    const char *name = slash != nullptr ? slash + 1 : path;
    return startsWith(name, "libc.so") || startsWith(name, "libm.so") || startsWith(name, "libstdc++.so") ||
           startsWith(name, "libgcc_s.so");
}

int addRanges(dl_phdr_info *info, std::size_t, void *data) {
    int &objectIndex = *static_cast<int *>(data);
    const Owner owner =
        objectIndex == 0 ? Owner::executable : (isRuntime(info->dlpi_name) ? Owner::runtime : Owner::other);
    ++objectIndex;
    for (int i = 0; i < info->dlpi_phnum && rangeCount < 256; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
            const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
            ranges[rangeCount++] = {begin, begin + segment.p_memsz, owner};
        }
    }
    return 0;
}

Owner ownerOf(const void *address) {
    const auto a = reinterpret_cast<std::uintptr_t>(address);
    for (int i = 0; i < rangeCount; ++i) {
        if (a >= ranges[i].begin && a < ranges[i].end) {
            return ranges[i].owner;
        }
    }
    return Owner::other;
}

// `caller` is the return address into whoever called the allocation function.
void noteAllocation(void *caller) {
    if (!counting.load(std::memory_order_relaxed) || insideHook) {
        return;
    }
    totalCount.fetch_add(1, std::memory_order_relaxed);
    if (!pthread_equal(pthread_self(), drawingThread)) {
        otherThreadCount.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    Owner owner = ownerOf(caller);
    if (owner == Owner::runtime) {
        // Follow the stack out of the runtime to the code that called it.
        insideHook = true;
        void *frames[64];
        const int depth = backtrace(frames, 64);
        insideHook = false;
        int i = 0;
        while (i < depth && frames[i] != caller) {
            ++i;
        }
        while (i < depth && ownerOf(frames[i]) == Owner::runtime) {
            ++i;
        }
        if (i >= depth) {
            unattributedCount.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        owner = ownerOf(frames[i]);
    }
    if (owner == Owner::executable) {
        ownCount.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

extern "C" {

void *malloc(std::size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

void *realloc(void *pointer, std::size_t size) noexcept {
    if (size != 0) {
        noteAllocation(__builtin_return_address(0));
    }
    return __libc_realloc(pointer, size);
}

void *reallocarray(void *pointer, std::size_t count, std::size_t size) noexcept {
    if (size != 0 && count > static_cast<std::size_t>(-1) / size) {
        errno = ENOMEM;
        return nullptr;
    }
    if (count * size != 0) {
        noteAllocation(__builtin_return_address(0));
    }
    return __libc_realloc(pointer, count * size);
}

void free(void *pointer) noexcept {
    __libc_free(pointer);
}

void *memalign(std::size_t alignment, std::size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

int posix_memalign(void **result, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void *) || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    noteAllocation(__builtin_return_address(0));
    void *pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}

void *valloc(std::size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_valloc(size);
}

void *pvalloc(std::size_t size) noexcept {
    noteAllocation(__builtin_return_address(0));
    return __libc_pvalloc(size);
}

}  // extern "C"

namespace bench {

bool allocationCountingAvailable() {
    return true;
}

void prepareAllocationCounting() {
    drawingThread = pthread_self();
    // The first backtrace loads the unwinder; do it now, not while counting.
    void *frames[4];
    backtrace(frames, 4);
    rangeCount = 0;
    int objectIndex = 0;
    dl_iterate_phdr(addRanges, &objectIndex);
}

void startCountingAllocations() {
    totalCount = 0;
    ownCount = 0;
    otherThreadCount = 0;
    unattributedCount = 0;
    counting = true;
}

AllocationCount stopCountingAllocations() {
    counting = false;
    AllocationCount count;
    count.total = totalCount;
    count.own = ownCount;
    count.otherThreads = otherThreadCount;
    count.unattributed = unattributedCount;
    return count;
}

}  // namespace bench

#else  // OSTRIVANE_BENCH_NO_MALLOC_HOOK

namespace bench {

bool allocationCountingAvailable() {
    return false;
}
void prepareAllocationCounting() {}
void startCountingAllocations() {}
AllocationCount stopCountingAllocations() {
    return {};
}

}  // namespace bench

#endif
