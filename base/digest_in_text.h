// Finding a digest in free text, as a clipboard or a web page holds it.
// Standard C++ only.
#pragma once

#include <string>

// The first digest in text, in lower case: a run of whole words of hex digits
// ("BA78 16BF", "ba7816bf...") joined by single spaces, of 8, 32, 40, 64 or
// 128 digits in all, the longest such run that starts at the run's first
// word that begins one. A word next to a letter, a digit or a byte of a
// multi-byte character ("SHA256", "0x12") is no hex word; other characters
// (two spaces, a line end, ":", "*") end a run. The empty string when there is
// none.
std::string FindDigestInText(const std::string& text);
