// MD4 digestor: RFC 1320 vectors, padding boundaries, byte counting, lifecycle.
#include <gtest/gtest.h>

#include "tests/engine/digest_helpers.h"
#ifdef DIGESTOR_WITH_OPENSSL
#include "tests/engine/openssl_oracle.h"
#endif

namespace {

struct Vector {
    const char* name;
    std::string message;
    const char* digest;
};

TEST(Md4, Rfc1320TestSuite) {
    const Vector suite[] = {
        {"RFC 1320 #1", "", "31d6cfe0d16ae931b73c59d7e0c089c0"},
        {"RFC 1320 #2", "a", "bde52cb31de33e46245e05fbdbd6fb24"},
        {"RFC 1320 #3", "abc", "a448017aaf21d8525fc10ae87aa6729d"},
        {"RFC 1320 #4", "message digest", "d9130a8164549fe818874806e1c7014b"},
        {"RFC 1320 #5", "abcdefghijklmnopqrstuvwxyz", "d79e1c308aa5bbcdeea8ed63df412da9"},
        {"RFC 1320 #6", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "043f8582f241db351ce627e153e7f0e4"},
        {"RFC 1320 #7", Repeat("1234567890", 8), "e33b4ddc9c38f2199c3e7b164fcc0536"},
    };
    for (const Vector& v : suite)
        EXPECT_EQ(DigestOf(DigestMD4, v.message), v.digest) << v.name;
}

TEST(Md4, MillionLetterA) {
    // Published test vector ("a" repeated 10^6 times), fed as the hash job does.
    const std::string million(1000000, 'a');
    EXPECT_EQ(DigestOf(DigestMD4, Bytes(million), million.size(), 1024), "bbce80cc6bb65e5c6745e30d4eeca9a4");
}

TEST(Md4, UpdateAfterFinishKeepsTheDigestUntilReset) {
    DigestorRef d(DigestMD4);
    d->Reset();
    d->Update(Bytes("abc"), 3);
    d->Finish();
    // The bytes enter the state block, which Reset cleans again.
    const std::vector<uint8_t> more = RandomBytes(300, 1);
    d->Update(more.data(), uint32_t(more.size()));
    EXPECT_EQ(d->DigestText(), "a448017aaf21d8525fc10ae87aa6729d");
    d->Finish();
    EXPECT_EQ(d->DigestText(), "a448017aaf21d8525fc10ae87aa6729d");
    d->Reset();
    EXPECT_EQ(d->DigestText(), "");
    d->Update(Bytes("message digest"), 14);
    d->Finish();
    EXPECT_EQ(d->DigestText(), "d9130a8164549fe818874806e1c7014b");
}

#ifdef DIGESTOR_WITH_OPENSSL

TEST(Md4, ByteCountCarriesPastTwoToThe29Bytes) {
    // 513 MiB: the low count wraps at 2^29 bytes and the high count takes the carry.
    const std::vector<uint8_t> chunk = RandomBytes(1 << 20, 4);
    DigestorRef d(DigestMD4);
    OpenSslDigest oracle("MD4");
    d->Reset();
    for (int i = 0; i < 513; ++i) {
        d->Update(chunk.data(), uint32_t(chunk.size()));
        oracle.Update(chunk.data(), chunk.size());
    }
    d->Update(chunk.data(), 9);
    oracle.Update(chunk.data(), 9);
    d->Finish();
    EXPECT_EQ(d->DigestText(), oracle.Hex());
}

#endif

} // namespace
