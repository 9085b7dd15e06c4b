// The lines of the *sum tools of GNU coreutils, as they write them and every
// *sum -c reads them: "digest  path" (sha256sum) and BSD tags
// "SHA256 (path) = digest" (sha256sum --tag). Standard C++ only.
#pragma once

#include <string>

#include "engine/digestor.h"

// Whether a "digest  path" line may hold kind: MD5, SHA1, SHA256 and SHA512
// (md5sum ... sha512sum), SHA3-256 and SHA3-512 (sha3sum), BLAKE3 (b3sum), XXH3
// and XXH128 (xxhsum -H3, -H2); not MD2, MD4 and the CRCs.
bool SumLineTells(DigestKind kind);

// The kinds a "digest  path" line of length hex digits may hold, the one such
// lines most often mean first: 16 XXH3; 32 MD5, XXH128; 40 SHA1; 64 SHA256,
// SHA3-256, BLAKE3; 128 SHA512, SHA3-512. Returns how many; 0 for none.
const size_t MostSumLineKinds = 3;
size_t SumLineKinds(size_t length, DigestKind kinds[MostSumLineKinds]);

// The first of those, the kind such a line most often means; false when none.
bool SumLineKind(size_t length, DigestKind& kind);

// Whether a tag ("NAME (path) = digest", or OpenSSL's "NAME(path)= digest")
// may name kind: every algorithm but MD2 and the two CRCs, whose names other
// tools use for other variants.
bool TagLineNames(DigestKind kind);

// "digest  path"; a path with a backslash or a line end is escaped as
// sha256sum escapes it: the line starts with a backslash, and the name has
// "\\", "\n" and "\r" for them. No line end.
std::string SumLine(const std::string& digest, const std::string& path);

// "NAME (path) = digest", NAME as KindName gives it, escaped as SumLine does.
std::string TagLine(DigestKind kind, const std::string& digest, const std::string& path);

// An escaped name read back: "\\", "\n" and "\r" for a backslash and line
// ends. False for any other escape, which no *sum tool writes.
bool UnescapeName(const std::string& name, std::string& plain);
