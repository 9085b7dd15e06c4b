// CRC-32 digestor (initial register 0, no final XOR): vectors, zeros, the
// live register after Finish.
#include <gtest/gtest.h>

#include "tests/engine/digest_helpers.h"

namespace {

TEST(Crc32, Vectors) {
    EXPECT_EQ(DigestOf(DigestCRC32, ""), "00000000");
    EXPECT_EQ(DigestOf(DigestCRC32, "a"), "3ab551ce");
    EXPECT_EQ(DigestOf(DigestCRC32, "abc"), "ca6598d0");
    EXPECT_EQ(DigestOf(DigestCRC32, "123456789"), "2dfd2d88"); // check value of this parameter set
    EXPECT_EQ(DigestOf(DigestCRC32, "message digest"), "f1aee4b8");
}

TEST(Crc32, ZeroBytesOfAnyLengthGiveZero) {
    const std::vector<uint8_t> zeros(5000, 0);
    for (size_t n : {size_t(1), size_t(15), size_t(16), size_t(17), size_t(1024), size_t(5000)})
        EXPECT_EQ(DigestOf(DigestCRC32, zeros.data(), n), "00000000") << n;
}

TEST(Crc32, TextKeepsLeadingZeros) {
    // Search a message whose CRC is below 0x10000000: its text must still be 8 digits.
    for (uint32_t i = 0;; ++i) {
        const std::string message = "message " + std::to_string(i);
        const uint32_t crc = BitwiseCrc(Bytes(message), message.size());
        if (crc < 0x10000000) {
            const std::string text = DigestOf(DigestCRC32, message);
            EXPECT_EQ(text.size(), 8u);
            EXPECT_EQ(text, Hex32(crc));
            EXPECT_EQ(text[0], '0');
            break;
        }
    }
}

TEST(Crc32, BytesAfterFinishEnterTheRegister) {
    DigestorRef d(DigestCRC32);
    d->Reset();
    d->Update(Bytes("abc"), 3);
    d->Finish();
    EXPECT_EQ(d->DigestText(), "ca6598d0");
    d->Finish();
    d->Update(Bytes("def"), 3);
    EXPECT_EQ(d->DigestText(), "fa4c984c"); // CRC of abcdef
    d->Reset();
    EXPECT_EQ(d->DigestText(), "");
}

TEST(Crc32, LongMessageMatchesBitwiseDefinition) {
    // Long enough for the sixteen-byte steps, with odd lengths for the tail.
    const std::vector<uint8_t> data = RandomBytes(100003, 21);
    for (size_t piece : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(17), size_t(1024)})
        EXPECT_EQ(DigestOf(DigestCRC32, data.data(), data.size(), piece),
                  Hex32(BitwiseCrc(data.data(), data.size())))
            << "pieces of " << piece;
}

} // namespace
