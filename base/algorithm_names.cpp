#include "base/algorithm_names.h"

namespace {

// By DigestKind.
const char* const Names[KindCount] = {"MD2",    "MD4",    "MD5",         "CRC32",    "SHA1",
                                      "SHA256", "SHA512", "CRC32 (zip)", "SHA3-256", "SHA3-512",
                                      "BLAKE3", "XXH3",   "XXH128"};

} // namespace

const DigestKind BoxKinds[12] = {DigestMD2,      DigestMD4,    DigestMD5,    DigestCRC32,
                                 DigestSHA1,     DigestSHA256, DigestSHA512, DigestSHA3_256,
                                 DigestSHA3_512, DigestBLAKE3, DigestXXH3,   DigestXXH128};

int BoxPosition(DigestKind kind) {
    for (size_t i = 0; i < BoxKindCount; ++i) {
        if (BoxKinds[i] == kind) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const char* KindName(DigestKind kind) {
    return kind >= DigestMD2 && kind <= LastDigestKind ? Names[kind] : Names[DigestMD5];
}
