#include "base/algorithm_names.h"

// The zip CRC of SFV files is read by checks only: no box offers it.
const char* const AlgorithmNames[DigestSHA512 + 1] = {"MD2",  "MD4",    "MD5",   "CRC32",
                                                      "SHA1", "SHA256", "SHA512"};

const char* KindName(DigestKind kind) {
    return kind >= DigestMD2 && kind <= DigestSHA512 ? AlgorithmNames[kind]
           : kind == DigestZipCRC32                  ? "CRC32 (zip)"
                                                     : "MD5";
}
