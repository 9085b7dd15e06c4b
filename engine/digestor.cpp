// Reference counting and the factory that picks a digestor by DigestKind.
#include "engine/digestor.h"

#include "engine/blake3.h"
#include "engine/crc32.h"
#include "engine/md2.h"
#include "engine/md4.h"
#include "engine/md5.h"
#include "engine/sha1.h"
#include "engine/sha256.h"
#include "engine/sha3.h"
#include "engine/sha512.h"
#include "engine/xxh3.h"

void IRefCount::Release() {
    // Plain integer: a digestor never leaves the thread that owns it.
    if (--m_refCount == 0)
        delete this;
}

IDigestor* CreateDigestor(DigestKind kind) {
    // A constructor that throws (MD2/MD4 state block) has its object freed by
    // the new-expression, so a failed creation leaves nothing behind.
    switch (kind) {
    case DigestMD2:
        return new CDigestor_MD2;
    case DigestMD4:
        return new CDigestor_MD4;
    case DigestCRC32:
        return new CDigestor_CRC32;
    case DigestSHA1:
        return new CDigestor_SHA1;
    case DigestSHA256:
        return new CDigestor_SHA256;
    case DigestSHA512:
        return new CDigestor_SHA512;
    case DigestZipCRC32:
        return new CDigestor_ZipCRC32;
    case DigestSHA3_256:
        return new CDigestor_SHA3_256;
    case DigestSHA3_512:
        return new CDigestor_SHA3_512;
    case DigestBLAKE3:
        return new CDigestor_BLAKE3;
    case DigestXXH3:
        return new CDigestor_XXH3(Xxh3Width::Bits64);
    case DigestXXH128:
        return new CDigestor_XXH3(Xxh3Width::Bits128);
    default:
        return new CDigestor_MD5;
    }
}
