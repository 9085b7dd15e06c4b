// XXH3 digestors, 64-bit and 128-bit (XXH128), seed 0 and the default secret (the XXH3 algorithm
// description, xxHash's doc/xxhash_spec.md).
#pragma once

#include <cstddef>

#include "engine/digestor.h"

enum class Xxh3Width { Bits64, Bits128 };

// Blocks of the large-input path: count consecutive 1024-byte blocks, each 16 stripes accumulated and
// then the accumulators scrambled (engine/xxh3.cpp, engine/xxh3_x86.h).
typedef void (*Xxh3BlocksFunction)(uint64_t acc[8], const uint8_t* blocks, size_t count,
                                   const uint8_t* secret);

class CDigestor_XXH3 : public IDigestor {
public:
    explicit CDigestor_XXH3(Xxh3Width width);

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

    static constexpr size_t BlockSize = 1024;
    static constexpr size_t StripeSize = 64;

protected:
    ~CDigestor_XXH3() override {}

private:
    const Xxh3Width m_width;
    const Xxh3BlocksFunction m_blocks; // the path chosen when the digestor was made
    uint64_t m_acc[8];
    uint64_t m_count; // message length in bytes
    // The last stripe of the blocks already done, then the block not yet done: the final step reads the
    // message's last 64 bytes, which may reach back into the block before.
    uint8_t m_buffer[StripeSize + BlockSize];
    size_t m_buffered;      // bytes of the pending block, 0..1024
    uint64_t m_low, m_high; // the result; m_high only for XXH128
    bool m_finished;
};
