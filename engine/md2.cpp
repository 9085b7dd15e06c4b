// MD2 message digest, RFC 1319.
#include "engine/md2.h"

#include <cstring>

#include "engine/hex_text.h"

namespace {

// RFC 1319 section 3.2: the permutation of 0..255 built from the digits of pi.
constexpr uint8_t S[256] = {
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
    49,  68,  80,  180, 143, 237, 31,  26,  219, 153, 141, 51,  159, 17,  131, 20,
};

} // namespace

CDigestor_MD2::CDigestor_MD2() : m_state(new State), m_finished(0) { Reset(); }

CDigestor_MD2::~CDigestor_MD2() { delete m_state; }

void CDigestor_MD2::Reset() {
    std::memset(m_state, 0, sizeof *m_state);
    m_finished = 0;
}

void CDigestor_MD2::ProcessBlock(const uint8_t* block) {
    State& s = *m_state;

    // Work on a local copy that nothing else can alias, so the compiler need
    // not reload it around every table read.
    uint8_t x[48];
    std::memcpy(x, s.x, 16);
    for (int i = 0; i < 16; ++i) {
        x[16 + i] = block[i];
        x[32 + i] = uint8_t(block[i] ^ x[i]);
    }

    // 18 rounds over the 48 bytes: each byte is the next table index, a chain
    // of dependent look-ups that nothing can shorten.
    uint32_t t = 0;
    for (uint32_t j = 0; j < 18; ++j) {
        for (int k = 0; k < 48; ++k) {
            t = x[k] ^ S[t];
            x[k] = uint8_t(t);
        }
        t = (t + j) & 0xFF;
    }
    std::memcpy(s.x, x, 16);

    // Checksum, XOR form of the reference code. block may be the checksum
    // itself (Finish): x already holds its copy, and C[i] is read before it changes.
    uint32_t l = s.checksum[15];
    for (int i = 0; i < 16; ++i) {
        l = s.checksum[i] ^ S[block[i] ^ l];
        s.checksum[i] = uint8_t(l);
    }
}

void CDigestor_MD2::Update(const uint8_t* bytes, uint32_t length) {
    // A finished digestor keeps 16 bytes in its buffer: taking more would
    // write past it, so the bytes are ignored until Reset.
    if (m_finished)
        return;
    State& s = *m_state;

    for (uint32_t i = 0; i < length; ++i) {
        s.buffer[s.fill++] = bytes[i];
        if (s.fill == 16) {
            ProcessBlock(s.buffer);
            s.fill = 0;
        }
    }
}

void CDigestor_MD2::Finish() {
    if (m_finished)
        return;
    State& s = *m_state;

    const int32_t pad = 16 - s.fill;
    std::memset(s.buffer + s.fill, pad, size_t(pad));
    ProcessBlock(s.buffer);
    s.fill = 16;
    ProcessBlock(s.checksum);

    std::memcpy(m_digest, s.x, 16);
    m_finished = 1;
}

std::string CDigestor_MD2::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}
