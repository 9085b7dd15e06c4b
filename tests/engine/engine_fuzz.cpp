// libFuzzer target: arbitrary bytes in arbitrary splits through all four
// digestors; the split never matters and every digest agrees with its oracle.
#include <cstdio>
#include <cstdlib>

#include "tests/engine/digest_helpers.h"
#include "tests/engine/openssl_oracle.h"

namespace {

void Check(bool ok, const char* what, DigestKind kind, size_t size) {
    if (!ok) {
        std::fprintf(stderr, "%s: %s, %zu bytes\n", what, KindName(kind), size);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first four bytes seed the split sizes; the rest is the message.
    uint32_t seed = 0;
    for (size_t i = 0; i < 4 && i < size; ++i)
        seed = (seed << 8) | data[i];
    const size_t skip = size < 4 ? size : 4;
    const uint8_t* message = data + skip;
    const size_t length = size - skip;

    for (DigestKind kind = 0; kind <= 3; ++kind) {
        DigestorRef d(kind);
        const std::string whole = DigestInPieces(d.get(), message, length, 0);
        std::mt19937 rng(seed);
        const std::string split = DigestInRandomPieces(d.get(), message, length, rng, 1 + seed % 200);
        Check(split == whole, "split changed the digest", kind, length);

        std::string oracle;
        switch (kind) {
        case DigestMD2:
            oracle = OneShotMd2(message, length);
            break;
        case DigestMD4:
            oracle = OpenSslHex("MD4", message, length);
            break;
        case DigestMD5:
            oracle = OpenSslHex("MD5", message, length);
            break;
        default:
            oracle = Hex32(BitwiseCrc(message, length));
            break;
        }
        Check(whole == oracle, "digest differs from the oracle", kind, length);
    }
    return 0;
}
