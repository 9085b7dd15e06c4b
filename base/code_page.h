// Narrow text is in the process code page, which the manifests make UTF-8.
// These are the few places where it meets UTF-16 (the platform's paths, the
// console, text drawn with a font of its own) or legacy bytes (old lists).
#pragma once

#include <windows.h>

#include <string>

// Whether the process code page is UTF-8 (the manifest was honoured).
bool CodePageIsUtf8();

// text in the process code page as UTF-16.
std::wstring ToWide(const std::string& text);

// UTF-16 in the process code page, only when every character converts
// exactly: no best fit, no default character. False otherwise, with narrow
// then holding a form to show (never to open).
bool ToNarrow(const std::wstring& wide, std::string& narrow);

// The longest length of at most limit bytes that ends on a character boundary
// of text (length bytes), so that a cut never splits a character.
size_t CharacterCut(const char* text, size_t length, size_t limit);

// text cut to at most limit bytes on a character boundary.
std::string CutText(const std::string& text, size_t limit);

// Copies text into buffer (size bytes), cut on a character boundary.
void CopyCut(char* buffer, size_t size, const char* text);

// Text for a file or a redirected stream: UTF-8 whatever the process code page.
std::string ToUtf8(const std::string& text);

// A list's bytes in the process code page: taken as UTF-8 when they are valid
// UTF-8, else in the legacy ANSI code page of the user's locale (as lists of
// earlier versions were saved). Characters the process code page lacks are
// left as the conversion shows them.
std::string FromListBytes(const std::string& bytes);
// The same in place: bytes that are text already stay where they are, so a big list is not copied.
void MakeListText(std::string& bytes);
