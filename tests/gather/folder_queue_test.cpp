// Tests for FolderQueue: ordering, wrap-around past 1024 slots, limits, empty pops and by-value copies.
#include "gather/folder_queue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string PathName(int i) { return "path " + std::to_string(i); }

// Pops into a fresh buffer pre-filled with junk, so a missing terminator would show.
std::string PopString(FolderQueue& q) {
    std::vector<char> out(FolderSlotSize, 'x');
    char* result = q.Pop(out.data());
    EXPECT_EQ(result, out.data());
    return std::string(out.data());
}

} // namespace

// ---- basic ordering ----

TEST(FolderQueueOrder, TwoPushesThenTwoPopsComeBackInPushOrder) {
    FolderQueue q = FolderQueue::Create(3);
    ASSERT_EQ(q.status, Ok);
    ASSERT_NE(q.storage, nullptr);
    EXPECT_EQ(q.capacity, 3);

    q.Push("A");
    EXPECT_EQ(q.status, Ok);
    q.Push("B");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 2);
    EXPECT_EQ(q.writeIndex, 2);
    EXPECT_EQ(q.readIndex, 0);

    EXPECT_EQ(PopString(q), "A");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 1);
    EXPECT_EQ(PopString(q), "B");
    EXPECT_EQ(q.status, Ok); // popping the last path is not an underflow
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(q.readIndex, 2);

    q.Free();
    EXPECT_EQ(q.storage, nullptr);
}

TEST(FolderQueueOrder, FillingTheLastSlotLeavesStatusOk) {
    FolderQueue q = FolderQueue::Create(2);
    ASSERT_EQ(q.status, Ok);
    q.Push("one");
    q.Push("two");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 2);
    q.Free();
}

// ---- creation ----

TEST(FolderQueueCreate, ZeroCapacityIsValidButTakesNoPush) {
    FolderQueue q = FolderQueue::Create(0);
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(q.capacity, 0);

    q.Push("C:\\folder");
    EXPECT_EQ(q.status, Full);
    EXPECT_EQ(q.count, 0);

    EXPECT_EQ(PopString(q), "");
    EXPECT_EQ(q.status, Empty);

    q.Free();
    q.Free();
    EXPECT_EQ(q.storage, nullptr);
}

TEST(FolderQueueCreate, NegativeCapacityGivesNoMemory) {
    FolderQueue q = FolderQueue::Create(-1);
    EXPECT_EQ(q.status, NoMemory);
    EXPECT_EQ(q.storage, nullptr);
    EXPECT_EQ(q.count, 0);

    // The failed queue must refuse work rather than write through a null pointer.
    q.Push("A");
    EXPECT_NE(q.status, Ok);
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(PopString(q), "");
    EXPECT_EQ(q.status, Empty);

    q.Free();
    EXPECT_EQ(q.storage, nullptr);

    FolderQueue most = FolderQueue::Create(INT32_MIN);
    EXPECT_EQ(most.status, NoMemory);
    EXPECT_EQ(most.storage, nullptr);
    most.Free();
}

TEST(FolderQueueCreate, UnallocatableCapacityGivesNoMemory) {
    // INT32_MAX slots of 520 bytes is about 1.1 TB.
    FolderQueue q = FolderQueue::Create(INT32_MAX);
    if (q.storage != nullptr) {
        // Some hosts (overcommit "always", or a lazily committing heap) hand out
        // the address range anyway; then there is no failure to observe here.
        EXPECT_EQ(q.status, Ok);
        EXPECT_EQ(q.capacity, INT32_MAX);
        q.Free();
        GTEST_SKIP() << "this host granted a 1.1 TB allocation";
    }
    EXPECT_EQ(q.status, NoMemory);
    EXPECT_EQ(q.count, 0);

    q.Push("A");
    EXPECT_NE(q.status, Ok);
    EXPECT_EQ(q.count, 0);

    q.Free();
    q.Free();
    EXPECT_EQ(q.storage, nullptr);
}

// ---- wrap-around ----

class FolderQueueWrap : public ::testing::TestWithParam<int32_t> {};

