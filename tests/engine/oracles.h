// Digests computed apart from the engine (bit-by-bit CRCs, OpenSSL's MD4, MD5, SHA-1, SHA-2 and SHA-3),
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

// The program's CRC starts at 0 and stays as it is; zip's starts at ffffffff and is inverted.
inline std::string BitwiseCrc(const uint8_t* p, size_t n, uint32_t initial, uint32_t finalXor) {
    uint32_t crc = initial;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    crc ^= finalXor;
    const uint8_t bigEndian[4] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)};
    return HexText(bigEndian, 4);
}

// The oracle's digest text, or "" where there is none (MD2, whose RFC vectors stand alone; BLAKE3 and
// XXH3, held against their reference tools' digests; the others but the CRCs without OpenSSL).
inline std::string Oracle(DigestKind kind, const uint8_t* p, size_t n) {
    if (kind == DigestCRC32)
        return BitwiseCrc(p, n, 0, 0);
    if (kind == DigestZipCRC32)
        return BitwiseCrc(p, n, 0xFFFFFFFF, 0xFFFFFFFF);
#ifdef DIGESTOR_WITH_OPENSSL
    static const char* const names[] = {nullptr,  "MD4",    "MD5",   nullptr,    "SHA1",
                                        "SHA256", "SHA512", nullptr, "SHA3-256", "SHA3-512"};
    if (kind < 0 || kind >= int(sizeof names / sizeof names[0]) || names[kind] == nullptr)
        return std::string();
    // MD4 is in the legacy provider; loading one provider stops the default one loading by itself.
    [[maybe_unused]] static OSSL_PROVIDER* const providers[] = {OSSL_PROVIDER_load(nullptr, "legacy"),
                                                                OSSL_PROVIDER_load(nullptr, "default")};
    uint8_t out[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    EVP_Digest(p, n, out, &size, EVP_get_digestbyname(names[kind]), nullptr);
    return HexText(out, size);
#else
    return std::string();
#endif
}
