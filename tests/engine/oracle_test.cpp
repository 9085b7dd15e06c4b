// Every algorithm against an independent oracle: all lengths up to 200 (which
// covers the padding boundaries 55, 56, 63, 64, 65, 127, 128) and random
// messages in random splits. MD4 and MD5 use OpenSSL where the build has it,
// MD2 a one-shot implementation, the CRC its bit-by-bit definition.
#include <gtest/gtest.h>

#include "tests/engine/digest_helpers.h"
#ifdef DIGESTOR_WITH_OPENSSL
#include "tests/engine/openssl_oracle.h"
#endif

namespace {

// Empty when this build has no oracle for the kind.
std::string Oracle(DigestKind kind, const uint8_t* data, size_t size) {
    switch (kind) {
    case DigestMD2:
        return OneShotMd2(data, size);
    case DigestCRC32:
        return Hex32(BitwiseCrc(data, size));
#ifdef DIGESTOR_WITH_OPENSSL
    case DigestMD4:
        return OpenSslHex("MD4", data, size);
    case DigestMD5:
        return OpenSslHex("MD5", data, size);
#endif
    default:
        return std::string();
    }
}

class OracleTest : public ::testing::TestWithParam<DigestKind> {
protected:
    void SetUp() override {
        if (Oracle(GetParam(), nullptr, 0).empty())
            GTEST_SKIP() << "no oracle for this algorithm in this build";
    }
};

TEST_P(OracleTest, EveryLengthUpTo200) {
    const std::vector<uint8_t> data = RandomBytes(200, 100 + uint32_t(GetParam()));
    DigestorRef d(GetParam());
    for (size_t n = 0; n <= 200; ++n)
        ASSERT_EQ(DigestInPieces(d.get(), data.data(), n, 0), Oracle(GetParam(), data.data(), n))
            << "length " << n;
}

TEST_P(OracleTest, BoundaryLengthsInPieces) {
    const std::vector<uint8_t> data = RandomBytes(128, 7);
    DigestorRef d(GetParam());
    for (size_t n : {size_t(55), size_t(56), size_t(63), size_t(64), size_t(65), size_t(127), size_t(128)})
        for (size_t piece : {size_t(1), size_t(7), size_t(16), size_t(55), size_t(64)})
            EXPECT_EQ(DigestInPieces(d.get(), data.data(), n, piece), Oracle(GetParam(), data.data(), n))
                << "length " << n << " in pieces of " << piece;
}

TEST_P(OracleTest, RandomMessagesInRandomSplits) {
    std::mt19937 rng(1234 + uint32_t(GetParam()));
    DigestorRef d(GetParam());
    // MD2 is slow by design (864 dependent look-ups per 16 bytes): keep its messages shorter.
    const size_t largest = GetParam() == DigestMD2 ? size_t(1) << 16 : size_t(1) << 20;
    for (int round = 0; round < 6; ++round) {
        const size_t size = std::uniform_int_distribution<size_t>(0, largest)(rng);
        const std::vector<uint8_t> data = RandomBytes(size, uint32_t(round));
        EXPECT_EQ(DigestInRandomPieces(d.get(), data.data(), size, rng, 5000),
                  Oracle(GetParam(), data.data(), size))
            << "size " << size;
    }
}

INSTANTIATE_TEST_SUITE_P(AllAlgorithms, OracleTest,
                         ::testing::Values(DigestMD2, DigestMD4, DigestMD5, DigestCRC32),
                         [](const ::testing::TestParamInfo<DigestKind>& info) {
                             return std::string(KindName(info.param));
                         });

} // namespace
