// Digesting one file, the same way for the window's run and the console.
#pragma once

#include <windows.h>

#include <string>

#include "base/check_tally.h"
#include "base/recorded_list.h"
#include "engine/digestor.h"

// How digesting a file ended.
enum FileOutcome { FileDigested, FileStopped, FileReadFailed, FileOpenFailed };

// What a check makes of a file: MISSING when it could not be opened, READ
// ERROR when its read failed, else OK when digest is the expected one.
Verdict CheckVerdict(FileOutcome outcome, const std::string& digest, const std::string& expected);

// The same for an entry with a record: MISSING, READ ERROR or OK as above;
// a digest that differs is CORRUPTED when the last-write time found is the
// recorded one (within SameTimeTicks, either way: nobody wrote the file, so
// the bytes decayed, whatever the size says), MODIFIED when it is not.
Verdict RecordVerdict(FileOutcome outcome, const std::string& digest, const std::string& expected,
                      const FileRecord& recorded, const FileRecord& found);

// Opens the file at path (its long form) for reading, beside any other
// program that reads, writes or deletes it, so a log still being written is
// read as it stands. Only a disk file is handed out: a name that leads to a
// device, a pipe or anything else gives INVALID_HANDLE_VALUE, as a file that
// cannot be opened does. The caller closes the handle.
HANDLE OpenToRead(const char* path);
// The same for a path in UTF-16.
HANDLE OpenToRead(const std::wstring& path);

// Called before each block of up to 1024 bytes with the bytes digested so far,
// and once more with all of them before the end is known; false stops.
typedef bool (*BlockCheck)(ULONGLONG done, void* context);

// Digests the open file from its current position into digestor (Reset, then
// Finish at the end). Only a read of 0 bytes at the end of the file finishes
// the digest: a read that fails is FileReadFailed, not a digest of the bytes
// read so far. FileStopped when check said so.
FileOutcome DigestOpenFile(HANDLE file, IDigestor* digestor, BlockCheck check, void* context);
