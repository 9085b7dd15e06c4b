// MD4 message digest, RFC 1320.
#include "engine/md4.h"

#include <cstring>

#include "engine/byte_order.h"
#include "engine/hex_text.h"

namespace {

// Auxiliary functions of RFC 1320. F is written in an equivalent form with one
// operation fewer; G, the majority function, is applied in MD4_GG.
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }

// Round 1: a = (a + F(b,c,d) + X[k]) <<< s
#define MD4_FF(a, b, c, d, xk, s) a = RotateLeft(a + (xk) + F(b, c, d), s)
// Round 2: a = (a + G(b,c,d) + X[k] + 5A827999) <<< s. The majority of b, c, d
// is (c AND d) OR (b AND (c XOR d)); the two terms share no bit, so OR is
// addition, and only one AND and one addition wait for b.
#define MD4_GG(a, b, c, d, xk, s) a = RotateLeft(a + (xk) + 0x5A827999 + (c & d) + (b & (c ^ d)), s)
// Round 3: a = (a + H(b,c,d) + X[k] + 6ED9EBA1) <<< s
#define MD4_HH(a, b, c, d, xk, s) a = RotateLeft(a + (xk) + 0x6ED9EBA1 + H(b, c, d), s)

} // namespace

CDigestor_MD4::CDigestor_MD4() : m_state(new State), m_finished(0) { Reset(); }

CDigestor_MD4::~CDigestor_MD4() { delete m_state; }

void CDigestor_MD4::Reset() {
    std::memset(m_state, 0, sizeof *m_state);
    m_state->a = 0x67452301;
    m_state->b = 0xefcdab89;
    m_state->c = 0x98badcfe;
    m_state->d = 0x10325476;
    m_finished = 0;
}

// size is a positive multiple of 64; returns the pointer past the last block.
const uint8_t* CDigestor_MD4::Transform(const uint8_t* bytes, uint32_t size) {
    State& s = *m_state;
    uint32_t* x = s.decoded;
    uint32_t a = s.a, b = s.b, c = s.c, d = s.d;
    for (; size != 0; size -= 64, bytes += 64) {
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLE32(bytes + 4 * i);
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        // Round 1
        MD4_FF(a, b, c, d, x[0], 3);
        MD4_FF(d, a, b, c, x[1], 7);
        MD4_FF(c, d, a, b, x[2], 11);
        MD4_FF(b, c, d, a, x[3], 19);
        MD4_FF(a, b, c, d, x[4], 3);
        MD4_FF(d, a, b, c, x[5], 7);
        MD4_FF(c, d, a, b, x[6], 11);
        MD4_FF(b, c, d, a, x[7], 19);
        MD4_FF(a, b, c, d, x[8], 3);
        MD4_FF(d, a, b, c, x[9], 7);
        MD4_FF(c, d, a, b, x[10], 11);
        MD4_FF(b, c, d, a, x[11], 19);
        MD4_FF(a, b, c, d, x[12], 3);
        MD4_FF(d, a, b, c, x[13], 7);
        MD4_FF(c, d, a, b, x[14], 11);
        MD4_FF(b, c, d, a, x[15], 19);

        // Round 2
        MD4_GG(a, b, c, d, x[0], 3);
        MD4_GG(d, a, b, c, x[4], 5);
        MD4_GG(c, d, a, b, x[8], 9);
        MD4_GG(b, c, d, a, x[12], 13);
        MD4_GG(a, b, c, d, x[1], 3);
        MD4_GG(d, a, b, c, x[5], 5);
        MD4_GG(c, d, a, b, x[9], 9);
        MD4_GG(b, c, d, a, x[13], 13);
        MD4_GG(a, b, c, d, x[2], 3);
        MD4_GG(d, a, b, c, x[6], 5);
        MD4_GG(c, d, a, b, x[10], 9);
        MD4_GG(b, c, d, a, x[14], 13);
        MD4_GG(a, b, c, d, x[3], 3);
        MD4_GG(d, a, b, c, x[7], 5);
        MD4_GG(c, d, a, b, x[11], 9);
        MD4_GG(b, c, d, a, x[15], 13);

        // Round 3
        MD4_HH(a, b, c, d, x[0], 3);
        MD4_HH(d, a, b, c, x[8], 9);
        MD4_HH(c, d, a, b, x[4], 11);
        MD4_HH(b, c, d, a, x[12], 15);
        MD4_HH(a, b, c, d, x[2], 3);
        MD4_HH(d, a, b, c, x[10], 9);
        MD4_HH(c, d, a, b, x[6], 11);
        MD4_HH(b, c, d, a, x[14], 15);
        MD4_HH(a, b, c, d, x[1], 3);
        MD4_HH(d, a, b, c, x[9], 9);
        MD4_HH(c, d, a, b, x[5], 11);
        MD4_HH(b, c, d, a, x[13], 15);
        MD4_HH(a, b, c, d, x[3], 3);
        MD4_HH(d, a, b, c, x[11], 9);
        MD4_HH(c, d, a, b, x[7], 11);
        MD4_HH(b, c, d, a, x[15], 15);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    s.a = a;
    s.b = b;
    s.c = c;
    s.d = d;
    return bytes;
}

#undef MD4_FF
#undef MD4_GG
#undef MD4_HH

void CDigestor_MD4::Update(const uint8_t* bytes, uint32_t length) {
    // A finished digestor still counts and buffers; its digest stays fixed until Reset.
    if (length == 0)
        return;
    State& s = *m_state;

    const uint32_t saved = s.lowCount;
    s.lowCount = (saved + length) & 0x1FFFFFFF;
    if (s.lowCount < saved)
        ++s.highCount;
    s.highCount += length >> 29;

    const uint32_t used = saved & 0x3F;
    if (used != 0) {
        const uint32_t available = 64 - used;
        if (length < available) {
            std::memcpy(s.buffer + used, bytes, length);
            return;
        }
        std::memcpy(s.buffer + used, bytes, available);
        bytes += available;
        length -= available;
        Transform(s.buffer, 64);
    }
    if (length >= 64) {
        bytes = Transform(bytes, length & ~0x3Fu);
        length &= 0x3F;
    }
    if (length != 0)
        std::memcpy(s.buffer, bytes, length);
}

void CDigestor_MD4::Finish() {
    if (m_finished)
        return;
    State& s = *m_state;

    uint32_t used = s.lowCount & 0x3F;
    s.buffer[used++] = 0x80;
    uint32_t available = 64 - used;
    if (available < 8) {
        std::memset(s.buffer + used, 0, available);
        Transform(s.buffer, 64);
        used = 0;
        available = 64;
    }
    std::memset(s.buffer + used, 0, available - 8);

    // Bytes to bits: lowCount << 3 carries nothing out, since lowCount < 2^29.
    s.lowCount <<= 3;
    StoreLE32(s.buffer + 56, s.lowCount);
    StoreLE32(s.buffer + 60, s.highCount);
    Transform(s.buffer, 64);

    StoreLE32(m_digest, s.a);
    StoreLE32(m_digest + 4, s.b);
    StoreLE32(m_digest + 8, s.c);
    StoreLE32(m_digest + 12, s.d);
    m_finished = 1;
}

std::string CDigestor_MD4::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}
