#pragma once

#include <windows.h>

// What the main window does once the command line has been taken.
enum CommandLineWork {
    CommandLineIdle,   // nothing to run: no path, a check or comparison of its own, or a refused command line
    CommandLineRun,    // paths were taken: a run once their walk is over
    CommandLineRecord, // Recorded is set up: walk Recorded.folder into the list, then run
};

// Takes the command line once the main window shows. Its forms:
//   [/alg NAME] PATH...         the paths, each folder after a Yes/No question
//   [/alg NAME] /items FILE     the paths of FILE, folders without a question
//   [/alg NAME] /record FOLDER  FOLDER recorded (SHA256 without /alg)
//   /check LIST                 the files of LIST checked (CheckList)
//   [/alg NAME] /compare ORIGINAL COPY
//                               ORIGINAL compared with COPY (XXH128 without /alg)
// /alg selects NAME (as FindAlgorithm reads it) in the algorithm box; an
// unknown NAME, or a form not kept, is named in a message and nothing else is
// done. Paths are taken as TakePaths takes them.
CommandLineWork TakeCommandLine(HWND window);

// Whether TakePaths asks before it queues a folder.
enum FolderQuestion { AskForFolders, WalkFolders };

// Takes paths[0..count-1] in order: a file is listed at once, a folder is
// queued in PendingFolders (after the question, owned by window, when asked
// for); a path that does not exist, cannot be converted exactly or does not
// fit 519 characters is named in one message at the end. The caller starts
// the worker.
void TakePaths(HWND window, const wchar_t* const* paths, int count, FolderQuestion question);
