// The factory, reference counting and the behaviour of each class outside
// the usual calling order. Allocations are counted by replacing the global
// operator new of this test binary.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/engine/digest_helpers.h"

namespace {

// Counting is switched on only inside a test's measured section, and only
// for the thread that switched it on.
thread_local bool Counting = false;
thread_local long LiveBlocks = 0;
thread_local long Allocations = 0;
thread_local long FailAtAllocation = 0; // 1-based; 0 never fails

void* CountedAllocate(std::size_t size) {
    if (Counting) {
        ++Allocations;
        if (Allocations == FailAtAllocation)
            throw std::bad_alloc();
        ++LiveBlocks;
    }
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void CountedFree(void* p) {
    if (p && Counting)
        --LiveBlocks;
    std::free(p);
}

class AllocationCounter {
public:
    explicit AllocationCounter(long failAt = 0) {
        LiveBlocks = 0;
        Allocations = 0;
        FailAtAllocation = failAt;
        Counting = true;
    }
    ~AllocationCounter() { Counting = false; }
    long Live() const { return LiveBlocks; }
    long Made() const { return Allocations; }
};

} // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }

struct RefCountProbe {
    static int32_t Count(IDigestor* d) { return static_cast<IRefCount*>(d)->m_refCount; }
};

namespace {

const DigestKind AllKinds[] = {DigestMD2, DigestMD4, DigestMD5, DigestCRC32};

// Which class the factory made, told apart by the digest of abc.
std::string AbcDigest(IDigestor* d) { return DigestInPieces(d, Bytes("abc"), 3, 0); }

const char* const AbcMD2 = "da853b0d3f88d99b30283a69e6ded6bb";
const char* const AbcMD4 = "a448017aaf21d8525fc10ae87aa6729d";
const char* const AbcMD5 = "900150983cd24fb0d6963f7d28e17f72";
const char* const AbcCRC = "ca6598d0";

TEST(Factory, MapsEveryKindToItsClass) {
    struct Case {
        DigestKind kind;
        const char* abc;
    } cases[] = {{0, AbcMD2},   {1, AbcMD4},  {2, AbcMD5},         {3, AbcCRC},        {4, AbcMD5},
                 {100, AbcMD5}, {-1, AbcMD5}, {INT32_MIN, AbcMD5}, {INT32_MAX, AbcMD5}};
    for (const Case& c : cases) {
        IDigestor* d = CreateDigestor(c.kind);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(AbcDigest(d), c.abc) << "kind " << c.kind;
        d->Release();
    }
}

TEST(RefCount, NewDigestorHasCountOneAndOneReleaseFreesEverything) {
    // MD2 and MD4 own a separate state block: two blocks live, both freed by Release.
    const long expectedBlocks[] = {2, 2, 1, 1};
    for (DigestKind kind : AllKinds) {
        AllocationCounter counter;
        IDigestor* d = CreateDigestor(kind);
        EXPECT_EQ(RefCountProbe::Count(d), 1) << "kind " << kind;
        EXPECT_EQ(counter.Live(), expectedBlocks[kind]) << "kind " << kind;
        d->Release();
        EXPECT_EQ(counter.Live(), 0) << "kind " << kind;
    }
}

TEST(RefCount, FailedAllocationLeavesNothingBehind) {
    // Fail the object itself, then (MD2, MD4) the state block after the object.
    for (DigestKind kind : AllKinds) {
        const long blocks = (kind == DigestMD2 || kind == DigestMD4) ? 2 : 1;
        for (long failAt = 1; failAt <= blocks; ++failAt) {
            AllocationCounter counter(failAt);
            EXPECT_THROW(CreateDigestor(kind), std::bad_alloc)
                << "kind " << kind << ", allocation " << failAt;
            EXPECT_EQ(counter.Live(), 0) << "kind " << kind << ", allocation " << failAt;
        }
    }
}

TEST(RefCount, ResetUpdateAndFinishDoNotAllocate) {
    const std::vector<uint8_t> data = RandomBytes(5000, 6);
    for (DigestKind kind : AllKinds) {
        DigestorRef d(kind);
        AllocationCounter counter;
        for (int round = 0; round < 3; ++round) {
            d->Reset();
            d->Update(data.data(), 1);
            d->Update(data.data(), 1024);
            d->Update(data.data(), uint32_t(data.size()));
            d->Finish();
            d->Finish();
            d->Update(data.data(), 100);
        }
        EXPECT_EQ(counter.Made(), 0) << "kind " << kind;
    }
}

TEST(RefCount, DigestTextBelongsToTheCaller) {
    for (DigestKind kind : AllKinds) {
        DigestorRef d(kind);
        AbcDigest(d.get());
        std::string text = d->DigestText();
        text[0] = 'X';
        EXPECT_NE(d->DigestText(), text) << "kind " << kind;
        EXPECT_EQ(d->DigestText(), d->DigestText()) << "kind " << kind;
    }
}

class LifecycleTest : public ::testing::TestWithParam<DigestKind> {};

TEST_P(LifecycleTest, TextIsEmptyWhileCollecting) {
    DigestorRef d(GetParam());
    d->Reset();
    EXPECT_EQ(d->DigestText(), "");
    d->Update(Bytes("abc"), 3);
    EXPECT_EQ(d->DigestText(), "");
}

TEST_P(LifecycleTest, FinishTwiceGivesTheSameText) {
    DigestorRef d(GetParam());
    const std::string once = AbcDigest(d.get());
    d->Finish();
    EXPECT_EQ(d->DigestText(), once);
}

TEST_P(LifecycleTest, SplitAsAThenBcGivesTheSameText) {
    DigestorRef d(GetParam());
    const std::string whole = AbcDigest(d.get());
    d->Reset();
    d->Update(Bytes("a"), 1);
    d->Update(Bytes("bc"), 2);
    d->Finish();
    EXPECT_EQ(d->DigestText(), whole);
}

TEST_P(LifecycleTest, UpdateAfterFinish) {
    DigestorRef d(GetParam());
    const std::string abc = AbcDigest(d.get());
    d->Update(Bytes("def"), 3);
    // Only the CRC keeps taking bytes into its live register.
    EXPECT_EQ(d->DigestText(), GetParam() == DigestCRC32 ? std::string("fa4c984c") : abc);
}

TEST_P(LifecycleTest, ResetOnAFinishedDigestorStartsANewMessage) {
    DigestorRef d(GetParam());
    AbcDigest(d.get());
    d->Reset();
    EXPECT_EQ(d->DigestText(), "");
    d->Update(Bytes(""), 0);
    d->Finish();
    EXPECT_EQ(d->DigestText(), DigestOf(GetParam(), ""));
}

TEST_P(LifecycleTest, NewDigestorWithoutResetDigestsLikeAfterReset) {
    DigestorRef d(GetParam());
    d->Update(Bytes("abc"), 3);
    d->Finish();
    EXPECT_EQ(d->DigestText(), DigestOf(GetParam(), "abc"));
}

TEST_P(LifecycleTest, EmptyMessage) {
    const char* expected[] = {"8350e5a3e24c153df2275c9f80692773", "31d6cfe0d16ae931b73c59d7e0c089c0",
                              "d41d8cd98f00b204e9800998ecf8427e", "00000000"};
    EXPECT_EQ(DigestOf(GetParam(), ""), expected[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(AllAlgorithms, LifecycleTest, ::testing::ValuesIn(AllKinds),
                         [](const ::testing::TestParamInfo<DigestKind>& info) {
                             return std::string(KindName(info.param));
                         });

} // namespace
