// BLAKE3's compression over whole chunks, one chunk per vector lane (the BLAKE3 paper, section 5.3's
// SIMD approach: the same words of several inputs side by side). Included only by the vector files, each
// with its own lane type; everything here is file-local, so no file's instructions leak into another.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/blake3_constants.h"

namespace {

// The quarter round G (section 2.2) on four state vectors with message words x and y.
#define BLAKE3_G(a, b, c, d, x, y)                                                                           \
    do {                                                                                                     \
        v[a] = L::Add(L::Add(v[a], v[b]), m[x]);                                                             \
        v[d] = L::Rotate16(L::Xor(v[d], v[a]));                                                              \
        v[c] = L::Add(v[c], v[d]);                                                                           \
        v[b] = L::Rotate12(L::Xor(v[b], v[c]));                                                              \
        v[a] = L::Add(L::Add(v[a], v[b]), m[y]);                                                             \
        v[d] = L::Rotate8(L::Xor(v[d], v[a]));                                                               \
        v[c] = L::Add(v[c], v[d]);                                                                           \
        v[b] = L::Rotate7(L::Xor(v[b], v[c]));                                                               \
    } while (0)

// One round: G on the four columns, then on the four diagonals, with the words of round r.
#define BLAKE3_ROUND(r)                                                                                      \
    do {                                                                                                     \
        const uint8_t* s = Blake3Schedule.word[r];                                                           \
        BLAKE3_G(0, 4, 8, 12, s[0], s[1]);                                                                   \
        BLAKE3_G(1, 5, 9, 13, s[2], s[3]);                                                                   \
        BLAKE3_G(2, 6, 10, 14, s[4], s[5]);                                                                  \
        BLAKE3_G(3, 7, 11, 15, s[6], s[7]);                                                                  \
        BLAKE3_G(0, 5, 10, 15, s[8], s[9]);                                                                  \
        BLAKE3_G(1, 6, 11, 12, s[10], s[11]);                                                                \
        BLAKE3_G(2, 7, 8, 13, s[12], s[13]);                                                                 \
        BLAKE3_G(3, 4, 9, 14, s[14], s[15]);                                                                 \
    } while (0)

// L gives the vector type (L::Vector, L::Lanes lanes of 32 bits) and its operations, among them
// LoadMessage(p, stride, m): m[w] = word w of the 64-byte block at p + stride * lane, for each lane.
// Each lane hashes blocks consecutive 64-byte blocks of its input (the lanes' inputs stride bytes apart)
// from the IV in hash mode, with counter + counterStep * lane; the first block takes flags | first, the
// last flags | last. Lane i's chaining value goes to cvs[i].
template <class L>
void HashLanes(const uint8_t* input, size_t stride, uint32_t blocks, uint64_t counter, uint64_t counterStep,
               uint32_t flags, uint32_t first, uint32_t last, uint32_t (*cvs)[8]) {
    typedef typename L::Vector Vector;
    alignas(64) uint32_t low[L::Lanes], high[L::Lanes];
    for (int lane = 0; lane < L::Lanes; ++lane) {
        low[lane] = uint32_t(counter + counterStep * lane);
        high[lane] = uint32_t((counter + counterStep * lane) >> 32);
    }
    const Vector counterLow = L::Load(low), counterHigh = L::Load(high);

    Vector h[8];
    for (int i = 0; i < 8; ++i)
        h[i] = L::Set1(Blake3IV[i]);
    for (uint32_t block = 0; block < blocks; ++block) {
        Vector m[16], v[16];
        L::LoadMessage(input + Blake3BlockSize * block, stride, m);
        uint32_t blockFlags = flags;
        if (block == 0)
            blockFlags |= first;
        if (block == blocks - 1)
            blockFlags |= last;
        // The state of section 2.2: chaining value, IV, counter, block length, flags.
        for (int i = 0; i < 8; ++i)
            v[i] = h[i];
        v[8] = L::Set1(Blake3IV[0]);
        v[9] = L::Set1(Blake3IV[1]);
        v[10] = L::Set1(Blake3IV[2]);
        v[11] = L::Set1(Blake3IV[3]);
        v[12] = counterLow;
        v[13] = counterHigh;
        v[14] = L::Set1(Blake3BlockSize);
        v[15] = L::Set1(blockFlags);
        BLAKE3_ROUND(0);
        BLAKE3_ROUND(1);
        BLAKE3_ROUND(2);
        BLAKE3_ROUND(3);
        BLAKE3_ROUND(4);
        BLAKE3_ROUND(5);
        BLAKE3_ROUND(6);
        // The new chaining value is the first half of the output: v[i] ^ v[i + 8].
        for (int i = 0; i < 8; ++i)
            h[i] = L::Xor(v[i], v[i + 8]);
    }
    alignas(64) uint32_t words[8][L::Lanes];
    for (int i = 0; i < 8; ++i)
        L::Store(words[i], h[i]);
    for (int lane = 0; lane < L::Lanes; ++lane)
        for (int i = 0; i < 8; ++i)
            cvs[lane][i] = words[i][lane];
}

// Whole chunks, one a lane: sixteen blocks each, the chunk counters counting up from counter.
template <class L> void HashChunkLanes(const uint8_t* chunks, uint64_t counter, uint32_t (*cvs)[8]) {
    HashLanes<L>(chunks, Blake3ChunkSize, Blake3ChunkSize / Blake3BlockSize, counter, 1, 0, Blake3ChunkStart,
                 Blake3ChunkEnd, cvs);
}

// Parent nodes, one a lane: each one block, two children's chaining values side by side.
template <class L> void HashParentLanes(const uint32_t (*children)[8], uint32_t (*cvs)[8]) {
    HashLanes<L>(reinterpret_cast<const uint8_t*>(children), 2 * 32, 1, 0, 0, Blake3Parent, 0, 0, cvs);
}

#undef BLAKE3_G
#undef BLAKE3_ROUND

} // namespace
