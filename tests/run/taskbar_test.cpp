#include "base/taskbar.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/app_state.h"
#include "tests/run/fake_taskbar.h"

namespace {

// Never a real window: the fake only records the handle it is given.
const HWND TestWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5A5A0));

// COM in this thread's apartment and the fake registered for CLSID_TaskbarList,
// so that the program's CoCreateInstance reaches the fake.
class FakeTaskbarEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)));
        ASSERT_TRUE(RegisterFakeTaskbarClass());
    }
};

::testing::Environment* const Environment = ::testing::AddGlobalTestEnvironment(new FakeTaskbarEnvironment);

class Taskbar : public ::testing::Test {
protected:
    void SetUp() override {
        // A failed creation empties the pointer whatever an earlier test left.
        SetFakeTaskbarCreationFails(true);
        ReplaceTaskbarObject(6, 1);
        ResetFakeTaskbar();
        MainWindow = TestWindow;
    }
};

void ExpectCall(const TaskbarCallRecord& record, int object, TaskbarCall call, HWND window, ULONGLONG first,
                ULONGLONG second) {
    EXPECT_EQ(record.object, object);
    EXPECT_EQ(record.call, call);
    EXPECT_EQ(record.window, window);
    EXPECT_EQ(record.first, first);
    EXPECT_EQ(record.second, second);
}

// Run in a process of its own (see CMakeLists.txt), before any creation.
TEST(TaskbarAtStart, CallsBeforeFirstCreationDoNothing) {
    MainWindow = TestWindow;
    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(1, 2);
    EXPECT_EQ(FakeTaskbarsCreated(), 0);
    EXPECT_TRUE(FakeTaskbarCalls().empty());

    ReplaceTaskbarObject(6, 1);
    SetTaskbarValue(1, 2);
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 2u);
    ExpectCall(calls[1], 1, TaskbarCall::SetProgressValue, TestWindow, 1, 2);
}

TEST_F(Taskbar, ProgressNeedsVersion61OrLater) {
    EXPECT_TRUE(TaskbarProgressAvailable(6, 1));
    EXPECT_TRUE(TaskbarProgressAvailable(6, 2));
    EXPECT_TRUE(TaskbarProgressAvailable(6, 3));
    EXPECT_TRUE(TaskbarProgressAvailable(7, 0));
    EXPECT_TRUE(TaskbarProgressAvailable(10, 0));
    EXPECT_TRUE(TaskbarProgressAvailable(255, 255));
    EXPECT_FALSE(TaskbarProgressAvailable(6, 0));
    EXPECT_FALSE(TaskbarProgressAvailable(5, 1));
    EXPECT_FALSE(TaskbarProgressAvailable(5, 2));
    EXPECT_FALSE(TaskbarProgressAvailable(0, 0));
}

TEST_F(Taskbar, CreationOn61CreatesAndInitialises) {
    ReplaceTaskbarObject(6, 1);
    EXPECT_EQ(FakeTaskbarsCreated(), 1);
    EXPECT_EQ(FakeTaskbarReferences(1), 1);
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 1u);
    ExpectCall(calls[0], 1, TaskbarCall::HrInit, NULL, 0, 0);
}

TEST_F(Taskbar, OlderSystemsCreateNothing) {
    ReplaceTaskbarObject(6, 0);
    ReplaceTaskbarObject(5, 1);
    ReplaceTaskbarObject(5, 2);
    SetTaskbarState(TBPF_INDETERMINATE);
    SetTaskbarValue(1, 2);
    EXPECT_EQ(FakeTaskbarsCreated(), 0);
    EXPECT_TRUE(FakeTaskbarCalls().empty());
}

TEST_F(Taskbar, ButtonMessageFollowsThisSystemsVersion) {
    OnTaskbarButtonCreated();
    EXPECT_EQ(FakeTaskbarsCreated(),
              TaskbarProgressAvailable(SystemMajorVersion, SystemMinorVersion) ? 1 : 0);
    DWORD version = GetVersion();
    EXPECT_EQ(SystemMajorVersion, version & 0xFF);
    EXPECT_EQ(SystemMinorVersion, (version >> 8) & 0xFF);
    EXPECT_NE(TaskbarButtonMessage, 0u);
    EXPECT_EQ(TaskbarButtonMessage, RegisterWindowMessageA("TaskbarButtonCreated"));
}

