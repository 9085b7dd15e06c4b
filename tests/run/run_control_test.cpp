// Run control through the main window's real start command: one run at a
// time, and a cancel at any moment leaves every entry whole, every file
// closed and no digestor alive.
#include "run/progress_dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <random>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "res/resource.h"
#include "run/hash_job.h"
#include "tests/app/sent_message_hook.h"
#include "tests/run/hold_point.h"
#include "tests/run/run_fixture.h"
#include "tests/run/thread_allocations.h"

namespace {

// A run as the start command left it, seen on the window thread.
struct StartedRun {
    HWND dialog = NULL;
    HANDLE worker = NULL; // our own handle: the dialog closes its own when the run ends
};

struct DialogCount {
    HWND owner;
    int count;
};

BOOL CALLBACK CountProgressDialog(HWND window, LPARAM parameter) {
    DialogCount* dialogs = reinterpret_cast<DialogCount*>(parameter);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && GetWindow(window, GW_OWNER) == dialogs->owner &&
        GetDlgItem(window, IDC_CANCEL)) {
        ++dialogs->count;
    }
    return TRUE;
}

class RunControl : public HeldRunFixture {
protected:
    void TearDown() override {
        HeldRunFixture::TearDown();
        CountAllocationsOf(0);
    }

    // The start command as the button sends it. The worker's first act is a
    // call into the window thread, so it has allocated nothing before the
    // counting starts here.
    StartedRun Start() {
        StartedRun run;
        m_session->OnWindowThread([&run] {
            SendMessageA(MainWindow, WM_COMMAND, IDC_START, 0);
            run.dialog = ProgressWindow;
            if (HashThread) {
                CountAllocationsOf(GetThreadId(HashThread));
                DuplicateHandle(GetCurrentProcess(), HashThread, GetCurrentProcess(), &run.worker,
                                SYNCHRONIZE, FALSE, 0);
            }
        });
        return run;
    }

    // Waits until the run's worker has ended and checks that it left nothing
    // of its own alive.
    void ExpectWorkerGone(StartedRun& run) {
        ASSERT_NE(run.worker, static_cast<HANDLE>(NULL));
        EXPECT_EQ(WaitForSingleObject(run.worker, 20000), WAIT_OBJECT_0) << "the worker did not end";
        EXPECT_EQ(LiveAllocations(), 0) << "the worker left its digestor (or more) alive";
        CountAllocationsOf(0);
        CloseHandle(run.worker);
        run.worker = NULL;
    }

    int ProgressDialogs() {
        DialogCount dialogs = {m_window, 0};
        EnumThreadWindows(m_session->ThreadId(), CountProgressDialog, reinterpret_cast<LPARAM>(&dialogs));
        return dialogs.count;
    }

    bool StartEnabled() { return IsWindowEnabled(m_session->Control(IDC_START)) != FALSE; }
};

TEST_F(RunControl, SecondStartWhileTheDialogIsOpenDoesNothing) {
    std::vector<std::string> paths;
    std::vector<std::vector<BYTE>> contents;
    const size_t sizes[] = {2000, 300 * 1024, 3000};
    for (size_t i = 0; i < 3; ++i) {
        contents.push_back(RandomBytes(sizes[i], static_cast<unsigned>(i + 1)));
        paths.push_back(m_tree.Root() + "\\s" + std::to_string(i) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), contents.back()));
    }
    SetEntries(paths);
    Hold.entry = 1;
    Hold.after = 1024;
    StartedRun run = Start();
    ASSERT_NE(run.dialog, nullptr);
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    HANDLE thread = NULL;
    m_session->OnWindowThread([&thread] { thread = HashThread; });
    ASSERT_NE(thread, static_cast<HANDLE>(NULL));
    EXPECT_EQ(ProgressDialogs(), 1);

    // As the button sends it, and as an accelerator or the Enter key would.
    SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_session->Control(IDC_START)));
    SendMessageA(m_window, WM_COMMAND, IDC_START, 0);

    HWND dialogNow = NULL;
    HANDLE threadNow = NULL;
    m_session->OnWindowThread([&] {
        dialogNow = ProgressWindow;
        threadNow = HashThread;
    });
    EXPECT_EQ(dialogNow, run.dialog);
    EXPECT_EQ(threadNow, thread);
    EXPECT_EQ(ProgressDialogs(), 1);
    EXPECT_TRUE(IsWindow(run.dialog));

    Hold.released = true;
    ASSERT_TRUE(WaitForIdle());
    ExpectWorkerGone(run);
    EXPECT_FALSE(Hold.otherThread.load()) << "a second job ran";
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(lines[i], ResultLine(DigestMD5, contents[i], paths[i]));
    }
}

// How a round's cancel meets the run.
enum CancelMoment {
    HeldAtBlock,       // the job posts the cancel before a chosen block and waits for the stop
    PostedAtBlock,     // the job posts it there and goes on
    PostedAfterDelete, // the window thread posts it as it carries out the n-th DeleteEntry
    PostedAfterWait,   // the test posts it after a random short wait
    MomentCount
};

