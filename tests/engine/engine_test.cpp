// The digest engine: published vectors, independent oracles, splits and lifecycle.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <tuple>

#include "engine/cpu_features.h"
#include "tests/engine/oracles.h"

namespace {

const DigestKind Kinds[] = {DigestMD2,    DigestMD4,    DigestMD5,      DigestCRC32,    DigestSHA1,
                            DigestSHA256, DigestSHA512, DigestZipCRC32, DigestSHA3_256, DigestSHA3_512,
                            DigestBLAKE3, DigestXXH3,   DigestXXH128};
const char* const Names[] = {"MD2",      "MD4",      "MD5",      "CRC32",  "SHA1", "SHA256", "SHA512",
                             "ZipCRC32", "SHA3-256", "SHA3-512", "BLAKE3", "XXH3", "XXH128"};
const VectorLevel Levels[] = {VectorLevel::Portable, VectorLevel::Sse2, VectorLevel::Sse41, VectorLevel::Avx2,
                              VectorLevel::Avx512};
const char* const LevelNames[] = {"portable", "SSE2", "SSE4.1", "AVX2", "AVX-512"};

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

// splitmix64 from a fixed seed, each word little-end first: easy to make again outside C++ (the bench's
// buffer is made the same way), so the reference tools can digest the same bytes.
std::string SplitMixBytes(size_t n) {
    std::string bytes;
    for (uint64_t state = 0x4469676573746F72; bytes.size() < n;) {
        uint64_t z = state += 0x9E3779B97F4A7C15;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        z ^= z >> 31;
        for (int i = 0; i < 8 && bytes.size() < n; ++i)
            bytes += char(z >> (8 * i));
    }
    return bytes;
}

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
        {"FIPS 202 SHA3-256 empty", DigestSHA3_256, "", 1,
         "a7ffc6f8bf1ed76651c14756a061d662f580ff4de43b49fa82d80a4b80f8434a"},
        {"FIPS 202 SHA3-256 abc", DigestSHA3_256, "abc", 1,
         "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"},
        {"NIST SHA3-256 1600 bits of a3", DigestSHA3_256, "\xa3", 200,
         "79f38adec5c20307a98ef76e8324afbfd46cfd81b22e3973c65fa1bd9de31787"},
        {"FIPS 202 SHA3-512 empty", DigestSHA3_512, "", 1,
         "a69f73cca23a9ac5c8b567dc185a756e97c982164fe25859e0d1dcc1475c80a6"
         "15b2123af1f5f94c11e3e9402c3ac558f500199d95b6d3e301758586281dcd26"},
        {"FIPS 202 SHA3-512 abc", DigestSHA3_512, "abc", 1,
         "b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d0240d2712e"
         "10e116e9192af3c91a7ec57647e3934057340b4cf408d5a56592f8274eec53f0"},
        {"NIST SHA3-512 1600 bits of a3", DigestSHA3_512, "\xa3", 200,
         "e76dfad22084a8b1467fcf2ffa58361bec7628edf5f3fdc0e4805dc48caeeca8"
         "1b7c13c30adf52a3659584739a2df46be589c51ca1a4a8416df6545a1ce8ba00"},
        {"xxhsum -H3 empty", DigestXXH3, "", 1, "2d06800538d394c2"},
        {"xxhsum -H3 abc", DigestXXH3, "abc", 1, "78af5f94892f3950"},
        {"xxhsum -H2 empty", DigestXXH128, "", 1, "99aa06d3014798d86001c324468d497f"},
        {"xxhsum -H2 abc", DigestXXH128, "abc", 1, "06b05ab6733a618578af5f94892f3950"},
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
        {1},    {15},      {16},       {17},    {63},   {64}, {65}, {0, 5, 0, 7}, {64, 1, 63, 128},
        {1024}, {71, 137}, {240, 241}, {16385}, {16383}};
    for (DigestKind kind : Kinds) {
        if (Skipped(kind))
            continue;
        DigestorHolder d(kind);
        // MD4, MD5 and the SHAs have an oracle in the native build only (OpenSSL): elsewhere the splits
        // and the next test still count. Lengths 0 to 200 cross every padding boundary (55/56, 111/112) and
        // SHA-3's rates (72 and 136 bytes).
        const bool oracle = !Oracle(kind, Data.data(), 0).empty();
        for (size_t n = 0; oracle && n <= Data.size(); n += n < 200 ? 1 : Data.size() - 200) // 0..200, all
            ASSERT_EQ(Feed(d.Get(), Data.data(), n), Oracle(kind, Data.data(), n)) << Names[kind] << " " << n;
        const std::string whole = Feed(d.Get(), Data.data(), Data.size());
        for (size_t i = 0; i < splits.size(); ++i)
            EXPECT_EQ(Feed(d.Get(), Data.data(), Data.size(), splits[i]), whole)
                << Names[kind] << " split " << i;
    }
}

