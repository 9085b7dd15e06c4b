// SHA-1 digestor (FIPS 180-4).
#pragma once

#include "engine/digestor.h"

class CDigestor_SHA1 : public IDigestor {
public:
    CDigestor_SHA1();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_SHA1() override {}

private:
    typedef void Compression(uint32_t state[5], const uint8_t* blocks, size_t count);

    Compression* const m_compress; // portable or SHA extensions, chosen at construction
    uint32_t m_state[5];           // chaining words H0..H4
    uint64_t m_count;              // message length in bytes
    uint8_t m_buffer[64];          // incomplete block: m_count % 64 bytes valid
    uint8_t m_digest[20];
    bool m_finished;
};
