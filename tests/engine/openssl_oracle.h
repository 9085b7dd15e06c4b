// OpenSSL's MD4 and MD5 as an independent oracle (native builds only).
#pragma once

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tests/engine/digest_helpers.h"

// Incremental digest through EVP; MD4 lives in OpenSSL's legacy provider.
class OpenSslDigest {
public:
    explicit OpenSslDigest(const char* name) {
        static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        static OSSL_PROVIDER* standard = OSSL_PROVIDER_load(nullptr, "default");
        (void)legacy;
        (void)standard;
        m_md = EVP_MD_fetch(nullptr, name, nullptr);
        m_ctx = EVP_MD_CTX_new();
        if (!m_md || !m_ctx || !EVP_DigestInit_ex(m_ctx, m_md, nullptr))
            throw std::runtime_error(std::string("OpenSSL has no ") + name);
    }
    ~OpenSslDigest() {
        EVP_MD_CTX_free(m_ctx);
        EVP_MD_free(m_md);
    }
    OpenSslDigest(const OpenSslDigest&) = delete;
    OpenSslDigest& operator=(const OpenSslDigest&) = delete;

    void Update(const uint8_t* data, size_t size) { EVP_DigestUpdate(m_ctx, data, size); }
    std::string Hex() {
        uint8_t out[EVP_MAX_MD_SIZE];
        unsigned int size = 0;
        EVP_DigestFinal_ex(m_ctx, out, &size);
        return HexBytes(out, size);
    }

private:
    EVP_MD* m_md = nullptr;
    EVP_MD_CTX* m_ctx = nullptr;
};

inline std::string OpenSslHex(const char* name, const uint8_t* data, size_t size) {
    OpenSslDigest d(name);
    d.Update(data, size);
    return d.Hex();
}
