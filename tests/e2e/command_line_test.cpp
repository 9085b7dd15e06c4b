// Command lines built for CreateProcess split back into the same arguments by CommandLineToArgvW.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "tests/e2e/command_line.h"

namespace {

// CommandLineToArgvW, the splitter of the program under test, as the independent reader.
std::vector<std::string> Split(const std::string& commandLine) {
    std::wstring wide;
    for (char c : commandLine) // ASCII only in these tests
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> result;
    for (int i = 0; arguments && i < count; ++i) {
        std::string argument;
        for (const wchar_t* c = arguments[i]; *c; ++c)
            argument += static_cast<char>(*c);
        result.push_back(argument);
    }
    LocalFree(arguments);
    return result;
}

TEST(CommandLine, ArgumentsSurviveTheRoundTrip) {
    const std::vector<std::string> arguments = {
        "plain",     "C:\\Program Files\\x.txt", "", "say \"hi\"", "trailing\\", "space \\", "a\\\\\"b",
        "tab\there", "\\\\server\\share\\",
    };
    std::vector<std::string> expected = {"C:\\bin\\Digestor.exe"};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(Split(BuildCommandLine("C:\\bin\\Digestor.exe", arguments)), expected);
}

TEST(CommandLine, ProgramPathWithBlanks) {
    std::vector<std::string> expected = {"C:\\My Tools\\Digestor.exe", "x"};
    EXPECT_EQ(Split(BuildCommandLine("C:\\My Tools\\Digestor.exe", {"x"})), expected);
}

TEST(CommandLine, PlainArgumentsAreNotQuoted) {
    EXPECT_EQ(BuildCommandLine("prog", {"a", "b\\c"}), "prog a b\\c");
}

} // namespace
