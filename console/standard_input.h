// Standard input as a list to check or as bytes to digest ("-"), as the *sum
// tools take it: a pipe, a file, or a console until Ctrl+Z.
#pragma once

#include <string>

#include "engine/digestor.h"

// The name "-" stands for standard input, among lists and paths alike.
const char* const StandardInputName = "-";

// How messages name it, as sha256sum does.
const char* const StandardInputTitle = "standard input";

// Whether standard input is a console, where a user would have to type.
bool InputIsConsole();

// Reads the whole of standard input into bytes; false when a read failed or a
// stop came.
bool ReadStandardInput(std::string& bytes);

// Digests standard input to its end with kind into digest (lower-case hex);
// false when a read failed or a stop came.
bool DigestStandardInput(DigestKind kind, std::string& digest);
