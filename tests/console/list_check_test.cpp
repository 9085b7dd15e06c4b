// Reading lists in their three forms, and what the check's verdicts add up to.
#include <gtest/gtest.h>

#include "console/list_check.h"

namespace {

const std::string Abc = "900150983cd24fb0d6963f7d28e17f72"; // MD5 of "abc", RFC 1321
const std::string Rule = std::string(80, '-') + "\r\n";

std::string Heading(const char* text) { return Rule + std::string(17, ' ') + text + "\r\n" + Rule + "\r\n"; }

// The entries as "kind|digest|path" lines, the kind "-" for entries not checked.
std::string Read(const std::string& text) {
    std::string shown;
    for (const ListEntry& e : ReadListText(text)) {
        shown += (e.isResult ? std::to_string(e.algorithm) + "|" + e.digest + "|" : "-|") + e.path + "\n";
    }
    return shown;
}

TEST(ReadListText, TakesResultLinesOfEveryFormAndSkipsTheHeadingInEitherLanguage) {
    EXPECT_EQ(Read(Heading("Digestor v3 - List of checksums") + Abc + " <- MD5 -> C:\\a b.txt\r\n\r\n" + Abc +
                   " <- md2 -> a\r\n"),
              "2|" + Abc + "|C:\\a b.txt\n0|" + Abc + "|a\n");
    EXPECT_EQ(Read(Heading("Digestor v3 - Liste der Pr\374fsummen") + "CA6598D0 <- CRC32 -> x -> y\r\n"),
              "3|ca6598d0|x -> y\n");
    EXPECT_EQ(Read(Abc + "  sub/a.txt\n900150983CD24FB0D6963F7D28E17F72 *\xE9 & 100%.bin\n"),
              "2|" + Abc + "|sub/a.txt\n2|" + Abc + "|\xE9 & 100%.bin\n");
    // Paths not digested, failure lines, digests of the wrong length or algorithm, no path, a
    // control character in the path (a NUL byte would cut it to another file's name).
    for (const std::string& line : std::vector<std::string>{
             "C:\\a.txt", "(cannot open) <- MD5 -> C:\\a.txt", "ca6598d0 <- MD5 -> a", Abc + " <- CRC32 -> a",
             Abc + " <- SHA1 -> a", Abc + " a", Abc + " <- MD4 -> ", Rule.substr(0, 80),
             Abc + " <- MD5 -> a" + std::string(1, '\0') + ".txt", Abc + "  a\tb", Abc + " *a\x1b",
             Abc + "  a\x7f"}) {
        EXPECT_EQ(Read(line + "\r\n" + line + "\r\n"), "-|" + line + "\n-|" + line + "\n");
    }
}

TEST(CheckTally, AddsVerdictsUpToTheSummaryAndTheExitCode) {
    const char* const cases[][3] = {
        // verdicts by initial (O OK, F FAILED, M MISSING, R READ ERROR), tally, exit
        {"OO", "2 checked, 2 OK, 0 failed, 0 missing, 1 not checked", "0"},
        {"OM", "2 checked, 1 OK, 0 failed, 1 missing, 1 not checked", "1"},
        {"FR", "2 checked, 0 OK, 2 failed, 0 missing, 1 not checked", "1"}};
    for (const auto& c : cases) {
        CheckTally tally = {0, 0, 0, 0, 1};
        for (const char* v = c[0]; *v; ++v) {
            CountVerdict(tally, static_cast<Verdict>(std::string("OFMR").find(*v)));
        }
        EXPECT_EQ(TallyLine(tally), c[1]);
        EXPECT_EQ(CheckExitCode(tally), std::stoi(c[2])) << c[1];
    }
}

} // namespace
