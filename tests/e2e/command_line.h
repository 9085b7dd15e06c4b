// Building a Windows command line that CommandLineToArgvW and the C runtime split back into
// exactly the arguments it was built from.
#pragma once

#include <string>
#include <vector>

// Appends argument to commandLine, separated by a blank and quoted only when it has to be.
void AppendArgument(std::string& commandLine, const std::string& argument);

// The command line for program followed by arguments.
std::string BuildCommandLine(const std::string& program, const std::vector<std::string>& arguments);
