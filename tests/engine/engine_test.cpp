// The digest engine: published vectors, independent oracles, splits and lifecycle.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <tuple>

#include "engine/cpu_features.h"
#include "tests/engine/oracles.h"

namespace {

const DigestKind Kinds[] = {DigestMD2,  DigestMD4,    DigestMD5,    DigestCRC32,
                            DigestSHA1, DigestSHA256, DigestSHA512, DigestZipCRC32};
const char* const Names[] = {"MD2", "MD4", "MD5", "CRC32", "SHA1", "SHA256", "SHA512", "ZipCRC32"};

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
std::string DigestOf(DigestKind k, const std::string& m) {
    return Feed(DigestorHolder(k).Get(), Bytes(m), m.size());
}

// 64 KiB and 13 bytes of fixed pseudo-random data.
const std::vector<uint8_t> Data = [] {
    std::vector<uint8_t> v(65536 + 13);
    std::mt19937 rng(7);
    std::generate(v.begin(), v.end(), [&] { return uint8_t(rng()); });
    return v;
}();

// The tests below run once with the SHA extensions (where the processor has them) and once more for the
// SHAs with the portable code.
class EngineOnShaPath : public testing::TestWithParam<bool> {
protected:
    bool Skipped(DigestKind kind) const { return GetParam() && (kind < DigestSHA1 || kind > DigestSHA512); }

