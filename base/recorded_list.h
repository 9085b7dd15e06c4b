// Recorded lists: sha256sum-style lists (any *sum length) whose comment lines
// remember each file's size and last-write time, so that a check can tell a
// file that decayed from one that was edited. *sum tools skip the comments.
//
//   # Digestor recorded list
//   # algorithm=SHA256
//   # recorded=2026-12-07T14:00:00.0000000Z
//   # folder=Photos
//   # size=1024 mtime=2026-11-30T08:15:02.1234567Z
//   <hex>  Photos/a.jpg
//
// Standard C++ only.
#pragma once

#include <string>
#include <vector>

#include "base/check_tally.h"
#include "engine/digestor.h"

// A file's size and last-write time; times are 100-ns ticks since
// 1601-01-01 UTC, a FILETIME's value.
struct FileRecord {
    unsigned long long size;
    unsigned long long written;
};

// Two last-write times within this many ticks count as the same: FAT keeps
// times in 2-second steps, and a copy to such a disk must not look edited.
const unsigned long long SameTimeTicks = 20000000ULL;

// True when last-write times a and b lie within SameTimeTicks, either way.
bool SameWriteTime(unsigned long long a, unsigned long long b);

// "YYYY-MM-DDTHH:MM:SS.fffffffZ", and back (1 to 7 fraction digits, or none).
std::string UtcTimeText(unsigned long long ticks);
bool ReadUtcTime(const std::string& text, unsigned long long& ticks);

// "# size=BYTES mtime=TIME", and back: false for any other line or a value
// that does not parse.
std::string RecordComment(const FileRecord& record);
bool ReadRecordComment(const std::string& line, FileRecord& record);

// What the first comment lines of a recorded list say.
struct RecordHeading {
    DigestKind algorithm;
    unsigned long long recorded;      // when the list was recorded
    std::vector<std::string> folders; // each as the list names it (RecordedPath)
};

// The heading's lines, CR LF after each.
std::string RecordHeadingText(const RecordHeading& heading);
// The heading of a list's whole text; false when the text is no recorded list.
bool ReadRecordHeading(const std::string& text, RecordHeading& heading);
// The same for a list's lines (ListLines).
bool ReadRecordHeadingLines(const std::vector<std::string>& lines, RecordHeading& heading);

// One file of a recorded list: its record comment, then "hex  path" (the
// escaped *sum form when path holds a backslash or a line end); CR LF after each.
std::string RecordedEntryText(const std::string& digest, const std::string& path, const FileRecord& record);

// How a recorded list in listFolder (a full path, no trailing separator
// needed) names fullPath: relative, with '/' between names, where it lies
// under listFolder (names compared without regard to ASCII case); otherwise
// fullPath as it is.
std::string RecordedPath(const std::string& listFolder, const std::string& fullPath);
// The same for a folder of the heading: "." for listFolder itself.
std::string RecordedFolder(const std::string& listFolder, const std::string& folder);

// The time now, as a record's ticks.
unsigned long long TimeNow();

// A file an update adds, or the new state of one it keeps.
struct RecordedFile {
    std::string digest;
    std::string path; // as the list names it
    FileRecord record;
};

// What an update does to one entry of the list (numbered as ReadListText
// numbers them).
enum RecordAction { RecordKeep, RecordReplace, RecordDrop };
struct RecordUpdate {
    RecordAction action;
    std::string digest; // RecordReplace: the new digest and record
    FileRecord record;
};

// What an update does with an entry that got verdict: a MODIFIED file takes
// its new digest and record (found), a MISSING one goes; any other keeps its
// line, a CORRUPTED one above all, so that the decay shows until the file is
// restored from a backup.
RecordUpdate UpdateFor(Verdict verdict, const std::string& digest, const FileRecord& found);

struct ListEntry;

// Takes the text an update has made so far, and clears it.
typedef void (*UpdateTextOut)(std::string& text, void* context);

// The text of a list's update, made as the check goes so that nothing but the list itself is held:
// the list's lines in order, each ending in CR LF, the heading's recorded time set to now, entries
// changed as their updates come (in list order), then the files added. The text goes to out
// whenever some 64 KiB of it are made, and at Flush.
class RecordedListUpdate {
public:
    // text is the list's, kept by the caller while the update lives.
    RecordedListUpdate(const std::string& text, unsigned long long now, UpdateTextOut out, void* context);
    RecordedListUpdate(const RecordedListUpdate&) = delete;
    RecordedListUpdate& operator=(const RecordedListUpdate&) = delete;

    // The entry at line (numbered as ListReader numbers them) gets update, the lines before it
    // passed on as they are: a replaced entry keeps its path and gets its record comment anew, a
    // dropped one goes with its record comment. A RecordKeep, or a replace of a line not checked,
    // changes nothing.
    void Change(size_t line, const ListEntry& entry, const RecordUpdate& update);
    // The rest of the list's lines, once every entry is through.
    void End();
    // A file appended after End.
    void Add(const RecordedFile& file);
    // Hands what is made to out.
    void Flush();

private:
    void PassLinesBefore(size_t line);
    void PassLine(const std::string& line);
    void Made();

    const std::string& m_text;
    unsigned long long m_now;
    UpdateTextOut m_out;
    void* m_context;
    size_t m_at;   // where the next line starts
    size_t m_line; // its number
    bool m_top;    // all lines so far are comment lines: the heading
    std::string m_made;
};

// The text of the list after an update: entry i as updates[i] says (an entry
// without an update is kept; a replaced entry keeps its path and gets its
// record comment anew), added appended in order, the heading's recorded
// time set to now. Lines that are no entries stay as they are.
std::string UpdateRecordedText(const std::string& text, const std::vector<RecordUpdate>& updates,
                               const std::vector<RecordedFile>& added, unsigned long long now);
