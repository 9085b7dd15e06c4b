// What the console program writes: lines on standard output and standard
// error, and the progress of a long run.
#pragma once

#include <windows.h>

#include <string>

enum OutputStream { StandardOutput, StandardError };

// Writes line (text in the process code page) and CR LF. A console shows it
// through UTF-16, so every script shows as itself; redirected, it goes out as
// UTF-8. When standard output cannot take it, the program ends with a message
// and exit code 2.
void PutLine(OutputStream stream, const std::string& line);

// "DigestorCmd: " and message on standard error.
void Complain(const std::string& message);

// The share of path's size that is done (0% while size is 0, not known yet),
// on standard error when that is a console, at most four times a second;
// nothing when it is redirected.
void ShowProgress(const char* path, ULONGLONG done, ULONGLONG size);

// Whether standard error is a console, where progress shows.
bool ShowsProgress();

// Clears the progress line; called before the program ends.
void ClearProgress();

// Writes what standard output holds back when it is redirected; called before
// the program ends.
void FlushOutput();
