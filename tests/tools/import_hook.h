// Replaces a function the test program imports by ordinal, in the program's
// own import address table: every call the program's code makes through the
// import then reaches the replacement, with exactly the arguments that would
// have gone to the library.
#pragma once

#include <windows.h>

// Puts replacement in the slot of ordinal imported from dllName by module;
// the function the slot held, or null when module has no such import.
void* ReplaceImport(HMODULE module, const char* dllName, WORD ordinal, void* replacement);
