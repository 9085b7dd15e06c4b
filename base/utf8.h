// UTF-8 byte rules. Standard C++ only, so the portable list reading and its
// native tests share them.
#pragma once

#include <stddef.h>

#include <string>

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). ASCII is.
bool IsUtf8(const std::string& bytes);

// The longest length of at most limit bytes of text that does not end inside
// a UTF-8 sequence.
size_t Utf8Cut(const char* text, size_t limit);

// The characters in UTF-8 text: the columns it takes on a console, wide scripts aside.
size_t Utf8Characters(const std::string& text);
