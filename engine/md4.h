// MD4 digestor (RFC 1320).
#pragma once

#include "engine/digestor.h"

class CDigestor_MD4 : public IDigestor {
public:
    // Allocates the state block; std::bad_alloc when memory is exhausted.
    CDigestor_MD4();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_MD4() override;

private:
    struct State {
        uint32_t lowCount;  // message length in bytes mod 2^29
        uint32_t highCount; // message length in bytes >> 29: the high word of the bit length
        uint32_t a, b, c, d;
        uint8_t buffer[64]; // incomplete block: lowCount & 63 bytes valid
        uint32_t decoded[16];
    };

    const uint8_t* Transform(const uint8_t* bytes, uint32_t size);

    State* m_state;
    int32_t m_finished;
    uint8_t m_digest[16];
};
