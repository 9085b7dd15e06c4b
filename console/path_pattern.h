// Wildcards on the command line. A Windows console hands a program "*.iso" as
// it was typed (the *sum tools of Git for Windows expand it themselves), so
// DigestorCmd expands it.
#pragma once

#include <string>
#include <vector>

// The paths argument names: itself, or, when its last name holds "*" or "?"
// and nothing has that very name, the files and folders that match it, in the
// order the folder lists them (as the walk takes them), each written as the
// argument's folder part followed by the name. A pattern that matches nothing
// stays as it is, and so is reported as a file that cannot be opened.
std::vector<std::string> ExpandPattern(const std::string& argument);
