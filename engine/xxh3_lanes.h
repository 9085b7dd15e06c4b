// XXH3's block loop (xxHash's XXH3 algorithm description, steps 2-1 and 2-2) over the eight 64-bit
// accumulators in vector registers. Included only by engine/xxh3_sse2.cpp and engine/xxh3_avx2.cpp,
// each with its own L; everything here is file-local, so neither file's instructions leak into the
// other.
#pragma once

#include <cstddef>
#include <cstdint>

namespace {

// L gives the vector type (L::Vector, L::Count of them for the eight accumulators) and its
// operations. The shuffles work within 128-bit halves, so the lane swap is the same at every width.
template <class L>
void Xxh3BlocksIn(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret) {
    typedef typename L::Vector V;
    V a[L::Count];
    for (int j = 0; j < L::Count; ++j)
        a[j] = L::Load(acc + j * 8 / L::Count);
    const V prime32_1 = L::Set1(0x9E3779B1);
    for (; count != 0; --count, blocks += 1024) {
        // Step 2-1: stripe n with the secret at 8n. Per lane: acc[i] += lo32(v) * hi32(v) with v = data ^
        // secret, and acc[i ^ 1] += data[i] (the data with its two lanes swapped).
        for (int n = 0; n < 16; ++n) {
            const uint8_t* stripe = blocks + 64 * n;
            const uint8_t* key = secret + 8 * n;
            for (int j = 0; j < L::Count; ++j) {
                const V data = L::Load(stripe + j * 64 / L::Count);
                const V v = L::Xor(data, L::Load(key + j * 64 / L::Count));
                const V product = L::Multiply32(v, L::HighHalves(v));
                a[j] = L::Add(a[j], L::Add(product, L::SwapLanes(data)));
            }
        }
        // Step 2-2: acc = (acc ^ acc >> 47 ^ secret[128..192]) * PRIME32_1, the 64 x 32-bit product
        // from two 32 x 32-bit ones.
        const uint8_t* key = secret + 192 - 64;
        for (int j = 0; j < L::Count; ++j) {
            V x = L::Xor(a[j], L::template ShiftRight<47>(a[j]));
            x = L::Xor(x, L::Load(key + j * 64 / L::Count));
            const V low = L::Multiply32(x, prime32_1);
            const V high = L::Multiply32(L::template ShiftRight<32>(x), prime32_1);
            a[j] = L::Add(low, L::template ShiftLeft<32>(high));
        }
    }
    for (int j = 0; j < L::Count; ++j)
        L::Store(acc + j * 8 / L::Count, a[j]);
}

} // namespace
