// The drive programs' text at their edges: the command line as UTF-16 words (Wine hands over what
// the Unix locale's character set holds), and UTF-16 made UTF-8 for what they print.
#pragma once

#include <string>
#include <vector>

// The program's arguments, its own name left out.
std::vector<std::wstring> ProgramArguments();

std::string Utf8(const std::wstring& text);
