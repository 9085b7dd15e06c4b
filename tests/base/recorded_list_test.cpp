// Recorded lists: their times, record comments, heading, paths, entries and updates.
#include <gtest/gtest.h>

#include "base/check_tally.h"
#include "base/list_reading.h"
#include "base/recorded_list.h"

namespace {

const std::string Sha256 =
    "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"; // "abc", FIPS 180-4
const std::string Abc = "900150983cd24fb0d6963f7d28e17f72";             // "abc", RFC 1321
const unsigned long long Unix = 116444736000000000ULL;                  // 1970-01-01, `date -u -d @0`

// Ticks worked out with Python's datetime (and `date -u +%s` for 2024-02-29).
struct TimeCase {
    unsigned long long ticks;
    const char* text;
} const Times[] = {
    {0, "1601-01-01T00:00:00.0000000Z"},
    {314496010000005ULL, "1601-12-31T00:00:01.0000005Z"},
    {94405824000000000ULL, "1900-03-01T00:00:00.0000000Z"}, // 1900 has no leap day
    {Unix, "1970-01-01T00:00:00.0000000Z"},
    {125963423990000000ULL, "2000-02-29T23:59:59.0000000Z"},
    {126227807999999999ULL, "2000-12-31T23:59:59.9999999Z"},
    {133536836967890123ULL, "2024-02-29T12:34:56.7890123Z"},
    {2650467743999999999ULL, "9999-12-31T23:59:59.9999999Z"},
};

TEST(UtcTime, WritesAndReadsTheTicksOfKnownDates) {
    for (const TimeCase& c : Times) {
        EXPECT_EQ(UtcTimeText(c.ticks), c.text);
        unsigned long long ticks = 1;
        EXPECT_TRUE(ReadUtcTime(c.text, ticks) && ticks == c.ticks) << c.text;
    }
    // Every day of 1600 years goes there and back.
    for (unsigned long long day = 0; day < 1600 * 366; day += 7) {
        unsigned long long ticks = 0, at = day * 864000000000ULL + day % 86400 * 10000000ULL + day;
        EXPECT_TRUE(ReadUtcTime(UtcTimeText(at), ticks) && ticks == at) << UtcTimeText(at);
    }
}

TEST(UtcTime, ReadsShortFractionsAndRejectsAnythingElse) {
    const unsigned long long leapDay = 133536836960000000ULL; // 2024-02-29T12:34:56Z
    const std::pair<const char*, unsigned long long> good[] = {{"2024-02-29T12:34:56Z", leapDay},
                                                               {"2024-02-29T12:34:56.7Z", leapDay + 7000000},
                                                               {"2024-02-29T12:34:56.000001Z", leapDay + 10}};
    for (const auto& c : good) {
        unsigned long long ticks = 0;
        EXPECT_TRUE(ReadUtcTime(c.first, ticks) && ticks == c.second) << c.first;
    }
    for (const char* bad : {"",
                            "2024-02-29T12:34:56",
                            "2024-02-29T12:34:56.Z",
                            "2024-02-29T12:34:56.12345678Z",
                            "2024-02-29T12:34:56Z ",
                            " 2024-02-29T12:34:56Z",
                            "2024-02-29 12:34:56Z",
                            "2024-02-29t12:34:56z",
                            "2023-02-29T00:00:00Z",
                            "1900-02-29T00:00:00Z",
                            "2024-04-31T00:00:00Z",
                            "2024-13-01T00:00:00Z",
                            "2024-00-01T00:00:00Z",
                            "2024-01-00T00:00:00Z",
                            "2024-01-01T24:00:00Z",
                            "2024-01-01T00:60:00Z",
                            "2024-01-01T00:00:60Z",
                            "1600-12-31T23:59:59Z",
                            "2024-1-01T00:00:00Z",
                            "+024-01-01T00:00:00Z",
                            "2024-01-01T00:00:00.1a2Z",
                            "20240-01-01T00:00:00Z"}) {
        unsigned long long ticks = 0;
        EXPECT_FALSE(ReadUtcTime(bad, ticks)) << bad;
    }
}

TEST(RecordComment, GoesThereAndBackAndRejectsBadValues) {
    const FileRecord records[] = {{1024, 134405001021234567ULL}, {0, 0}, {18446744073709551615ULL, Unix}};
    EXPECT_EQ(RecordComment(records[0]), "# size=1024 mtime=2026-11-30T08:15:02.1234567Z");
    for (const FileRecord& r : records) {
        FileRecord read = {1, 1};
        EXPECT_TRUE(ReadRecordComment(RecordComment(r), read) && read.size == r.size &&
                    read.written == r.written)
            << RecordComment(r);
    }
    const std::string time = " mtime=1970-01-01T00:00:00Z";
    for (const std::string& bad : std::vector<std::string>{
             "# size=18446744073709551616" + time, "# size=" + time, "# size=-1" + time, "# size=+1" + time,
             "# size=1x" + time, "#size=1" + time, "# size=1 " + time, "# size=1 mtime=1970-01-01",
             "# size=1", "# size=1" + time + " ", "  # size=1" + time, Abc + "  a"}) {
        FileRecord read = {7, 7};
        EXPECT_FALSE(ReadRecordComment(bad, read)) << bad;
        EXPECT_EQ(read.size, 7u);
    }
}

TEST(RecordHeading, GoesThereAndBackAmongOtherComments) {
    const RecordHeading heading = {DigestSHA256, Unix, {"Photos", "C:\\Data"}};
    const std::string text = RecordHeadingText(heading);
    EXPECT_EQ(text,
              "# Digestor recorded list\r\n# algorithm=SHA256\r\n# recorded=1970-01-01T00:00:00.0000000Z\r\n"
              "# folder=Photos\r\n# folder=C:\\Data\r\n");
    for (const std::string& list :
         {text, "\xEF\xBB\xBF# made by hand\n" + text + "# size=1 mtime=1970-01-01T00:00:00Z\n" + Sha256 +
                    "  Photos/a\n# folder=late\n"}) {
        RecordHeading read = {DigestMD2, 0, {}};
        EXPECT_TRUE(ReadRecordHeading(list, read));
        EXPECT_EQ(read.algorithm, DigestSHA256);
        EXPECT_EQ(read.recorded, Unix);
        EXPECT_EQ(read.folders, heading.folders);
    }
    const std::string title = "# Digestor recorded list\n", named = "# algorithm=MD4\n",
                      dated = "# recorded=2024-02-29T12:34:56Z\n";
    RecordHeading read;
    EXPECT_TRUE(ReadRecordHeading(title + named + dated, read) && read.algorithm == DigestMD4 &&
                read.folders.empty());
    for (const std::string& bad :
         {named + dated, title + dated, title + named, title + "# algorithm=SHA384\n" + dated,
          title + named + "# recorded=2024-02-30T00:00:00Z\n", "\n" + title + named + dated,
          Sha256 + "  a\n" + title + named + dated}) {
        EXPECT_FALSE(ReadRecordHeading(bad, read)) << bad;
    }
}

TEST(RecordedPath, IsRelativeUnderTheFolderOnly) {
    const char* const cases[][3] = {// list folder, full path, as the list names it
                                    {"C:\\Photos", "C:\\Photos\\2024\\a.jpg", "2024/a.jpg"},
                                    {"C:\\Photos\\", "c:\\PHOTOS\\a.jpg", "a.jpg"},
                                    {"C:/Photos", "C:\\Photos/b\\a.jpg", "b/a.jpg"},
                                    {"C:\\", "C:\\a.jpg", "a.jpg"},
                                    {"\\\\server\\share", "\\\\SERVER\\share\\x", "x"},
                                    {"C:\\Photos", "C:\\PhotosOld\\a.jpg", "C:\\PhotosOld\\a.jpg"},
                                    {"C:\\Photos", "C:\\Photos", "C:\\Photos"},
                                    {"C:\\Photos", "C:\\Photos\\", "C:\\Photos\\"},
                                    {"C:\\Photos", "D:\\Photos\\a.jpg", "D:\\Photos\\a.jpg"},
                                    {"C:\\Ph\xC3\xB6tos", "C:\\PH\xC3\x96TOS\\a", "C:\\PH\xC3\x96TOS\\a"},
                                    {"", "C:\\a", "C:\\a"}};
    for (const auto& c : cases) {
        EXPECT_EQ(RecordedPath(c[0], c[1]), c[2]) << c[0] << " " << c[1];
    }
}

const FileRecord Record = {3, 133536836967890123ULL};
const std::string Comment = "# size=3 mtime=2024-02-29T12:34:56.7890123Z\r\n";

TEST(RecordedEntryText, EscapesAsTheSumToolsDoAndReadsBack) {
    const std::string cases[][2] = {{"Photos/a b.jpg", Sha256 + "  Photos/a b.jpg"},
                                    {"C:\\x\\y", "\\" + Sha256 + "  C:\\\\x\\\\y"},
                                    {"a\nb\rc", "\\" + Sha256 + "  a\\nb\\rc"}};
    for (const auto& c : cases) {
        const std::string text = RecordedEntryText(Sha256, c[0], Record);
        EXPECT_EQ(text, Comment + c[1] + "\r\n");
        const std::vector<ListEntry> read = ReadListText(text);
        ASSERT_EQ(read.size(), 1u);
        // A line end in a name would lead to another file: such a line is never checked.
        const bool checked = c[0].find('\n') == std::string::npos;
        EXPECT_EQ(read[0].isResult, checked);
        if (checked) {
            EXPECT_EQ(read[0].path, c[0]);
            EXPECT_TRUE(read[0].hasRecord && read[0].record.size == 3 &&
                        read[0].record.written == Record.written);
        }
    }
}

// The entries as "kind|digest|path|record" lines, the kind "-" for entries not checked.
std::string Read(const std::string& text) {
    std::string shown;
    for (const ListEntry& e : ReadListText(text)) {
        shown +=
            (e.isResult ? std::to_string(e.algorithm) + "|" + e.digest + "|" : "-|") + e.path +
            (e.hasRecord ? "|" + std::to_string(e.record.size) + "@" + UtcTimeText(e.record.written) : "") +
            "\n";
    }
    return shown;
}

TEST(ReadListText, SkipsCommentsAndTakesARecordOnlyRightBeforeItsLine) {
    const std::string line = Sha256 + "  a", comment = "# size=3 mtime=2024-02-29T12:34:56.7890123Z";
    const std::string entry = "5|" + Sha256 + "|a", recorded = entry + "|3@2024-02-29T12:34:56.7890123Z\n";
    const std::string rule = std::string(80, '-') + "\r\n";
    const std::string cases[][2] = {
        {comment + "\r\n" + line, recorded},
        {"#" + line + "\n" + comment + "\n" + line + "\n" + line, recorded + entry + "\n"},
        {comment + "\n\n" + line, entry + "\n"},                        // not right before
        {"# size=3 mtime=2024-02-30T00:00:00Z\n" + line, entry + "\n"}, // a bad time
        {line + "\n" + comment, entry + "\n"},                          // no line after
        {comment + "\nno line\n" + line, "-|no line\n" + entry + "\n"},
        {"# size=1 mtime=2024-02-29T00:00:00Z\n#\n" + Sha256.substr(0, 8) + "  b",
         "-|" + Sha256.substr(0, 8) + "  b\n"},
        // Digestor's saved lists hold their own lines only, '#' ones too.
        {rule + " Digestor\r\n" + rule + "\r\n#" + Abc + " <- MD5 -> a\r\n" + comment + "\r\n" + line,
         "-|#" + Abc + " <- MD5 -> a\n-|" + comment + "\n-|" + line + "\n"},
        // A recorded list's heading tells the algorithm where the length alone cannot.
        {"# Digestor recorded list\n# algorithm=MD4\n# recorded=2024-02-29T00:00:00Z\n" + comment + "\n" +
             Abc + "  a\nca6598d0  b\n" + line,
         "1|" + Abc + "|a|3@2024-02-29T12:34:56.7890123Z\n-|ca6598d0  b\n" + entry + "\n"},
        {"# Digestor recorded list\n# algorithm=CRC32\n# recorded=2024-02-29T00:00:00Z\nCA6598D0  b\n",
         "3|ca6598d0|b\n"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c[0]), c[1]) << c[0];
        // Entry by entry, as a console check reads it: the lines its warnings name are the list's.
        std::vector<size_t> lineOf, lines;
        const std::vector<ListEntry> whole = ReadListLines(ListLines(c[0]), lineOf);
        ListReader reader(c[0]);
        ListEntry entry;
        for (size_t line = 0; reader.Next(entry, line);) {
            EXPECT_TRUE(lines.size() < whole.size() && whole[lines.size()].path == entry.path) << c[0];
            lines.push_back(line);
        }
        EXPECT_EQ(lines, lineOf) << c[0];
    }
}

