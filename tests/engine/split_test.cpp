// How a message is split into Update calls never changes its digest; a
// digestor reused after Reset digests the next message alone.
#include <gtest/gtest.h>

#include "tests/engine/digest_helpers.h"

namespace {

class SplitTest : public ::testing::TestWithParam<DigestKind> {};

TEST_P(SplitTest, FixedPieceSizesGiveTheOneCallDigest) {
    const size_t size = (size_t(1) << 20) + 13; // 1 MiB and a ragged end
    const std::vector<uint8_t> data = RandomBytes(size, 77);
    DigestorRef d(GetParam());
    const std::string whole = DigestInPieces(d.get(), data.data(), size, 0);
    ASSERT_EQ(whole.size(), GetParam() == DigestCRC32 ? 8u : 32u);
    for (size_t piece : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(1024)})
        EXPECT_EQ(DigestInPieces(d.get(), data.data(), size, piece), whole) << "pieces of " << piece;
}

TEST_P(SplitTest, RandomPieceSizesGiveTheOneCallDigest) {
    std::mt19937 rng(99);
    DigestorRef d(GetParam());
    for (size_t size : {size_t(0), size_t(1), size_t(100), size_t(4099), size_t(1) << 20}) {
        const std::vector<uint8_t> data = RandomBytes(size, uint32_t(size));
        const std::string whole = DigestInPieces(d.get(), data.data(), size, 0);
        for (size_t maxPiece : {size_t(3), size_t(200), size_t(70000)})
            EXPECT_EQ(DigestInRandomPieces(d.get(), data.data(), size, rng, maxPiece), whole)
                << "size " << size << ", pieces up to " << maxPiece;
    }
}

TEST_P(SplitTest, EmptyUpdatesChangeNothing) {
    DigestorRef d(GetParam());
    const std::string abc = DigestOf(GetParam(), "abc");
    d->Reset();
    d->Update(Bytes("a"), 1);
    d->Update(Bytes("x"), 0);
    d->Update(nullptr, 0);
    d->Update(Bytes("bc"), 2);
    d->Update(nullptr, 0);
    d->Finish();
    EXPECT_EQ(d->DigestText(), abc);
}

TEST_P(SplitTest, ReuseAfterResetDigestsTheNextMessageAlone) {
    DigestorRef d(GetParam());
    const std::vector<uint8_t> first = RandomBytes(1000 + 3, 5);
    const std::string expected = DigestOf(GetParam(), "message digest");
    for (size_t cut : {size_t(1), size_t(15), size_t(63), size_t(1003)}) {
        // Leave a partial block behind, finished or not, then start again.
        d->Reset();
        d->Update(first.data(), uint32_t(cut));
        if (cut % 2)
            d->Finish();
        EXPECT_EQ(DigestInPieces(d.get(), Bytes("message digest"), 14, 0), expected) << "after " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(AllAlgorithms, SplitTest,
                         ::testing::Values(DigestMD2, DigestMD4, DigestMD5, DigestCRC32),
                         [](const ::testing::TestParamInfo<DigestKind>& info) {
                             return std::string(KindName(info.param));
                         });

} // namespace
