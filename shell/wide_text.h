// UTF-16 and UTF-8 inside Explorer, whose narrow code page is not the programs' UTF-8: every
// conversion names its code page, none goes through the process's.
#pragma once

#include <string>

// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8Text(const std::wstring& wide);
// UTF-8 as UTF-16; a malformed byte becomes U+FFFD.
std::wstring WideText(const std::string& utf8);

// What comes after the last separator of path.
std::wstring NameOf(const std::wstring& path);
// What comes before it.
std::wstring FolderOfPath(const std::wstring& path);
