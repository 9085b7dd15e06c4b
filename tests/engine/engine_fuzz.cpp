// libFuzzer target: any bytes through every digestor, in pieces whose sizes the first four bytes give; the
// split never changes a digest and every digest but MD2's matches its oracle. The fifth byte's low bit
// forces the portable SHA code, so both SHA paths meet the fuzzer.
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
    for (DigestKind kind = DigestMD2; kind <= DigestZipCRC32; ++kind) {
        DigestorHolder d(kind);
        const std::string whole = Feed(d.Get(), data + skip, size - skip);
        if (whole != Feed(d.Get(), data + skip, size - skip, pieces) ||
            (kind != DigestMD2 && whole != Oracle(kind, data + skip, size - skip))) {
            std::fprintf(stderr, "kind %d, %zu bytes: split or oracle differs\n", int(kind), size - skip);
            std::abort();
        }
    }
    return 0;
}
