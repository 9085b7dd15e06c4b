// MD5 digestor (RFC 1321).
#pragma once

#include "engine/digestor.h"

class CDigestor_MD5 : public IDigestor {
public:
    CDigestor_MD5();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_MD5() override {}

private:
    uint32_t m_state[4];  // chaining words A, B, C, D
    uint32_t m_count[2];  // message length in bits mod 2^64, low word first
    uint8_t m_buffer[64]; // incomplete block: (m_count[0] >> 3) & 63 bytes valid
    uint8_t m_digest[16];
    bool m_finished;
};
