#include "base/recorded_list.h"

#include <stdio.h>

#include <chrono>

#include "base/algorithm_names.h"
#include "base/list_reading.h"
#include "base/sum_line.h"

namespace {

const std::string Title = "# Digestor recorded list";
const std::string AlgorithmKey = "# algorithm=";
const std::string RecordedKey = "# recorded=";
const std::string FolderKey = "# folder=";
const std::string SizeKey = "# size=";
const std::string TimeKey = " mtime=";
const std::string LineEnd = "\r\n";

const unsigned long long TicksPerSecond = 10000000ULL;
const unsigned long long TicksPerDay = 86400 * TicksPerSecond;
const int FractionDigits = 7;

// Days from 1970-01-01 to the date of the proleptic Gregorian calendar
// (H. Hinnant's days_from_civil), for years from 1 on.
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = year / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The inverse, for days from 0000-03-01 on.
void CivilFromDays(long long days, long long& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = days / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// A FILETIME counts from here.
const long long EpochDays = DaysFromCivil(1601, 1, 1);

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads count decimal digits at text[at] into value and moves at past them.
bool ReadDigits(const std::string& text, size_t& at, int count, unsigned& value) {
    value = 0;
    for (int i = 0; i < count; ++i, ++at) {
        if (at >= text.size() || !IsDigit(text[at])) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
    }
    return true;
}

bool ReadMark(const std::string& text, size_t& at, char mark) {
    if (at < text.size() && text[at] == mark) {
        ++at;
        return true;
    }
    return false;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// A decimal number of 64 bits, nothing else.
bool ReadCount(const std::string& text, unsigned long long& value) {
    value = 0;
    for (char c : text) {
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (!IsDigit(c) || value > (~0ULL - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return !text.empty();
}

// The lines that open a list with '#': where a recorded list keeps its heading.
size_t CommentLinesAtTop(const std::vector<std::string>& lines) {
    size_t count = 0;
    while (count < lines.size() && !lines[count].empty() && lines[count][0] == '#') {
        ++count;
    }
    return count;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

} // namespace

bool SameWriteTime(unsigned long long a, unsigned long long b) {
    return (a > b ? a - b : b - a) <= SameTimeTicks;
}

std::string UtcTimeText(unsigned long long ticks) {
    long long year;
    unsigned month, day;
    CivilFromDays(static_cast<long long>(ticks / TicksPerDay) + EpochDays, year, month, day);
    const unsigned long long inDay = ticks % TicksPerDay;
    const unsigned seconds = static_cast<unsigned>(inDay / TicksPerSecond);
    char text[64];
    snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02u.%07uZ", year, month, day, seconds / 3600,
             seconds / 60 % 60, seconds % 60, static_cast<unsigned>(inDay % TicksPerSecond));
    return text;
}

bool ReadUtcTime(const std::string& text, unsigned long long& ticks) {
    size_t at = 0;
    unsigned year, month, day, hour, minute, second;
    if (!ReadDigits(text, at, 4, year) || !ReadMark(text, at, '-') || !ReadDigits(text, at, 2, month) ||
        !ReadMark(text, at, '-') || !ReadDigits(text, at, 2, day) || !ReadMark(text, at, 'T') ||
        !ReadDigits(text, at, 2, hour) || !ReadMark(text, at, ':') || !ReadDigits(text, at, 2, minute) ||
        !ReadMark(text, at, ':') || !ReadDigits(text, at, 2, second)) {
        return false;
    }
    unsigned long long fraction = 0;
    if (ReadMark(text, at, '.')) {
        int digits = 0;
        for (; at < text.size() && IsDigit(text[at]); ++at, ++digits) {
            fraction = fraction * 10 + static_cast<unsigned>(text[at] - '0');
        }
        if (digits == 0 || digits > FractionDigits) {
            return false;
        }
        for (; digits < FractionDigits; ++digits) {
            fraction *= 10;
        }
    }
    if (!ReadMark(text, at, 'Z') || at != text.size() || year < 1601 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    const unsigned long long days =
        static_cast<unsigned long long>(DaysFromCivil(year, month, day) - EpochDays);
    ticks = days * TicksPerDay + ((hour * 60ULL + minute) * 60 + second) * TicksPerSecond + fraction;
    return true;
}

std::string RecordComment(const FileRecord& record) {
    return SizeKey + std::to_string(record.size) + TimeKey + UtcTimeText(record.written);
}

bool ReadRecordComment(const std::string& line, FileRecord& record) {
    const size_t time = line.find(TimeKey);
    FileRecord read;
    if (!StartsWith(line, SizeKey) || time == std::string::npos ||
        !ReadCount(line.substr(SizeKey.size(), time - SizeKey.size()), read.size) ||
        !ReadUtcTime(line.substr(time + TimeKey.size()), read.written)) {
        return false;
    }
    record = read;
    return true;
}

std::string RecordHeadingText(const RecordHeading& heading) {
    std::string text = Title + LineEnd + AlgorithmKey + KindName(heading.algorithm) + LineEnd + RecordedKey +
                       UtcTimeText(heading.recorded) + LineEnd;
    for (const std::string& folder : heading.folders) {
        text += FolderKey + folder + LineEnd;
    }
    return text;
}

bool ReadRecordHeading(const std::string& text, RecordHeading& heading) {
    return ListReader(text).Recorded(heading);
}

bool ReadRecordHeadingLines(const std::vector<std::string>& lines, RecordHeading& heading) {
    bool titled = false, named = false, dated = false;
    RecordHeading read = {DigestMD5, 0, {}};
    for (size_t i = 0, end = CommentLinesAtTop(lines); i < end; ++i) {
        const std::string& line = lines[i];
        if (line == Title) {
            titled = true;
        } else if (StartsWith(line, AlgorithmKey)) {
            named = FindAlgorithm(line.substr(AlgorithmKey.size()), read.algorithm);
        } else if (StartsWith(line, RecordedKey)) {
            dated = ReadUtcTime(line.substr(RecordedKey.size()), read.recorded);
        } else if (StartsWith(line, FolderKey)) {
            read.folders.push_back(line.substr(FolderKey.size()));
        }
    }
    if (!titled || !named || !dated) {
        return false;
    }
    heading = read;
    return true;
}

std::string RecordedEntryText(const std::string& digest, const std::string& path, const FileRecord& record) {
    return RecordComment(record) + LineEnd + SumLine(digest, path) + LineEnd;
}

std::string RecordedPath(const std::string& listFolder, const std::string& fullPath) {
    size_t folderEnd = listFolder.size();
    while (folderEnd > 0 && IsSeparator(listFolder[folderEnd - 1])) {
        --folderEnd;
    }
    if (folderEnd == 0 || fullPath.size() <= folderEnd + 1 || !IsSeparator(fullPath[folderEnd])) {
        return fullPath;
    }
    for (size_t i = 0; i < folderEnd; ++i) {
        const char a = listFolder[i], b = fullPath[i];
        if (AsciiLower(a) != AsciiLower(b) && !(IsSeparator(a) && IsSeparator(b))) {
            return fullPath;
        }
    }
    std::string relative = fullPath.substr(folderEnd + 1);
    for (char& c : relative) {
        c = c == '\\' ? '/' : c;
    }
    return relative;
}

std::string RecordedFolder(const std::string& listFolder, const std::string& folder) {
    // Under the list's folder, "." is a name like any other.
    const std::string named = RecordedPath(listFolder, folder + "\\.");
    return named == "." ? named : RecordedPath(listFolder, folder);
}

unsigned long long TimeNow() {
    // The system clock counts from 1970-01-01 UTC, a record from 1601-01-01.
    const unsigned long long since1970 = static_cast<unsigned long long>(
        std::chrono::duration_cast<std::chrono::duration<long long, std::ratio<1, 10000000>>>(
            std::chrono::system_clock::now().time_since_epoch())
            .count());
    return since1970 + 116444736000000000ULL;
}

RecordUpdate UpdateFor(Verdict verdict, const std::string& digest, const FileRecord& found) {
    const RecordUpdate keep = {RecordKeep, std::string(), {0, 0}};
    const RecordUpdate replace = {RecordReplace, digest, found};
    const RecordUpdate drop = {RecordDrop, std::string(), {0, 0}};
    return verdict == VerdictModified ? replace : verdict == VerdictMissing ? drop : keep;
}

RecordedListUpdate::RecordedListUpdate(const std::string& text, unsigned long long now, UpdateTextOut out,
                                       void* context)
    : m_text(text), m_now(now), m_out(out), m_context(context), m_at(ListTextStart(text)), m_line(0),
      m_top(true), m_made(text, 0, m_at) {}

void RecordedListUpdate::Made() {
    // Held no longer than a few lines of a big list.
    const size_t HeldText = 64 * 1024;
    if (m_made.size() >= HeldText) {
        Flush();
    }
}

void RecordedListUpdate::Flush() {
    m_out(m_made, m_context);
    m_made.clear();
}

void RecordedListUpdate::PassLine(const std::string& line) {
    // The heading is the comment lines that open the list.
    m_top = m_top && !line.empty() && line[0] == '#';
    m_made += m_top && StartsWith(line, RecordedKey) ? RecordedKey + UtcTimeText(m_now) : line;
    m_made += LineEnd;
    Made();
}

void RecordedListUpdate::PassLinesBefore(size_t line) {
    std::string text;
    for (; m_line < line && TakeListLine(m_text, m_at, text); ++m_line) {
        PassLine(text);
    }
}

void RecordedListUpdate::Change(size_t line, const ListEntry& entry, const RecordUpdate& update) {
    // A line not checked has no digest to replace.
    if (update.action == RecordKeep || (update.action == RecordReplace && !entry.isResult) || line < m_line) {
        return;
    }
    std::string text;
    if (line > m_line) {
        PassLinesBefore(line - 1);
        // The record comment goes with its line.
        if (TakeListLine(m_text, m_at, text) && !entry.hasRecord) {
            PassLine(text);
        }
        ++m_line;
    }
    TakeListLine(m_text, m_at, text);
    ++m_line;
    m_top = false;
    if (update.action == RecordReplace) {
        m_made += RecordedEntryText(update.digest, entry.path, update.record);
        Made();
    }
}

void RecordedListUpdate::End() { PassLinesBefore(static_cast<size_t>(-1)); }

void RecordedListUpdate::Add(const RecordedFile& file) {
    m_made += RecordedEntryText(file.digest, file.path, file.record);
    Made();
}

namespace {

void AppendText(std::string& text, void* context) { *static_cast<std::string*>(context) += text; }

} // namespace

std::string UpdateRecordedText(const std::string& text, const std::vector<RecordUpdate>& updates,
                               const std::vector<RecordedFile>& added, unsigned long long now) {
    std::string result;
    RecordedListUpdate update(text, now, AppendText, &result);
    ListReader reader(text);
    ListEntry entry;
    size_t line = 0;
    for (size_t i = 0; i < updates.size() && reader.Next(entry, line); ++i) {
        update.Change(line, entry, updates[i]);
    }
    update.End();
    for (const RecordedFile& file : added) {
        update.Add(file);
    }
    update.Flush();
    return result;
}