TEST_F(Taskbar, SecondCreationReleasesFirstAndInitialisesNew) {
    ReplaceTaskbarObject(6, 1);
    ReplaceTaskbarObject(6, 1);
    EXPECT_EQ(FakeTaskbarsCreated(), 2);
    EXPECT_EQ(FakeTaskbarReferences(1), 0);
    EXPECT_EQ(FakeTaskbarReferences(2), 1);

    SetTaskbarState(TBPF_NORMAL);
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 3u);
    ExpectCall(calls[0], 1, TaskbarCall::HrInit, NULL, 0, 0);
    ExpectCall(calls[1], 2, TaskbarCall::HrInit, NULL, 0, 0);
    ExpectCall(calls[2], 2, TaskbarCall::SetProgressState, TestWindow, TBPF_NORMAL, 0);
    EXPECT_EQ(FakeTaskbarCallsOnReleased(), 0);
}

TEST_F(Taskbar, StateAndValueReachObjectWithMainWindow) {
    ReplaceTaskbarObject(6, 1);
    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(0, 7);
    SetTaskbarValue(0x100000000ull, 0x300000000ull);
    SetTaskbarState(TBPF_NOPROGRESS);
    SetTaskbarState(TBPF_INDETERMINATE);

    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 6u);
    ExpectCall(calls[1], 1, TaskbarCall::SetProgressState, TestWindow, TBPF_NORMAL, 0);
    ExpectCall(calls[2], 1, TaskbarCall::SetProgressValue, TestWindow, 0, 7);
    ExpectCall(calls[3], 1, TaskbarCall::SetProgressValue, TestWindow, 0x100000000ull, 0x300000000ull);
    ExpectCall(calls[4], 1, TaskbarCall::SetProgressState, TestWindow, TBPF_NOPROGRESS, 0);
    ExpectCall(calls[5], 1, TaskbarCall::SetProgressState, TestWindow, TBPF_INDETERMINATE, 0);
}

TEST_F(Taskbar, FailedCreationLeavesCallsWithoutEffectUntilNextSuccess) {
    ReplaceTaskbarObject(6, 1);
    SetFakeTaskbarCreationFails(true);
    ReplaceTaskbarObject(6, 1);
    EXPECT_EQ(FakeTaskbarReferences(1), 0);
    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(3, 4);
    ASSERT_EQ(FakeTaskbarCalls().size(), 1u); // the first object's HrInit only
    EXPECT_EQ(FakeTaskbarCallsOnReleased(), 0);

    SetFakeTaskbarCreationFails(false);
    ReplaceTaskbarObject(6, 1);
    SetTaskbarValue(3, 4);
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 3u);
    ExpectCall(calls[2], 2, TaskbarCall::SetProgressValue, TestWindow, 3, 4);
}

struct ValueWorker {
    std::atomic<long> iterations{0};
    std::atomic<bool> replacementsDone{false};
};

// Sets values until the replacements are over and then once more, so its last
// call meets the final object.
DWORD WINAPI SetValuesInLoop(LPVOID parameter) {
    ValueWorker* worker = static_cast<ValueWorker*>(parameter);
    const long minimum = 2000;
    for (;;) {
        bool done = worker->replacementsDone.load();
        long i = worker->iterations.load();
        SetTaskbarValue(static_cast<ULONGLONG>(i), minimum);
        worker->iterations = i + 1;
        if (done && i + 1 >= minimum) {
            return 0;
        }
    }
}

TEST_F(Taskbar, ReplacementNeverReleasesObjectInUse) {
    ReplaceTaskbarObject(6, 1);
    ValueWorker worker;
    HANDLE thread = CreateThread(NULL, 0, SetValuesInLoop, &worker, 0, NULL);
    ASSERT_NE(thread, static_cast<HANDLE>(NULL));
    for (int waited = 0; worker.iterations.load() == 0 && waited < 2000; ++waited) {
        Sleep(10);
    }
    ASSERT_GT(worker.iterations.load(), 0);

    const int replacements = 300;
    for (int i = 0; i < replacements; ++i) {
        ReplaceTaskbarObject(6, 1);
    }
    worker.replacementsDone = true;
    ASSERT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
    CloseHandle(thread);

    EXPECT_EQ(FakeTaskbarCallsOnReleased(), 0);
    ASSERT_EQ(FakeTaskbarsCreated(), replacements + 1);
    for (int object = 1; object <= replacements; ++object) {
        ASSERT_EQ(FakeTaskbarReferences(object), 0) << "object " << object;
    }
    EXPECT_EQ(FakeTaskbarReferences(replacements + 1), 1);
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_FALSE(calls.empty());
    ExpectCall(calls.back(), replacements + 1, TaskbarCall::SetProgressValue, TestWindow,
               static_cast<ULONGLONG>(worker.iterations.load() - 1), 2000);
}

} // namespace
