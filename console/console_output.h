// What the console program writes: lines on standard output and standard
// error, and the progress of a long run.
#pragma once

#include <windows.h>

#include <string>

#include "base/run_progress.h"

enum OutputStream { StandardOutput, StandardError };

// Writes line (text in the process code page) and CR LF. A console shows it
// through UTF-16, so every script shows as itself; redirected, it goes out as
// UTF-8. When standard output cannot take it, the program ends with a message
// and exit code 2.
void PutLine(OutputStream stream, const std::string& line);

// "DigestorCmd: " and message on standard error.
void Complain(const std::string& message);

// When the progress line shows: by default on a console once the program has
// run for about two seconds; --progress at once, also redirected; never with
// --no-progress (nor, by default, with -q or --status).
enum ProgressChoice { ProgressOnConsole, ProgressAlways, ProgressNever };
void ChooseProgress(ProgressChoice choice);

// Whether ShowRunProgress would write a line now: it is wanted, and the last
// one is old enough (about four a second on a console, one redirected). A
// caller may ask this before it gathers its counts.
bool RunProgressDue();

// One line on standard error, rewritten in place, in English: files and bytes
// done of all ("..." for an all not known yet), the speed over the last few
// seconds and the time left, and the file being read (path; may be empty),
// within 79 columns. Any thread; only when due, one caller at a time.
void ShowRunProgress(const RunCounts& counts, const char* path);

// Clears the progress line (redirected, ends it); called before other text
// and before the program ends.
void ClearProgress();

// Writes what standard output holds back when it is redirected; called before
// the program ends.
void FlushOutput();
