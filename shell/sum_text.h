// The *sum forms of the page's digests: the line a list or the clipboard gets, and the digest in
// what the user types or pastes into the compare box. Standard C++ only.
#pragma once

#include <string>

// "hex  name" and a line end (CR LF); the escaped form of GNU's *sum ("\hex  name", the name's
// backslashes and line ends escaped) when name holds either.
std::string SumLine(const std::string& digest, const std::string& name);

// The digest in text, lower case: the digits of a line as sha256sum writes it ("hex  name",
// "hex *name"), of a BSD tag ("SHA256 (name) = hex"), or of the first line alone, in any case and
// with spaces, colons or hyphens between its digits; else the first digest FindDigestInText finds.
// 8, 32, 40, 64 or 128 digits; the empty string when there is none.
std::string TypedDigest(const std::string& text);
