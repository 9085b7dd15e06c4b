// CRC-32 digestor: reflected polynomial 0xEDB88320, initial register 0, no final XOR.
#pragma once

#include "engine/digestor.h"

class CDigestor_CRC32 : public IDigestor {
public:
    CDigestor_CRC32();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_CRC32() override {}

private:
    int32_t m_finished;
    uint32_t m_register; // the running CRC, which is also the digest
};
