#include "tests/e2e/command_line.h"

void AppendArgument(std::string& commandLine, const std::string& argument) {
    if (!commandLine.empty())
        commandLine += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        commandLine += argument;
        return;
    }
    // Inside quotes, backslashes are literal unless they precede a quote: those before a quote
    // (and before the closing quote) are doubled, and the quote itself is escaped.
    commandLine += '"';
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            commandLine.append(backslashes * 2 + 1, '\\');
        else
            commandLine.append(backslashes, '\\');
        backslashes = 0;
        commandLine += c;
    }
    commandLine.append(backslashes * 2, '\\');
    commandLine += '"';
}

std::string BuildCommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    // The program name is parsed by simpler rules (no escapes), which a path without quotes meets.
    std::string commandLine;
    if (program.find_first_of(" \t") != std::string::npos)
        commandLine = '"' + program + '"';
    else
        commandLine = program;
    for (const std::string& argument : arguments)
        AppendArgument(commandLine, argument);
    return commandLine;
}
