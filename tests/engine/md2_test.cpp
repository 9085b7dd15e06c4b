// MD2 digestor: RFC 1319 vectors, padding of whole blocks, lifecycle.
#include <gtest/gtest.h>

#include "tests/engine/digest_helpers.h"

namespace {

struct Vector {
    const char* name;
    std::string message;
    const char* digest;
};

TEST(Md2, Rfc1319TestSuite) {
    const Vector suite[] = {
        {"RFC 1319 #1", "", "8350e5a3e24c153df2275c9f80692773"},
        {"RFC 1319 #2", "a", "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
        {"RFC 1319 #3", "abc", "da853b0d3f88d99b30283a69e6ded6bb"},
        {"RFC 1319 #4", "message digest", "ab4f496bfb2a530b219ff33031fe06b0"},
        {"RFC 1319 #5", "abcdefghijklmnopqrstuvwxyz", "4e8ddff3650292ab5a4108c3aa47940b"},
        {"RFC 1319 #6", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "da33def2a42df13975352846c30338cd"},
        {"RFC 1319 #7", Repeat("1234567890", 8), "d5976f79d83d3a0dc9806c3c66f3efd8"},
    };
    for (const Vector& v : suite)
        EXPECT_EQ(DigestOf(DigestMD2, v.message), v.digest) << v.name;
}

TEST(Md2, WholeBlockMessagesGetAFullPaddingBlock) {
    // 16, 32 and 48 bytes: the padding is a whole block of sixteen 16s.
    const std::vector<uint8_t> data = RandomBytes(48, 8);
    for (size_t n : {size_t(0), size_t(16), size_t(32), size_t(48)})
        EXPECT_EQ(DigestOf(DigestMD2, data.data(), n), OneShotMd2(data.data(), n)) << n;
}

TEST(Md2, UpdateAfterFinishKeepsTheDigestUntilReset) {
    DigestorRef d(DigestMD2);
    d->Reset();
    d->Update(Bytes("abc"), 3);
    d->Finish();
    // More than a block after Finish: nothing may be written past the buffer,
    // and the digest stays fixed.
    const std::vector<uint8_t> more = RandomBytes(1000, 2);
    d->Update(more.data(), uint32_t(more.size()));
    d->Update(more.data(), 1);
    EXPECT_EQ(d->DigestText(), "da853b0d3f88d99b30283a69e6ded6bb");
    d->Finish();
    EXPECT_EQ(d->DigestText(), "da853b0d3f88d99b30283a69e6ded6bb");
    d->Reset();
    EXPECT_EQ(d->DigestText(), "");
    d->Update(Bytes("message digest"), 14);
    d->Finish();
    EXPECT_EQ(d->DigestText(), "ab4f496bfb2a530b219ff33031fe06b0");
}

TEST(Md2, ResultDoesNotDependOnTheMessageBefore) {
    DigestorRef d(DigestMD2);
    const std::vector<uint8_t> first = RandomBytes(37, 9);
    DigestInPieces(d.get(), first.data(), first.size(), 0);
    EXPECT_EQ(DigestInPieces(d.get(), Bytes("abc"), 3, 0), "da853b0d3f88d99b30283a69e6ded6bb");
}

} // namespace
