// Digests computed apart from the engine (a bit-by-bit CRC, a one-shot MD2, OpenSSL's MD4 and MD5),
// and feeding a digestor in pieces; shared by the engine tests and the fuzz target.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#ifdef DIGESTOR_WITH_OPENSSL
#include <openssl/evp.h>
#include <openssl/provider.h>
#endif

#include "engine/digestor.h"
#include "engine/hex_text.h"

// Reset, Update in pieces of the given sizes (repeated; none: one call), Finish.
inline std::string Feed(IDigestor* d, const uint8_t* p, size_t n, const std::vector<size_t>& pieces = {}) {
    d->Reset();
    for (size_t at = 0, i = 0, k; at < n; at += k, ++i)
        d->Update(p + at, uint32_t(k = std::min(n - at, pieces.empty() ? n : pieces[i % pieces.size()])));
    d->Finish();
    return d->DigestText();
}

inline std::string BitwiseCrc(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    const uint8_t bigEndian[4] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)};
    return HexText(bigEndian, 4);
}

// MD2 as RFC 1319 describes it: pad, append the checksum, compress the whole padded text.
inline std::string OneShotMd2(const uint8_t* p, size_t n) {
    static const uint8_t S[256] = {
        41,  46,  67,  201, 162, 216, 124, 1,   61,  54,  84,  161, 236, 240, 6,   19,  98,  167, 5,   243,
        192, 199, 115, 140, 152, 147, 43,  217, 188, 76,  130, 202, 30,  155, 87,  60,  253, 212, 224, 22,
        103, 66,  111, 24,  138, 23,  229, 18,  190, 78,  196, 214, 218, 158, 222, 73,  160, 251, 245, 142,
        187, 47,  238, 122, 169, 104, 121, 145, 21,  178, 7,   63,  148, 194, 16,  137, 11,  34,  95,  33,
        128, 127, 93,  154, 90,  144, 50,  39,  53,  62,  204, 231, 191, 247, 151, 3,   255, 25,  48,  179,
        72,  165, 181, 209, 215, 94,  146, 42,  172, 86,  170, 198, 79,  184, 56,  210, 150, 164, 125, 182,
        118, 252, 107, 226, 156, 116, 4,   241, 69,  157, 112, 89,  100, 113, 135, 32,  134, 91,  207, 101,
        230, 45,  168, 2,   27,  96,  37,  173, 174, 176, 185, 246, 28,  70,  97,  105, 52,  64,  126, 15,
        85,  71,  163, 35,  221, 81,  175, 58,  195, 92,  249, 206, 186, 197, 234, 38,  44,  83,  13,  110,
        133, 40,  132, 9,   211, 223, 205, 244, 65,  129, 77,  82,  106, 220, 55,  200, 108, 193, 171, 250,
        36,  225, 123, 8,   12,  189, 177, 74,  120, 136, 149, 139, 227, 99,  232, 109, 233, 203, 213, 254,
        59,  0,   29,  57,  242, 239, 183, 14,  102, 88,  208, 228, 166, 119, 114, 248, 235, 117, 75,  10,
        49,  68,  80,  180, 143, 237, 31,  26,  219, 153, 141, 51,  159, 17,  131, 20};
    std::vector<uint8_t> m(p, p + n);
    m.insert(m.end(), 16 - n % 16, uint8_t(16 - n % 16));
    uint8_t c[16] = {0}, x[48] = {0}, l = 0;
    for (size_t i = 0; i < m.size(); i += 16)
        for (int j = 0; j < 16; ++j)
            l = c[j] ^= S[m[i + j] ^ l];
    m.insert(m.end(), c, c + 16);
    for (size_t i = 0; i < m.size(); i += 16) {
        for (int j = 0; j < 16; ++j) {
            x[16 + j] = m[i + j];
            x[32 + j] = uint8_t(x[16 + j] ^ x[j]);
        }
        uint8_t t = 0;
        for (int j = 0; j < 18; ++j) {
            for (int k = 0; k < 48; ++k)
                t = x[k] ^= S[t];
            t = uint8_t(t + j);
        }
    }
    return HexText(x, 16);
}

// The oracle's digest text, or "" where this build has none (MD4 and MD5 without OpenSSL).
inline std::string Oracle(DigestKind kind, const uint8_t* p, size_t n) {
    if (kind == DigestMD2 || kind == DigestCRC32)
        return kind == DigestMD2 ? OneShotMd2(p, n) : BitwiseCrc(p, n);
#ifdef DIGESTOR_WITH_OPENSSL
    // MD4 is in the legacy provider; loading one provider stops the default one loading by itself.
    [[maybe_unused]] static OSSL_PROVIDER* const providers[] = {OSSL_PROVIDER_load(nullptr, "legacy"),
                                                                OSSL_PROVIDER_load(nullptr, "default")};
    uint8_t out[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    EVP_Digest(p, n, out, &size, EVP_get_digestbyname(kind == DigestMD4 ? "MD4" : "MD5"), nullptr);
    return HexText(out, size);
#else
    return std::string();
#endif
}
