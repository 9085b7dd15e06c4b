// libFuzzer target: any bytes through all four digestors, in pieces whose sizes the first four bytes give;
// the split never changes a digest and every digest but MD2's matches its oracle.
#define DIGESTOR_WITH_OPENSSL
#include "tests/engine/oracles.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t skip = size < 4 ? size : 4;
    std::vector<size_t> pieces(data, data + skip);
    pieces.push_back(1); // sizes of 0 too, but never only those
    for (DigestKind kind = 0; kind <= 3; ++kind) {
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