TEST(UpdateRecordedText, ReplacesDropsAndAddsLineByLine) {
    const std::string text = "\xEF\xBB\xBF# Digestor recorded list\r\n# algorithm=SHA256\r\n"
                             "# recorded=1970-01-01T00:00:00.0000000Z\r\n# folder=.\r\n# a note\r\n" +
                             Comment + Sha256 + "  kept\r\n" +            // 0: kept
                             Comment + Sha256 + " *replaced\n" +          // 1: replaced, its comment anew
                             "; sfv comment\n" + Sha256 + "  plain\r\n" + // 2: replaced, no comment before
                             Comment + "\\" + Sha256 + "  dropped\\\\x\r\n" + // 3: dropped with its comment
                             "not checked\r\n" +                              // 4: kept
                             "\r\n" + Sha256 + "  no record, dropped";        // 5: dropped
    const FileRecord fresh = {4, Unix};
    const std::string freshComment = "# size=4 mtime=1970-01-01T00:00:00.0000000Z\r\n";
    const std::vector<RecordUpdate> updates = {{RecordKeep, "", {}},        {RecordReplace, Abc, fresh},
                                               {RecordReplace, Abc, fresh}, {RecordDrop, "", {}},
                                               {RecordReplace, Abc, fresh}, {RecordDrop, "", {}}};
    const std::vector<RecordedFile> added = {{Abc, "new/C\\d", fresh}};
    const std::string updated = UpdateRecordedText(text, updates, added, Record.written);
    EXPECT_EQ(updated, "\xEF\xBB\xBF# Digestor recorded list\r\n# algorithm=SHA256\r\n"
                       "# recorded=2024-02-29T12:34:56.7890123Z\r\n# folder=.\r\n# a note\r\n" +
                           Comment + Sha256 + "  kept\r\n" + freshComment + Abc + "  replaced\r\n" +
                           "; sfv comment\r\n" + freshComment + Abc + "  plain\r\n" + "not checked\r\n\r\n" +
                           freshComment + "\\" + Abc + "  new/C\\\\d\r\n");
    // Read again: the same entries, each with its record (the heading says SHA256, the 32 digits MD5).
    const std::string at = "|3@2024-02-29T12:34:56.7890123Z\n", now = "|4@1970-01-01T00:00:00.0000000Z\n";
    EXPECT_EQ(Read(updated), "5|" + Sha256 + "|kept" + at + "2|" + Abc + "|replaced" + now + "2|" + Abc +
                                 "|plain" + now + "-|not checked\n2|" + Abc + "|new/C\\d" + now);
    // Nothing to do: the text stays as it is, time and all.
    EXPECT_EQ(UpdateRecordedText(updated, {}, {}, Record.written), updated);
}

