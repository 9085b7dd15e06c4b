// libFuzzer target: any bytes through every digestor, in pieces whose sizes the first four bytes give; the
// split never changes a digest and every digest with an oracle matches it (BLAKE3 and XXH3 have none
// in-process: their vector paths are held against the portable one instead). The fifth byte's low bit
// forces the portable SHA code and its next three bits limit the vector level, so every path meets the
// fuzzer.
#define DIGESTOR_WITH_OPENSSL
#include "tests/engine/oracles.h"

#include "engine/cpu_features.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t skip = size < 4 ? size : 4;
    std::vector<size_t> pieces(data, data + skip);
    pieces.push_back(1); // sizes of 0 too, but never only those
    ForcePortableSha(size > 4 && (data[4] & 1));
    LimitVectorLevel(VectorLevel(size > 4 ? (data[4] >> 1) % 5 : 4));
    for (DigestKind kind = DigestMD2; kind <= DigestXXH128; ++kind) {
        DigestorHolder d(kind);
        const std::string whole = Feed(d.Get(), data + skip, size - skip);
        const std::string oracle = Oracle(kind, data + skip, size - skip);
        bool differs =
            whole != Feed(d.Get(), data + skip, size - skip, pieces) || (!oracle.empty() && whole != oracle);
        if (kind == DigestBLAKE3 || kind == DigestXXH3 || kind == DigestXXH128) {
            const VectorLevel chosen = UseVectorLevel();
            LimitVectorLevel(VectorLevel::Portable);
            differs |= whole != Feed(DigestorHolder(kind).Get(), data + skip, size - skip);
            LimitVectorLevel(chosen);
        }
        if (differs) {
            std::fprintf(stderr, "kind %d, %zu bytes: split or oracle differs\n", int(kind), size - skip);
            std::abort();
        }
    }
    return 0;
}
