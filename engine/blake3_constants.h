// Constants of BLAKE3 (the BLAKE3 paper, section 2), shared by the portable code and the vector paths.
#pragma once

#include <cstdint>

constexpr uint32_t Blake3ChunkSize = 1024;
constexpr uint32_t Blake3BlockSize = 64;
constexpr int Blake3Rounds = 7;

// Domain flags (section 2.1, table 3).
enum : uint32_t {
    Blake3ChunkStart = 1 << 0,
    Blake3ChunkEnd = 1 << 1,
    Blake3Parent = 1 << 2,
    Blake3Root = 1 << 3,
};

// IV: SHA-256's initial hash value (FIPS 180-4 5.3.3), the key in hash mode.
alignas(32) constexpr uint32_t Blake3IV[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                              0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// The message permutation applied between rounds (section 2.2, table 2).
constexpr uint8_t Blake3Permutation[16] = {2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8};

// Which message word each round reads in each of its sixteen places: round 0 reads them in order, every
// later one through the permutation once more. Derived from the permutation at compile time.
struct Blake3MessageSchedule {
    uint8_t word[Blake3Rounds][16];
    constexpr Blake3MessageSchedule() : word() {
        for (int i = 0; i < 16; ++i)
            word[0][i] = uint8_t(i);
        for (int r = 1; r < Blake3Rounds; ++r)
            for (int i = 0; i < 16; ++i)
                word[r][i] = word[r - 1][Blake3Permutation[i]];
    }
};
constexpr Blake3MessageSchedule Blake3Schedule;
