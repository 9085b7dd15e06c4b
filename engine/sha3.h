// SHA3-256 and SHA3-512 digestors (FIPS 202).
#pragma once

#include <cstddef>

#include "engine/digestor.h"

// Keccak-f[1600] on the 25 lanes (engine/keccak_f1600.h).
typedef void (*KeccakPermutation)(uint64_t state[25]);

// SHA3 with a digest of DigestBytes bytes: the sponge over Keccak-f[1600] with capacity twice that,
// so the rate (bytes absorbed per permutation) is 200 - 2 * DigestBytes.
template <size_t DigestBytes> class CDigestor_SHA3 : public IDigestor {
public:
    static constexpr size_t Rate = 200 - 2 * DigestBytes;

    CDigestor_SHA3();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_SHA3() override {}

private:
    const KeccakPermutation m_permute; // the path chosen when the digestor was made
    uint64_t m_state[25];              // lanes A[x, y] at index x + 5y
    uint64_t m_count;                  // message length in bytes
    uint8_t m_buffer[Rate];            // incomplete block: m_count % Rate bytes valid
    uint8_t m_digest[DigestBytes];
    bool m_finished;
};

typedef CDigestor_SHA3<32> CDigestor_SHA3_256;
typedef CDigestor_SHA3<64> CDigestor_SHA3_512;
