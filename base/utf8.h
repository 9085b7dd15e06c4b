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
