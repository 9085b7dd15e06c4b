// The lines of the *sum tools of GNU coreutils, as they write them and every
// *sum -c reads them: "digest  path" (sha256sum) and BSD tags
// "SHA256 (path) = digest" (sha256sum --tag). Standard C++ only.
#pragma once

#include <string>

#include "engine/digestor.h"

// Whether a "digest  path" line tells kind by the digest's length: MD5, SHA1,
// SHA256 and SHA512, the lines of md5sum, sha1sum, sha256sum and sha512sum.
bool SumLineTells(DigestKind kind);

// The kind a "digest  path" line of length hex digits holds; false when none.
bool SumLineKind(size_t length, DigestKind& kind);

// Whether a tag ("NAME (path) = digest", or OpenSSL's "NAME(path)= digest")
// may name kind: every algorithm but MD2 and the two CRCs, whose names other
// tools use for other variants.
bool TagLineNames(DigestKind kind);

// "digest  path"; a path with a backslash or a line end is escaped as
// sha256sum escapes it: the line starts with a backslash, and the name has
// "\\", "\n" and "\r" for them. No line end.
std::string SumLine(const std::string& digest, const std::string& path);

// "NAME (path) = digest", NAME from AlgorithmNames, escaped as SumLine does.
std::string TagLine(DigestKind kind, const std::string& digest, const std::string& path);

// An escaped name read back: "\\", "\n" and "\r" for a backslash and line
// ends. False for any other escape, which no *sum tool writes.
bool UnescapeName(const std::string& name, std::string& plain);
