// MD2 digestor (RFC 1319).
#pragma once

#include "engine/digestor.h"

class CDigestor_MD2 : public IDigestor {
public:
    // Allocates the state block; std::bad_alloc when memory is exhausted.
    CDigestor_MD2();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_MD2() override;

private:
    struct State {
        uint8_t buffer[16]; // incomplete block
        uint8_t x[48];      // x[0..15] is the hash state, the rest is filled per block
        uint8_t checksum[16];
        int32_t fill; // valid bytes in buffer: 0 to 15 between calls, 16 after Finish
    };

    void ProcessBlock(const uint8_t* block);

    State* m_state;
    int32_t m_finished;
    uint8_t m_digest[16];
};
