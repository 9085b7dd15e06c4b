// Counts what one thread allocates with operator new and has not freed yet,
// through replacements of the global operator new and delete in this test
// program. A worker whose count is back at zero once it has ended left no
// object of its own alive: its digestor above all, which it creates and
// releases itself.
#pragma once

#include <windows.h>

// Counts from now on the allocations of thread threadId, starting at zero;
// 0 counts none.
void CountAllocationsOf(DWORD threadId);
// Allocations of the counted thread that it has not freed.
long LiveAllocations();