const char* const MomentNames[MomentCount] = {"held at block", "posted at block", "posted after delete",
                                              "posted after wait"};

// The seed is printed; DIGESTOR_CANCEL_SEED repeats a round set.
unsigned CancelSeed() {
    const char* fixed = getenv("DIGESTOR_CANCEL_SEED");
    if (fixed && *fixed) {
        return static_cast<unsigned>(strtoul(fixed, NULL, 10));
    }
    return std::random_device()();
}

TEST_F(RunControl, CancelAtFiftyRandomMomentsLeavesEveryEntryWhole) {
    const unsigned seed = CancelSeed();
    printf("cancel rounds: seed %u (DIGESTOR_CANCEL_SEED=%u repeats them)\n", seed, seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);

    const size_t fileCount = 6;
    std::vector<std::string> paths;
    std::vector<size_t> sizes;
    std::vector<std::string> expected[4]; // by DigestKind
    for (size_t i = 0; i < fileCount; ++i) {
        sizes.push_back(random() % (96 * 1024 + 1));
        std::vector<BYTE> content = RandomBytes(sizes.back(), random());
        paths.push_back(m_tree.Root() + "\\c" + std::to_string(i) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), content));
        for (DigestKind kind = 0; kind < 4; ++kind) {
            expected[kind].push_back(ResultLine(kind, content, paths.back()));
        }
    }

    // Counts the job's deletions on the window thread; the n-th posts a cancel.
    std::atomic<int> deletesLeft{0};
    HWND list = m_list;
    SentMessageHook hook(*m_session, [&deletesLeft, list](HWND window, UINT message, WPARAM, LPARAM) {
        if (window == list && message == LB_DELETESTRING && deletesLeft.load() > 0 && --deletesLeft == 0) {
            PostMessageA(ProgressWindow, WM_COMMAND, IDC_CANCEL, 0);
        }
    });
    ASSERT_TRUE(hook.Installed());

    int stoppedEarly = 0;
    for (int round = 0; round < 50 && !HasFailure(); ++round) {
        DigestKind kind = static_cast<DigestKind>(random() % 4);
        CancelMoment moment = static_cast<CancelMoment>(random() % MomentCount);
        size_t entry = random() % fileCount;
        ULONGLONG after = random() % (sizes[entry] + 1);
        int deletes = static_cast<int>(1 + random() % fileCount);
        DWORD wait = random() % 40;
        SCOPED_TRACE("round " + std::to_string(round) + ", " + DigestNames[kind] + ", " +
                     MomentNames[moment] + ", entry " + std::to_string(entry) + " after " +
                     std::to_string(after) + ", delete " + std::to_string(deletes) + ", wait " +
                     std::to_string(wait) + " ms");

        // On the window thread: one round trip instead of one per entry.
        m_session->OnWindowThread([&] {
            SetEntries(paths);
            SelectAlgorithm(kind);
        });
        Hold.Reset();
        deletesLeft = 0;
        if (moment == HeldAtBlock || moment == PostedAtBlock) {
            Hold.entry = static_cast<LRESULT>(entry);
            Hold.after = after;
            Hold.message = WM_COMMAND;
            Hold.wParam = IDC_CANCEL;
            Hold.released = moment == PostedAtBlock;
        } else if (moment == PostedAfterDelete) {
            deletesLeft = deletes;
        }

        StartedRun run = Start();
        ASSERT_NE(run.dialog, nullptr);
        if (moment == PostedAfterWait) {
            Sleep(wait); // picks the moment; nothing waits for a state here
            PostMessageA(run.dialog, WM_COMMAND, IDC_CANCEL, 0);
        }
        ASSERT_TRUE(WaitForIdle()) << "the run did not end";
        ExpectWorkerGone(run);
        deletesLeft = 0;

        // Results from the top, original paths below: nothing half replaced,
        // nothing lost, nothing skipped.
        std::vector<std::string> lines;
        m_session->OnWindowThread([&lines] { lines = ListedEntries(); });
        ASSERT_EQ(lines.size(), fileCount);
        size_t done = 0;
        while (done < fileCount && lines[done] == expected[kind][done]) {
            ++done;
        }
        for (size_t i = done; i < fileCount; ++i) {
            EXPECT_EQ(lines[i], paths[i]) << "entry " << i;
        }
        switch (moment) {
        case HeldAtBlock:
            EXPECT_EQ(done, entry) << "the job went past the block it was stopped before";
            break;
        case PostedAtBlock:
            EXPECT_GE(done, entry);
            break;
        case PostedAfterDelete:
            EXPECT_GE(done, static_cast<size_t>(deletes))
                << "an entry deleted before the cancel was not inserted";
            break;
        default:
            break;
        }
        if (done < fileCount) {
            ++stoppedEarly;
            EXPECT_TRUE(StartEnabled()) << "start stays disabled after a cancel";
        }
        for (const std::string& path : paths) {
            EXPECT_TRUE(OpensExclusively(path)) << path << " is still open";
        }
    }
    printf("cancel rounds: %d of 50 stopped before the end of the list\n", stoppedEarly);
}

} // namespace