TEST_P(FolderQueueWrap, EveryPathOfAFullDropComesBackOnceInOrder) {
    const int32_t capacity = GetParam();
    FolderQueue q = FolderQueue::Create(capacity);
    ASSERT_EQ(q.status, Ok);

    for (int32_t i = 0; i < capacity; ++i) {
        q.Push(PathName(i).c_str());
        ASSERT_EQ(q.status, Ok) << "push " << i;
    }
    EXPECT_EQ(q.count, capacity);
    EXPECT_EQ(q.writeIndex, 0);
    EXPECT_EQ(q.readIndex, 0);

    // One more is an overflow: refused, and must not overwrite the oldest path.
    q.Push("intruder");
    EXPECT_EQ(q.status, Full);
    EXPECT_EQ(q.count, capacity);
    EXPECT_EQ(q.writeIndex, 0);

    for (int32_t i = 0; i < capacity; ++i) {
        ASSERT_EQ(PopString(q), PathName(i)) << "pop " << i;
        ASSERT_EQ(q.status, Ok);
    }
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(q.readIndex, 0);

    EXPECT_EQ(PopString(q), "");
    EXPECT_EQ(q.status, Empty);
    q.Free();
}

INSTANTIATE_TEST_SUITE_P(DropSizes, FolderQueueWrap, ::testing::Values(1, 1023, 1024, 1025, 3000));

TEST(FolderQueueWrapInterleaved, PushesAndPopsAcrossTheWrapPointKeepOrder) {
    FolderQueue q = FolderQueue::Create(3);
    ASSERT_EQ(q.status, Ok);

    q.Push("a");
    q.Push("b");
    q.Push("c");
    EXPECT_EQ(PopString(q), "a");
    EXPECT_EQ(PopString(q), "b");
    EXPECT_EQ(q.readIndex, 2);

    q.Push("d"); // goes to slot 0
    q.Push("e"); // goes to slot 1
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 3);
    EXPECT_EQ(q.writeIndex, 2);

    q.Push("f");
    EXPECT_EQ(q.status, Full);

    EXPECT_EQ(PopString(q), "c"); // read index wraps from 2 to 0 after this
    EXPECT_EQ(q.readIndex, 0);
    EXPECT_EQ(PopString(q), "d");
    EXPECT_EQ(PopString(q), "e");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 0);
    q.Free();
}

TEST(FolderQueueWrapInterleaved, SteadyTrickleThroughASmallRingLosesNothing) {
    // Many laps round a 5-slot ring, keeping between 1 and 4 paths queued.
    FolderQueue q = FolderQueue::Create(5);
    ASSERT_EQ(q.status, Ok);
    int next_push = 0;
    int next_pop = 0;
    for (int round = 0; round < 200; ++round) {
        const int pushes = 1 + round % 4;
        for (int i = 0; i < pushes && q.count < q.capacity; ++i) {
            q.Push(PathName(next_push++).c_str());
            ASSERT_EQ(q.status, Ok);
        }
        const int pops = 1 + (round + 2) % 4;
        for (int i = 0; i < pops && q.count > 0; ++i)
            ASSERT_EQ(PopString(q), PathName(next_pop++));
    }
    while (q.count > 0)
        ASSERT_EQ(PopString(q), PathName(next_pop++));
    EXPECT_EQ(next_pop, next_push);
    EXPECT_GT(next_push, 5 * 10); // really went round many times
    q.Free();
}

// ---- path lengths ----

TEST(FolderQueuePathLength, LongestFittingPathIsKeptIntact) {
    FolderQueue q = FolderQueue::Create(2);
    ASSERT_EQ(q.status, Ok);

    std::string longest(FolderSlotSize - 1, 'L');
    longest[0] = 'C';
    longest[FolderSlotSize - 2] = 'z'; // distinct last character, to catch truncation
    q.Push(longest.c_str());
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 1);

    std::vector<char> out(FolderSlotSize, 'x');
    q.Pop(out.data());
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(out[FolderSlotSize - 1], '\0');
    EXPECT_EQ(std::string(out.data()), longest);
    q.Free();
}

TEST(FolderQueuePathLength, PathsThatDoNotFitAreRefusedWithoutSideEffects) {
    FolderQueue q = FolderQueue::Create(3);
    ASSERT_EQ(q.status, Ok);
    q.Push("first");

    const std::string exact(FolderSlotSize, 'x');
    q.Push(exact.c_str());
    EXPECT_EQ(q.status, TooLong);
    EXPECT_EQ(q.count, 1);
    EXPECT_EQ(q.writeIndex, 1);

    const std::string longer(4 * FolderSlotSize, 'y');
    q.Push(longer.c_str());
    EXPECT_EQ(q.status, TooLong);
    EXPECT_EQ(q.count, 1);
    EXPECT_EQ(q.writeIndex, 1);

    q.Push("second");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.count, 2);

    EXPECT_EQ(PopString(q), "first");
    EXPECT_EQ(PopString(q), "second");
    EXPECT_EQ(q.count, 0);
    q.Free();
}