TEST(CheckTally, TellsAllVerdictsOfARecordedCheck) {
    const struct {
        const char*
            verdicts; // by initial: O OK, F FAILED, M MISSING, R READ ERROR, C CORRUPTED, E MODIFIED, N NEW
        bool recorded;
        const char* line;
        bool passed;
    } cases[] = {
        {"OO", false, "2 checked, 2 OK, 0 failed, 0 missing, 1 not checked", true},
        {"OM", false, "2 checked, 1 OK, 0 failed, 1 missing, 1 not checked", false},
        {"FR", false, "2 checked, 0 OK, 2 failed, 0 missing, 1 not checked", false},
        {"", false, "0 checked, 0 OK, 0 failed, 0 missing, 1 not checked", false},
        {"OEEN", true,
         "3 checked, 1 OK, 0 corrupted, 2 modified, 0 failed, 0 missing, 0 read errors, 1 new, 1 not checked",
         true},
        {"OCN", true,
         "2 checked, 1 OK, 1 corrupted, 0 modified, 0 failed, 0 missing, 0 read errors, 1 new, 1 not checked",
         false},
        {"RMFO", true,
         "4 checked, 1 OK, 0 corrupted, 0 modified, 1 failed, 1 missing, 1 read errors, 0 new, 1 not checked",
         false},
        {"N", true,
         "0 checked, 0 OK, 0 corrupted, 0 modified, 0 failed, 0 missing, 0 read errors, 1 new, 1 not checked",
         false}};
    const std::string initials = "OFMRCEN";
    for (const auto& c : cases) {
        CheckTally tally = {};
        tally.notChecked = 1;
        tally.recorded = c.recorded;
        for (const char* v = c.verdicts; *v; ++v) {
            CountVerdict(tally, static_cast<Verdict>(initials.find(*v)));
        }
        EXPECT_EQ(TallyLine(tally), c.line);
        EXPECT_EQ(CheckPassed(tally), c.passed) << c.verdicts;
    }
    const char* const words[] = {"OK", "FAILED", "MISSING", "READ ERROR", "CORRUPTED", "MODIFIED", "NEW"};
    for (size_t v = 0; v < initials.size(); ++v) {
        EXPECT_STREQ(VerdictText(static_cast<Verdict>(v)), words[v]);
    }
}

} // namespace
