// SHA3-256 and SHA3-512 secure hashes, FIPS 202 (Keccak-f[1600] with 64-bit lanes).
#include "engine/sha3.h"

#include <cstring>

#include "engine/block_feed.h"
#include "engine/cpu_features.h"
#include "engine/hex_text.h"
#include "engine/keccak_f1600.h"
#include "engine/sha3_bmi.h"

namespace {

// Absorbs count blocks of Rate bytes: each block's lanes, little-endian, XORed into the first lanes.
template <size_t Rate>
void Absorb(uint64_t state[25], const uint8_t* block, size_t count, KeccakPermutation permute) {
    for (; count != 0; --count, block += Rate) {
        for (size_t i = 0; i < Rate / 8; ++i)
            state[i] ^= LoadLE64(block + 8 * i);
        permute(state);
    }
}

KeccakPermutation ChoosePermutation() {
#if DIGESTOR_SHA_X86
    if (UseVectorLevel() >= VectorLevel::Avx2) // that level includes BMI1
        return Chosen(PathUser::Sha3, CodePath::Avx2, KeccakF1600Bmi);
#endif
    return Chosen(PathUser::Sha3, CodePath::Portable, KeccakF1600);
}

} // namespace

template <size_t DigestBytes> CDigestor_SHA3<DigestBytes>::CDigestor_SHA3() : m_permute(ChoosePermutation()) {
    Reset();
}

template <size_t DigestBytes> void CDigestor_SHA3<DigestBytes>::Reset() {
    m_finished = false;
    std::memset(m_state, 0, sizeof m_state);
    m_count = 0;
}

template <size_t DigestBytes>
void CDigestor_SHA3<DigestBytes>::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    FeedBlocks<Rate>(m_buffer, m_count, bytes, length, [this](const uint8_t* blocks, size_t n) {
        Absorb<Rate>(m_state, blocks, n, m_permute);
    });
}

template <size_t DigestBytes> void CDigestor_SHA3<DigestBytes>::Finish() {
    if (m_finished)
        return;
    // FIPS 202 6.1 and 5.1: the suffix 01 and pad10*1 meet in the byte 0x06 after the message and the
    // bit 0x80 in the block's last byte (one byte 0x86 when they fall together).
    const size_t index = size_t(m_count % Rate);
    std::memset(m_buffer + index, 0, Rate - index);
    m_buffer[index] = 0x06;
    m_buffer[Rate - 1] |= 0x80;
    Absorb<Rate>(m_state, m_buffer, 1, m_permute);
    // The digest is shorter than the rate: one squeeze, lanes little-endian.
    for (size_t i = 0; i < DigestBytes; ++i)
        m_digest[i] = uint8_t(m_state[i / 8] >> (8 * (i % 8)));
    m_finished = true;
}

template <size_t DigestBytes> std::string CDigestor_SHA3<DigestBytes>::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}

template class CDigestor_SHA3<32>;
template class CDigestor_SHA3<64>;
