// SHA-512 digestor (FIPS 180-4).
#pragma once

#include <cstddef>

#include "engine/digestor.h"

// Compresses count consecutive 128-byte blocks into the chaining words.
typedef void (*Sha512CompressFunction)(uint64_t state[8], const uint8_t* blocks, size_t count);

class CDigestor_SHA512 : public IDigestor {
public:
    CDigestor_SHA512();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_SHA512() override {}

private:
    const Sha512CompressFunction m_compress; // the path chosen when the digestor was made
    uint64_t m_state[8];                     // chaining words H0..H7
    uint64_t m_count;                        // message length in bytes
    uint8_t m_buffer[128];                   // incomplete block: m_count % 128 bytes valid
    uint8_t m_digest[64];
    bool m_finished;
};
