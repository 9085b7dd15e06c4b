// The digest in what the user types or pastes into the page's compare box. Standard C++ only.
#pragma once

#include <string>

// The digest in text, lower case: the digits of a line as sha256sum writes it ("hex  name",
// "hex *name"), of a BSD tag ("SHA256 (name) = hex"), or of the first line alone, in any case and
// with spaces, colons or hyphens between its digits; else the first digest FindDigestInText finds.
// 8, 32, 40, 64 or 128 digits; the empty string when there is none.
std::string TypedDigest(const std::string& text);
