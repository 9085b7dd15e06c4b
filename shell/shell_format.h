// A language module's string with its arguments put in, by FormatMessageW's own inserts (%1, %2!u!):
// the wording decides the order, and no text of a user or a file is ever taken as a format.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// String id of module with arguments (each a pointer to wide text or an unsigned number, as the
// insert says); the empty text when module lacks it or the format is broken.
std::wstring FormatShellText(HMODULE module, UINT id, std::initializer_list<DWORD_PTR> arguments);