    void SetUp() override {
        if (!GetParam() && !CpuHasShaExtensions())
            GTEST_SKIP() << "no SHA extensions on this processor";
        ForcePortableSha(GetParam());
    }
    void TearDown() override { ForcePortableSha(false); }
};
INSTANTIATE_TEST_SUITE_P(Engine, EngineOnShaPath, testing::Bool(), [](const testing::TestParamInfo<bool>& p) {
    return p.param ? "Portable" : "ShaExtensions";
});

// The CRC is zlib's crc32 started from ffffffff and inverted; its rows and the 513 MiB rows (which carry
// the MD4 and MD5 length counts into their high words) were computed with Python's zlib and openssl.
TEST_P(EngineOnShaPath, PublishedVectors) {
    const std::string alnum = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const std::string million(1000000, 'a'), mebibyte(1 << 20, 'a');
    const std::string fips448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string fips896 =
        "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
        "mnopqrstnopqrstu";
    const std::tuple<const char*, DigestKind, std::string, int, const char*> vectors[] = {
        {"RFC 1319 #1", DigestMD2, "", 1, "8350e5a3e24c153df2275c9f80692773"},
        {"RFC 1319 #2", DigestMD2, "a", 1, "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
        {"RFC 1319 #3", DigestMD2, "abc", 1, "da853b0d3f88d99b30283a69e6ded6bb"},
        {"RFC 1319 #4", DigestMD2, "message digest", 1, "ab4f496bfb2a530b219ff33031fe06b0"},
        {"RFC 1319 #5", DigestMD2, "abcdefghijklmnopqrstuvwxyz", 1, "4e8ddff3650292ab5a4108c3aa47940b"},
        {"RFC 1319 #6", DigestMD2, alnum, 1, "da33def2a42df13975352846c30338cd"},
        {"RFC 1319 #7", DigestMD2, "1234567890", 8, "d5976f79d83d3a0dc9806c3c66f3efd8"},
        {"RFC 1320 #1", DigestMD4, "", 1, "31d6cfe0d16ae931b73c59d7e0c089c0"},
        {"RFC 1320 #2", DigestMD4, "a", 1, "bde52cb31de33e46245e05fbdbd6fb24"},
        {"RFC 1320 #3", DigestMD4, "abc", 1, "a448017aaf21d8525fc10ae87aa6729d"},
        {"RFC 1320 #4", DigestMD4, "message digest", 1, "d9130a8164549fe818874806e1c7014b"},
        {"RFC 1320 #5", DigestMD4, "abcdefghijklmnopqrstuvwxyz", 1, "d79e1c308aa5bbcdeea8ed63df412da9"},
        {"RFC 1320 #6", DigestMD4, alnum, 1, "043f8582f241db351ce627e153e7f0e4"},
        {"RFC 1320 #7", DigestMD4, "1234567890", 8, "e33b4ddc9c38f2199c3e7b164fcc0536"},
        {"million a", DigestMD4, million, 1, "bbce80cc6bb65e5c6745e30d4eeca9a4"},
        {"openssl 513 MiB of a", DigestMD4, mebibyte, 513, "0bb89f86b5d97db61852b6d676e45630"},
        {"RFC 1321 #1", DigestMD5, "", 1, "d41d8cd98f00b204e9800998ecf8427e"},
        {"RFC 1321 #2", DigestMD5, "a", 1, "0cc175b9c0f1b6a831c399e269772661"},
        {"RFC 1321 #3", DigestMD5, "abc", 1, "900150983cd24fb0d6963f7d28e17f72"},
        {"RFC 1321 #4", DigestMD5, "message digest", 1, "f96b697d7cb7938d525a2f31aaf161d0"},
        {"RFC 1321 #5", DigestMD5, "abcdefghijklmnopqrstuvwxyz", 1, "c3fcd3d76192e4007dfb496cca67e13b"},
        {"RFC 1321 #6", DigestMD5, alnum, 1, "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"RFC 1321 #7", DigestMD5, "1234567890", 8, "57edf4a22be3c955ac49da2e2107b67a"},
        {"NESSIE million a", DigestMD5, million, 1, "7707d6ae4e027c70eea2a935c2296f21"},
        {"openssl 513 MiB of a", DigestMD5, mebibyte, 513, "f0abebcac19eb4914e7cb04084dd54a6"},
        {"zlib empty", DigestCRC32, "", 1, "00000000"},
        {"zlib abc", DigestCRC32, "abc", 1, "ca6598d0"},
        {"zlib check", DigestCRC32, "123456789", 1, "2dfd2d88"},
        {"zlib million a", DigestCRC32, million, 1, "ce5c7422"},
        {"FIPS 180-4 SHA-1 abc", DigestSHA1, "abc", 1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"FIPS 180-4 SHA-1 448 bits", DigestSHA1, fips448, 1, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"FIPS 180-2 SHA-1 million a", DigestSHA1, million, 1, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {"FIPS 180-4 SHA-256 abc", DigestSHA256, "abc", 1,
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"FIPS 180-4 SHA-256 448 bits", DigestSHA256, fips448, 1,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"FIPS 180-2 SHA-256 million a", DigestSHA256, million, 1,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {"FIPS 180-4 SHA-512 abc", DigestSHA512, "abc", 1,
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
         "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {"FIPS 180-4 SHA-512 896 bits", DigestSHA512, fips896, 1,
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
         "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
        {"FIPS 180-2 SHA-512 million a", DigestSHA512, million, 1,
         "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
         "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
        {"zlib empty", DigestZipCRC32, "", 1, "00000000"},
        {"zlib abc", DigestZipCRC32, "abc", 1, "352441c2"},
        {"CRC catalogue CRC-32/ISO-HDLC check", DigestZipCRC32, "123456789", 1, "cbf43926"},
        {"zlib million a", DigestZipCRC32, million, 1, "dc25bfbc"},
    };
    for (const auto& [source, kind, text, repeat, digest] : vectors) {
        if (Skipped(kind))
            continue;
        DigestorHolder d(kind);
        for (int i = 0; i < repeat; ++i)
            d->Update(Bytes(text), uint32_t(text.size()));
        d->Finish();
        EXPECT_EQ(d->DigestText(), digest) << source;
    }
}

TEST_P(EngineOnShaPath, RandomDataInAnySplitMatchesTheOracles) {
    const std::vector<std::vector<size_t>> splits = {
        {1}, {15}, {16}, {17}, {63}, {64}, {65}, {0, 5, 0, 7}, {64, 1, 63, 128}, {1024}};
    for (DigestKind kind : Kinds) {
        if (Skipped(kind))
            continue;
        DigestorHolder d(kind);
        // MD4, MD5 and the SHAs have an oracle in the native build only (OpenSSL): elsewhere the splits
        // and the next test still count. Lengths 0 to 200 cross every padding boundary (55/56, 111/112).
        const bool oracle = !Oracle(kind, Data.data(), 0).empty();
        for (size_t n = 0; oracle && n <= Data.size(); n += n < 200 ? 1 : Data.size() - 200) // 0..200, all
            ASSERT_EQ(Feed(d.Get(), Data.data(), n), Oracle(kind, Data.data(), n)) << Names[kind] << " " << n;
        const std::string whole = Feed(d.Get(), Data.data(), Data.size());
        for (size_t i = 0; i < splits.size(); ++i)
            EXPECT_EQ(Feed(d.Get(), Data.data(), Data.size(), splits[i]), whole)
                << Names[kind] << " split " << i;
    }
}

// Without OpenSSL (Windows) the SHA-extension path is held against the portable one.
TEST(Engine, ShaPathsAgree) {
    if (!CpuHasShaExtensions())
        GTEST_SKIP() << "no SHA extensions on this processor";
    for (DigestKind kind : {DigestSHA1, DigestSHA256}) {
        ForcePortableSha(true);
        DigestorHolder portable(kind);
        ForcePortableSha(false);
        DigestorHolder extensions(kind);
        for (size_t n = 0; n <= Data.size(); n += n < 200 ? 1 : Data.size() - 200)
            ASSERT_EQ(Feed(extensions.Get(), Data.data(), n, {77}), Feed(portable.Get(), Data.data(), n))
                << Names[kind] << " " << n;
    }
}

// Kinds beyond the table's ends are MD5.
TEST(Engine, OtherKindsAreMD5) {
    for (DigestKind kind : {INT32_MIN, -1, 8, 1000, INT32_MAX})
        EXPECT_EQ(DigestOf(kind, "abc"), DigestOf(DigestMD5, "abc")) << kind;
}

TEST(Engine, Lifecycle) {
    // Calls: R Reset, F Finish, J 1003 random bytes (part of a block left), other words: Update with the
    // word. Expected: the digest of a message by a fresh digestor (the CRC's given apart), nullptr for "".
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"abc F", "abc", "abc"},        // a new digestor needs no Reset
        {"", nullptr, nullptr},         // nor has it a text
        {"R abc", nullptr, nullptr},    // no text while collecting
        {"J R abc F", "abc", "abc"},    // Reset drops a partial message
        {"J F R abc F", "abc", "abc"},  // and reuses a finished digestor
        {"abc F R", nullptr, nullptr},  // and clears the text
        {"abc F F", "abc", "abc"},      // Finish twice
        {"abc F def", "abc", "abcdef"}, // Update after Finish: only the CRC's register takes it
    };
    for (DigestKind kind : Kinds)
        for (const auto& [calls, message, crcMessage] : cases) {
            DigestorHolder d(kind);
            std::istringstream words(calls);
            for (std::string w; words >> w;)
                w == "R"   ? d->Reset()
                : w == "F" ? d->Finish()
                : w == "J" ? d->Update(Data.data(), 1003)
                           : d->Update(Bytes(w), uint32_t(w.size()));
            const char* m = kind == DigestCRC32 ? crcMessage : message;
            EXPECT_EQ(d->DigestText(), m ? DigestOf(kind, m) : "") << Names[kind] << ": " << calls;
        }
}

} // namespace
