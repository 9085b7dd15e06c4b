// Little- and big-endian words and rotations for the block transforms.
#pragma once

#include <cstdint>

inline uint32_t LoadLE32(const uint8_t* p) {
    // Compilers turn this into one load on little-endian targets; no alignment needed.
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void StoreLE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The SHA family reads and writes its words most significant byte first (a load and a bswap).
inline uint32_t LoadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint64_t LoadBE64(const uint8_t* p) { return (uint64_t(LoadBE32(p)) << 32) | LoadBE32(p + 4); }

inline void StoreBE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

inline void StoreBE64(uint8_t* p, uint64_t v) {
    StoreBE32(p, uint32_t(v >> 32));
    StoreBE32(p + 4, uint32_t(v));
}

inline uint32_t RotateLeft(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }
inline uint32_t RotateRight(uint32_t x, int s) { return (x >> s) | (x << (32 - s)); }
inline uint64_t RotateRight64(uint64_t x, int s) { return (x >> s) | (x << (64 - s)); }
