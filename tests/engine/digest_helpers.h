// Shared helpers for the engine tests and the fuzzer: feeding messages in
// splits, and oracles written independently of the engine.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/digestor.h"

// Owns one digestor reference for the length of a scope.
class DigestorRef {
public:
    explicit DigestorRef(DigestKind kind) : m_digestor(CreateDigestor(kind)) {}
    ~DigestorRef() { m_digestor->Release(); }
    DigestorRef(const DigestorRef&) = delete;
    DigestorRef& operator=(const DigestorRef&) = delete;
    IDigestor* operator->() const { return m_digestor; }
    IDigestor* get() const { return m_digestor; }

private:
    IDigestor* m_digestor;
};

inline const char* KindName(DigestKind kind) {
    static const char* const names[] = {"MD2", "MD4", "MD5", "CRC32"};
    return kind >= 0 && kind <= 3 ? names[kind] : "MD5";
}

inline const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// Reset, Update in pieces of `piece` bytes (0: one call), Finish, DigestText.
inline std::string DigestInPieces(IDigestor* d, const uint8_t* data, size_t size, size_t piece) {
    d->Reset();
    if (piece == 0)
        piece = size;
    for (size_t at = 0; at < size; at += piece) {
        const size_t n = size - at < piece ? size - at : piece;
        d->Update(data + at, uint32_t(n));
    }
    d->Finish();
    return d->DigestText();
}

inline std::string DigestOf(DigestKind kind, const uint8_t* data, size_t size, size_t piece = 0) {
    DigestorRef d(kind);
    return DigestInPieces(d.get(), data, size, piece);
}

inline std::string DigestOf(DigestKind kind, const std::string& message) {
    return DigestOf(kind, Bytes(message), message.size());
}

// Same message in pieces of random size between 1 and maxPiece.
inline std::string DigestInRandomPieces(IDigestor* d, const uint8_t* data, size_t size, std::mt19937& rng,
                                        size_t maxPiece) {
    std::uniform_int_distribution<size_t> pick(1, maxPiece);
    d->Reset();
    for (size_t at = 0; at < size;) {
        size_t n = pick(rng);
        if (n > size - at)
            n = size - at;
        d->Update(data + at, uint32_t(n));
        at += n;
    }
    d->Finish();
    return d->DigestText();
}

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes)
        b = uint8_t(rng());
    return bytes;
}

inline std::string Repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

// The reflected CRC computed one bit at a time, straight from the polynomial.
inline uint32_t BitwiseCrc(const uint8_t* data, size_t size, uint32_t crc = 0) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

inline std::string Hex32(uint32_t v) {
    char text[9];
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < 8; ++i)
        text[i] = digits[(v >> (28 - 4 * i)) & 0xF];
    text[8] = 0;
    return text;
}

inline std::string HexBytes(const uint8_t* bytes, size_t size) {
    std::string out;
    for (size_t i = 0; i < size; ++i)
        out += Hex32(bytes[i]).substr(6);
    return out;
}

// MD2 over a whole message at once, written from the RFC's description:
// pad, append the checksum, then run the compression over the padded text.
// It shares nothing with the incremental digestor but the S table, which it
// takes from the RFC's own definition by value.
inline std::string OneShotMd2(const uint8_t* data, size_t size) {
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
    std::vector<uint8_t> m(data, data + size);
    const size_t pad = 16 - m.size() % 16;
    m.insert(m.end(), pad, uint8_t(pad));
    uint8_t c[16] = {0};
    uint8_t l = 0;
    for (size_t block = 0; block < m.size(); block += 16)
        for (int j = 0; j < 16; ++j) {
            c[j] ^= S[m[block + j] ^ l];
            l = c[j];
        }
    m.insert(m.end(), c, c + 16);
    uint8_t x[48] = {0};
    for (size_t block = 0; block < m.size(); block += 16) {
        for (int j = 0; j < 16; ++j) {
            x[16 + j] = m[block + j];
            x[32 + j] = uint8_t(x[16 + j] ^ x[j]);
        }
        uint8_t t = 0;
        for (int j = 0; j < 18; ++j) {
            for (int k = 0; k < 48; ++k)
                t = x[k] = uint8_t(x[k] ^ S[t]);
            t = uint8_t(t + j);
        }
    }
    return HexBytes(x, 16);
}
