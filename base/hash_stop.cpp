#include "base/hash_stop.h"

namespace {

volatile LONG StopRequest = 0;
StopWaker Waker = NULL;
HashBlockHook BlockHook = NULL;

} // namespace

void ClearHashStop() { InterlockedExchange(&StopRequest, 0); }

void RequestHashStop() {
    InterlockedExchange(&StopRequest, 1);
    StopWaker waker = Waker;
    if (waker) {
        waker();
    }
}

bool HashStopRequested() { return InterlockedCompareExchange(&StopRequest, 0, 0) != 0; }

void SetStopWaker(StopWaker waker) { Waker = waker; }

void SetHashBlockHook(HashBlockHook hook) { BlockHook = hook; }

HashBlockHook CurrentHashBlockHook() { return BlockHook; }
