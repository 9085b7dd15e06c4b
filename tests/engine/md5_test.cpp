// MD5 digestor: RFC 1321 vectors, boundary lengths, splits, and OpenSSL as oracle.
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

TEST(Md5, Rfc1321TestSuite) {
    const Vector suite[] = {
        {"RFC 1321 #1", "", "d41d8cd98f00b204e9800998ecf8427e"},
        {"RFC 1321 #2", "a", "0cc175b9c0f1b6a831c399e269772661"},
        {"RFC 1321 #3", "abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"RFC 1321 #4", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"RFC 1321 #5", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"RFC 1321 #6", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"RFC 1321 #7", Repeat("1234567890", 8), "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Vector& v : suite)
        EXPECT_EQ(DigestOf(DigestMD5, v.message), v.digest) << v.name;
}

TEST(Md5, MillionLetterA) {
    // Published test vector (NESSIE set 1, "a" repeated 10^6 times), fed as the hash job does.
    const std::string million(1000000, 'a');
    EXPECT_EQ(DigestOf(DigestMD5, Bytes(million), million.size(), 1024), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, NewDigestorNeedsNoReset) {
    DigestorRef d(DigestMD5);
    d->Update(Bytes("abc"), 3);
    d->Finish();
    EXPECT_EQ(d->DigestText(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, UpdateAfterFinishIsIgnored) {
    DigestorRef d(DigestMD5);
    d->Reset();
    d->Update(Bytes("abc"), 3);
    d->Finish();
    d->Update(Bytes("def"), 3);
    EXPECT_EQ(d->DigestText(), "900150983cd24fb0d6963f7d28e17f72");
    d->Finish();
    EXPECT_EQ(d->DigestText(), "900150983cd24fb0d6963f7d28e17f72");
}

#ifdef DIGESTOR_WITH_OPENSSL

TEST(Md5, BitCountCarriesPastTwoToThe32Bits) {
    // 513 MiB: the low word of the bit count wraps once, the high word takes the carry.
    const std::vector<uint8_t> chunk = RandomBytes(1 << 20, 3);
    DigestorRef d(DigestMD5);
    OpenSslDigest oracle("MD5");
    d->Reset();
    for (int i = 0; i < 513; ++i) {
        d->Update(chunk.data(), uint32_t(chunk.size()));
        oracle.Update(chunk.data(), chunk.size());
    }
    d->Update(chunk.data(), 77);
    oracle.Update(chunk.data(), 77);
    d->Finish();
    EXPECT_EQ(d->DigestText(), oracle.Hex());
}

#endif

} // namespace
