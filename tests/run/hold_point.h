// A point inside a run where the test takes over from the job: installed as
// the job's block hook, it acts on the job's own thread, between two blocks.
#pragma once

#include <windows.h>

#include <atomic>

#include "run/hash_job.h"
#include "tests/run/run_fixture.h"

// Where the job is held: before the block that starts at byte after (or the
// first block past it) of entry entry. There it posts message (if any) to the
// progress dialog, or to the main window, then waits (bounded) until the stop
// request or the test's release. With released set beforehand it goes on at once.
struct HoldPoint {
    std::atomic<LRESULT> entry{-1}; // -1: nowhere
    std::atomic<ULONGLONG> after{0};
    std::atomic<UINT> message{0};
    std::atomic<WPARAM> wParam{0};
    std::atomic<bool> toMainWindow{false};
    std::atomic<bool> reached{false};
    std::atomic<bool> released{false};
    std::atomic<bool> ignoresStop{false}; // stands in for a job that does not end
    // The threads that ran the hook: the first one, and whether any other did.
    std::atomic<DWORD> thread{0};
    std::atomic<bool> otherThread{false};

    void Reset();
};

extern HoldPoint Hold;

// For SetHashBlockHook.
void HoldHook(LRESULT entry, ULONGLONG done);

// A run fixture whose job runs through the hold point: reset before each test,
// released and removed after it.
class HeldRunFixture : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        Hold.Reset();
        SetHashBlockHook(HoldHook);
    }

    void TearDown() override {
        Hold.released = true;
        RunFixture::TearDown();
        SetHashBlockHook(NULL);
    }
};