// BLAKE3's published vectors (test_vectors.json of its reference) hash the bytes i % 251, i = 0, 1, ...;
// the lengths put the end at each side of 64-byte blocks, 1024-byte chunks and the tree's powers of two.
// Digests as b3sum prints them for the same bytes.
TEST(Engine, Blake3PublishedVectors) {
    const std::tuple<size_t, const char*> vectors[] = {
        {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
        {1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
        {1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
        {1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
        {1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
        {2048, "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
        {2049, "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
        {3072, "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
        {3073, "7124b49501012f81cc7f11ca069ec9226cecb8a2c850cfe644e327d22d3e1cd3"},
        {4096, "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
        {4097, "9b4052b38f1c5fc8b1f9ff7ac7b27cd242487b3d890d15c96a1c25b8aa0fb995"},
        {5120, "9cadc15fed8b5d854562b26a9536d9707cadeda9b143978f319ab34230535833"},
        {5121, "628bd2cb2004694adaab7bbd778a25df25c47b9d4155a55f8fbd79f2fe154cff"},
        {6144, "3e2e5b74e048f3add6d21faab3f83aa44d3b2278afb83b80b3c35164ebeca205"},
        {6145, "f1323a8631446cc50536a9f705ee5cb619424d46887f3c376c695b70e0f0507f"},
        {7168, "61da957ec2499a95d6b8023e2b0e604ec7f6b50e80a9678b89d2628e99ada77a"},
        {7169, "a003fc7a51754a9b3c7fae0367ab3d782dccf28855a03d435f8cfe74605e7817"},
        {8192, "aae792484c8efe4f19e2ca7d371d8c467ffb10748d8a5a1ae579948f718a2a63"},
        {8193, "bab6c09cb8ce8cf459261398d2e7aef35700bf488116ceb94a36d0f5f1b7bc3b"},
        {16384, "f875d6646de28985646f34ee13be9a576fd515f76b5b0a26bb324735041ddde4"},
        {31744, "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
        {102400, "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
    };
    std::string pattern(102400, '\0');
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = char(i % 251);
    for (VectorLevel level : Levels) {
        if (level > CpuVectorLevel())
            continue;
        LimitVectorLevel(level);
        DigestorHolder d(DigestBLAKE3);
        LimitVectorLevel(VectorLevel::Avx512);
        for (const auto& [length, digest] : vectors)
            EXPECT_EQ(Feed(d.Get(), Bytes(pattern), length), digest)
                << length << " " << LevelNames[int(level)];
    }
}

// b3sum, xxhsum -H3 and xxhsum -H2 on SplitMixBytes(length), run once on the Linux side. The lengths end
// in each of XXH3's forms (0, 1-3, 4-8, 9-16, 17-128, 129-240 bytes, then blocks of 1024 whose last
// stripe reaches back past the last block at 1088) and at BLAKE3's chunks and batches of sixteen.
TEST(Engine, ReferenceToolDigests) {
    const std::tuple<size_t, const char*, const char*, const char*> rows[] = {
        {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262", "2d06800538d394c2",
         "99aa06d3014798d86001c324468d497f"},
        {1, "ab98a5d7bcc3efb9f909866656dbdfe590ad7322c6c87aa0a966f827f887968d", "dfbaa42dc094b413",
         "f19ad3882992c6f0dfbaa42dc094b413"},
        {3, "c14512fe24ba09505529575a1cc0f9eda1953db6fd26f0dd3e63163f2aa95dcd", "c1e6cb648f6e2b55",
         "bb03aaf542d9f68ac1e6cb648f6e2b55"},
        {4, "d0b7325317bb88e309d05c487c65d4b92f808f3a040def9479a910c90af11fb9", "295a5bc8c4efd93a",
         "fad03654b897e4b0ca82ca659d76bcbb"},
        {8, "06fe5d3bb5dcdd50ff171a318727faca71eb540d754d61df50c93ad8ba46c9d4", "4bb2b8b91266340c",
         "d9b6aaefae4b9f6107c28ee965dac6ee"},
        {9, "a79e0711bf6d3bdcf047e4d2196b50557bbf07cc6a973e390943e8b21a704b44", "349b21caa84337a7",
         "5ab121d7c7e8e50ccbd3f12dfc290b15"},
        {16, "02d42ad3423cb68274e5f6eaf0d6aa7cfc4766ca4427cf3fbd38f8931b007cd4", "b7f3b35e46a06ff5",
         "30ed340b11cbf63dc35022ae54f5f97c"},
        {17, "dbe3fdb26060ed9e72f75303229d21b989e8bac6bcaa1716d9dd4f6157856ad8", "fdb795b9009353ed",
         "dea09fe47e6508f6ce94b7119b95d3b1"},
        {128, "b525e33709df0a9d83504d0920f513725f361c829938be4d29aedb38bff12251", "8758de530ce8e2af",
         "3e95828215b25cae50ec4b31049a973c"},
        {129, "bc8896b8979c755058568067a3c92bb41a6a9e1c8a2fac85ea4b441bbe8a5f6c", "d1bfb703fef64fec",
         "df42f3ce388f57233b05a2ab06836437"},
        {240, "8cbfdc4f97665aa63f98a058bf526cdfd97ccf6193f8b2640d295300db9c5265", "82fb8d8fe7b96313",
         "b099caf743c0c28ab7b0416b6473d666"},
        {241, "28230264e68714f10f639779d8322282cd2038f68934c8a0b43ed780c125334c", "b956a5e7199ae05d",
         "d9ce4ff341067932b956a5e7199ae05d"},
        {1024, "ffefd7234b8cb64bedc61a805e4b1a2e78a2cbe5eb401db5878e85cb1f36fbe9", "5ed2b8442894d70f",
         "0807a86aa13f92205ed2b8442894d70f"},
        {1025, "16a72879f1604204ae2cd0c0b9723ae5925ae4170999326ece47d17925533c0f", "b59de75be05b3cf6",
         "5eab55b1c56afcc9b59de75be05b3cf6"},
        {1088, "a4113e2aa10e4a7d923cef2388faa76e147d3482b8f5efda34b0c632d6090a4b", "9402d968b4ff85da",
         "7ff7e520c0252b609402d968b4ff85da"},
        {16384, "5a769e071bab2c34c227e57c576e87356150c7ccfd5c8cd0e500f5806d33e5d1", "b787f7546b51ad09",
         "c73411d7e702a3a6b787f7546b51ad09"},
        {16385, "3f05abdeb21991f6f5597136f31fd1f9df74ad3ae5a7f7f23bea7abef1953542", "55cab3d5a330d9ae",
         "daf04bb65c36606755cab3d5a330d9ae"},
        {17408, "8366bf1a99a2522ac4aad10f2279bd4de3e60e6cf1cf741c74bbe2551ad549e0", "7ff2b9ce2fc9a6bb",
         "7404e08f98de6ba17ff2b9ce2fc9a6bb"},
        {65549, "7c7661a428158cbfd22292bfc359efb830c3622d55379f44ae08c29a4481c407", "94d7f07d55aeb683",
         "4615f0f769e9090594d7f07d55aeb683"},
    };
    const std::string bytes = SplitMixBytes(65549);
    for (VectorLevel level : Levels) {
        if (level > CpuVectorLevel())
            continue;
        LimitVectorLevel(level);
        DigestorHolder blake3(DigestBLAKE3), xxh3(DigestXXH3), xxh128(DigestXXH128);
        LimitVectorLevel(VectorLevel::Avx512);
        for (const auto& [length, b3sum, xxh3sum, xxh128sum] : rows) {
            const char* const on = LevelNames[int(level)];
            EXPECT_EQ(Feed(blake3.Get(), Bytes(bytes), length), b3sum) << "BLAKE3 " << length << " " << on;
            EXPECT_EQ(Feed(xxh3.Get(), Bytes(bytes), length), xxh3sum) << "XXH3 " << length << " " << on;
            EXPECT_EQ(Feed(xxh128.Get(), Bytes(bytes), length), xxh128sum)
                << "XXH128 " << length << " " << on;
        }
    }
}

// Every vector path the processor has against the portable code, at every length up to 300 bytes and at
// each side of every 1024-byte chunk or block up to 40 of them, whole and in pieces of 77.
TEST(Engine, VectorPathsAgreeWithThePortableCode) {
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    for (size_t k = 1; k <= 40; ++k)
        lengths.insert(lengths.end(), {1024 * k - 1, 1024 * k, 1024 * k + 1});
    lengths.push_back(Data.size());
    for (DigestKind kind :
         {DigestSHA512, DigestSHA3_256, DigestSHA3_512, DigestBLAKE3, DigestXXH3, DigestXXH128}) {
        LimitVectorLevel(VectorLevel::Portable);
        DigestorHolder portable(kind);
        for (VectorLevel level : Levels) {
            if (level == VectorLevel::Portable || level > CpuVectorLevel())
                continue;
            LimitVectorLevel(level);
            DigestorHolder vector(kind);
            LimitVectorLevel(VectorLevel::Avx512);
            for (size_t n : lengths) {
                const std::string expected = Feed(portable.Get(), Data.data(), n);
                ASSERT_EQ(Feed(vector.Get(), Data.data(), n), expected)
                    << Names[kind] << " " << n << " " << LevelNames[int(level)];
                ASSERT_EQ(Feed(vector.Get(), Data.data(), n, {77}), expected)
                    << Names[kind] << " " << n << " " << LevelNames[int(level)];
            }
        }
    }
}

// The paths each digestor has, narrowest first (a vector path named by its level). Made with a
// processor taken for a weaker one and with a limit, a digestor must take the widest path within both:
// one above the processor's would die on a user's machine without it, though it gives the right digest
// here.
TEST(Engine, DigestorsTakeTheWidestPathWithinProcessorAndLimit) {
    const struct {
        PathUser user;
        DigestKind kind;
        std::vector<CodePath> paths;
    } rows[] = {
        {PathUser::Sha512, DigestSHA512, {CodePath::Portable, CodePath::Avx2, CodePath::Avx512}},
        {PathUser::Sha3, DigestSHA3_256, {CodePath::Portable, CodePath::Avx2}},
        {PathUser::Blake3,
         DigestBLAKE3,
         {CodePath::Portable, CodePath::Sse41, CodePath::Avx2, CodePath::Avx512}},
        {PathUser::Xxh3, DigestXXH128, {CodePath::Portable, CodePath::Sse2, CodePath::Avx2}},
    };
    const VectorLevel processor = CpuVectorLevel();
    for (VectorLevel pretended : Levels) {
        if (pretended > processor)
            continue;
        PretendVectorLevel(pretended);
        for (VectorLevel limit : Levels) {
            LimitVectorLevel(limit);
            const int within = int(pretended < limit ? pretended : limit);
            for (const auto& row : rows) {
                CodePath expected = CodePath::Portable;
                for (CodePath path : row.paths)
                    expected = int(path) <= within ? path : expected;
                std::vector<unsigned> before;
                for (CodePath path : row.paths)
                    before.push_back(CodePathCount(row.user, path));
                DigestorHolder made(row.kind);
                for (size_t k = 0; k < row.paths.size(); ++k)
                    EXPECT_EQ(CodePathCount(row.user, row.paths[k]) - before[k],
                              row.paths[k] == expected ? 1u : 0u)
                        << Names[row.kind] << " path " << int(row.paths[k]) << ", processor taken for "
                        << LevelNames[int(pretended)] << ", limit " << LevelNames[int(limit)];
            }
        }
    }
    PretendVectorLevel(VectorLevel::Avx512);
    LimitVectorLevel(VectorLevel::Avx512);
    EXPECT_EQ(CpuVectorLevel(), processor);
}

TEST(Engine, ShaExtensionsOnlyWhereTheProcessorHasThem) {
    for (bool forced : {true, false}) {
        ForcePortableSha(forced);
        for (auto [user, kind] :
             {std::pair(PathUser::Sha1, DigestSHA1), std::pair(PathUser::Sha256, DigestSHA256)}) {
            const unsigned extensions = CodePathCount(user, CodePath::ShaExtensions);
            const unsigned portable = CodePathCount(user, CodePath::Portable);
            DigestorHolder made(kind);
            const bool expected = !forced && CpuHasShaExtensions();
            EXPECT_EQ(CodePathCount(user, CodePath::ShaExtensions) - extensions, expected ? 1u : 0u)
                << Names[kind];
            EXPECT_EQ(CodePathCount(user, CodePath::Portable) - portable, expected ? 0u : 1u) << Names[kind];
        }
    }
    ForcePortableSha(false);
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
    for (DigestKind kind : {INT32_MIN, -1, 13, 1000, INT32_MAX})
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
