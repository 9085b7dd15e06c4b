#include "tests/run/thread_allocations.h"

#include <stdlib.h>

#include <atomic>
#include <new>

namespace {

std::atomic<DWORD> CountedThread{0};
std::atomic<long> Live{0};

bool Counted() {
    DWORD counted = CountedThread.load(std::memory_order_relaxed);
    return counted != 0 && counted == GetCurrentThreadId();
}

} // namespace

void CountAllocationsOf(DWORD threadId) {
    CountedThread = 0;
    Live = 0;
    CountedThread = threadId;
}

long LiveAllocations() { return Live.load(); }

// The other forms of new and delete that the library offers end in these.
void* operator new(size_t size) {
    void* memory = malloc(size != 0 ? size : 1);
    if (!memory) {
        throw std::bad_alloc();
    }
    if (Counted()) {
        ++Live;
    }
    return memory;
}

void operator delete(void* memory) noexcept {
    if (memory && Counted()) {
        --Live;
    }
    free(memory);
}

void operator delete(void* memory, size_t) noexcept { operator delete(memory); }
