#include "alloc_count.h"

#ifndef OSTRIVANE_BENCH_NO_MALLOC_HOOK

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <new>

extern "C" {
// glibc's allocator under its own names: every allocation is handed on to
// it, so glibc's free releases them all.
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *pointer, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
// The linker's bounds of this executable's code.
extern const char __executable_start[], etext[];
}

namespace {

std::atomic<bool> counting{false};
std::atomic<std::uint64_t> allCount{0}, ownCount{0};

void note(const void *caller) {
    if (!counting.load(std::memory_order_relaxed)) {
        return;
    }
    allCount.fetch_add(1, std::memory_order_relaxed);
    const auto at = reinterpret_cast<std::uintptr_t>(caller);
    if (at >= reinterpret_cast<std::uintptr_t>(__executable_start) &&
        at < reinterpret_cast<std::uintptr_t>(etext)) {
        ownCount.fetch_add(1, std::memory_order_relaxed);
    }
}

void *allocateOrThrow(std::size_t size) {
    void *pointer = __libc_malloc(size != 0 ? size : 1);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

}  // namespace

#define CALLER __builtin_return_address(0)

extern "C" {

void *malloc(std::size_t size) noexcept {
    note(CALLER);
    return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size) noexcept {
    note(CALLER);
    return __libc_calloc(count, size);
}

void *realloc(void *pointer, std::size_t size) noexcept {
    if (size != 0) {
        note(CALLER);
    }
    return __libc_realloc(pointer, size);
}

void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    note(CALLER);
    return __libc_memalign(alignment, size);
}

int posix_memalign(void **result, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void *) || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    note(CALLER);
    void *pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return ENOMEM;
    }
    *result = pointer;
    return 0;
}

}  // extern "C"

// Replaced too, or every allocation through new would seem to come from
// the C++ library that calls malloc.
void *operator new(std::size_t size) {
    note(CALLER);
    return allocateOrThrow(size);
}

void *operator new[](std::size_t size) {
    note(CALLER);
    return allocateOrThrow(size);
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
    note(CALLER);
    return __libc_malloc(size != 0 ? size : 1);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
    note(CALLER);
    return __libc_malloc(size != 0 ? size : 1);
}

bool allocationCountAvailable() {
    return true;
}

void startCountingAllocations() {
    allCount = 0;
    ownCount = 0;
    counting = true;
}

AllocationCount stopCountingAllocations() {
    counting = false;
    AllocationCount count;
    count.all = allCount;
    count.own = ownCount;
    return count;
}

#else  // OSTRIVANE_BENCH_NO_MALLOC_HOOK

bool allocationCountAvailable() {
    return false;
}
void startCountingAllocations() {}
AllocationCount stopCountingAllocations() {
    return {};
}

#endif
