// CRC-32 digestors over the reflected polynomial 0xEDB88320.
#pragma once

#include "engine/digestor.h"

// The program's own variant: initial register 0, no final XOR ("abc" gives ca6598d0).
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

// The CRC of zip, PNG and SFV files: initial register 0xFFFFFFFF, inverted at the end ("abc" gives
// 352441c2). Unlike the program's variant it ignores bytes after Finish, as the hashes do.
class CDigestor_ZipCRC32 : public IDigestor {
public:
    CDigestor_ZipCRC32();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

protected:
    ~CDigestor_ZipCRC32() override {}

private:
    bool m_finished;
    uint32_t m_register; // the running CRC; the digest is its complement
};