TEST(FolderQueuePathLength, OverlongPathIsReportedAsTooLongEvenWhenFull) {
    FolderQueue q = FolderQueue::Create(1);
    ASSERT_EQ(q.status, Ok);
    q.Push("only");
    const std::string exact(FolderSlotSize, 'x');
    q.Push(exact.c_str());
    EXPECT_EQ(q.status, TooLong);
    EXPECT_EQ(q.count, 1);
    EXPECT_EQ(PopString(q), "only");
    q.Free();
}

TEST(FolderQueuePathLength, EmptyPathIsAnOrdinaryEntry) {
    FolderQueue q = FolderQueue::Create(2);
    ASSERT_EQ(q.status, Ok);
    q.Push("");
    q.Push("next");
    EXPECT_EQ(q.count, 2);
    EXPECT_EQ(PopString(q), "");
    EXPECT_EQ(q.status, Ok); // distinguishes a queued "" from an underflow
    EXPECT_EQ(PopString(q), "next");
    q.Free();
}

// ---- popping an empty queue ----

TEST(FolderQueueEmptyPop, FreshQueueReportsEmptyAndClearsOut) {
    FolderQueue q = FolderQueue::Create(4);
    ASSERT_EQ(q.status, Ok);

    char out[FolderSlotSize];
    std::strcpy(out, "stale path");
    char* result = q.Pop(out);
    EXPECT_EQ(result, out);
    EXPECT_EQ(q.status, Empty);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(q.count, 0);
    EXPECT_EQ(q.readIndex, 0);

    q.Push("after");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(PopString(q), "after");
    EXPECT_EQ(q.status, Ok);
    q.Free();
}

TEST(FolderQueueEmptyPop, DrainedQueueKeepsItsIndicesAndStillWorks) {
    FolderQueue q = FolderQueue::Create(4);
    ASSERT_EQ(q.status, Ok);
    q.Push("a");
    q.Push("b");
    q.Push("c");
    PopString(q);
    PopString(q);
    PopString(q);
    ASSERT_EQ(q.readIndex, 3);
    ASSERT_EQ(q.writeIndex, 3);

    for (int i = 0; i < 3; ++i) { // repeated underflows must not drift the read index
        EXPECT_EQ(PopString(q), "");
        EXPECT_EQ(q.status, Empty);
        EXPECT_EQ(q.count, 0);
        EXPECT_EQ(q.readIndex, 3);
        EXPECT_EQ(q.writeIndex, 3);
    }

    q.Push("d"); // slot 3
    q.Push("e"); // wraps to slot 0
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.writeIndex, 1);
    EXPECT_EQ(PopString(q), "d");
    EXPECT_EQ(PopString(q), "e");
    EXPECT_EQ(q.status, Ok);
    EXPECT_EQ(q.readIndex, 1);
    q.Free();
}

// ---- by-value copies, as the drop handler makes ----

TEST(FolderQueueCopy, CopiedRecordPopsTheQueuedPathsAndIsFreedThroughTheCopy) {
    FolderQueue pending{}; // stands in for the process-wide record
    {
        FolderQueue local = FolderQueue::Create(3);
        ASSERT_EQ(local.status, Ok);
        local.Push("D:\\photos");
        local.Push("D:\\music");
        pending = local; // whole-record copy; local goes out of scope unfreed
    }

    EXPECT_EQ(pending.count, 2);
    EXPECT_EQ(pending.capacity, 3);
    EXPECT_EQ(PopString(pending), "D:\\photos");
    EXPECT_EQ(PopString(pending), "D:\\music");
    EXPECT_EQ(PopString(pending), "");
    EXPECT_EQ(pending.status, Empty);

    pending.Free();
    EXPECT_EQ(pending.storage, nullptr);
}

TEST(FolderQueueCopy, CopySharesSlotsButKeepsItsOwnIndices) {
    FolderQueue original = FolderQueue::Create(2);
    ASSERT_EQ(original.status, Ok);
    original.Push("x");
    FolderQueue copy = original;

    EXPECT_EQ(copy.storage, original.storage);
    EXPECT_EQ(PopString(copy), "x");
    EXPECT_EQ(copy.count, 0);
    EXPECT_EQ(original.count, 1); // the original's bookkeeping is untouched

    copy.Free(); // only one of the two may release the shared storage
    EXPECT_EQ(copy.storage, nullptr);
}
