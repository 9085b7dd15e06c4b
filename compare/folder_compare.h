// The comparison of an original folder (or file) with its copy by content, for
// the window and the console alike. Entries are paired by their path relative
// to each side's root as Windows pairs names (case aside), and also where the
// names differ only in their Unicode normalisation. Files of equal size are
// read on both sides at once, each side by digest workers of its own, so that
// two disks take the time of the slower one.
#pragma once

#include <string>

#include "base/run_progress.h"
#include "engine/digestor.h"

enum CompareVerdict {
    CompareSame,      // same content under the same name
    CompareDifferent, // same name, other content
    CompareMissing,   // in the original, not in the copy
    CompareExtra,     // in the copy, not in the original
    CompareMoved,     // missing under one name, extra under another, same size and digest
    CompareReadError, // a file that could not be read, on side
};

enum CompareSide { SideOriginal, SideCopy };

// One finding. Findings come in the order of their paths.
struct CompareFinding {
    CompareVerdict verdict;
    std::string path;      // relative to its side's root, '\' between names; a folder's ends with '\'
    std::string copyPath;  // MOVED: the copy's name; a pair paired by normalisation alone: the copy's name
    CompareSide side;      // READ ERROR: the side that could not be read; EXTRA: SideCopy; else SideOriginal
    bool otherForm;        // paired only because the names differ in Unicode normalisation alone
};

struct CompareTally {
    int same;
    int different;
    int missing;
    int extra;
    int moved;
    int readErrors;
    int otherForms; // pairs whose names differ in Unicode normalisation alone
};

// True when the copy holds the same content under the same names: nothing
// different, missing, extra, moved, unread, nor a name in another form.
bool ComparePassed(const CompareTally& tally);

enum CompareOutcome {
    CompareFinished,
    CompareStopped,            // a stop request (HashStopRequested) cut it short
    CompareOriginalUnreadable, // the original does not exist or cannot be listed
    CompareCopyUnreadable,
    CompareSameFolder,         // the two name the same folder or file
    CompareRecordFailed,       // finished, but the recorded list could not be written
};

struct CompareRequest {
    std::string original; // a folder or a file, in full
    std::string copy;
    DigestKind kind;     // XXH128 unless the user chose another
    std::string record;  // where a recorded list of the original is written in the same read; empty: none
};

// What the comparison tells its caller, on the comparing thread.
struct CompareSink {
    void (*found)(const CompareFinding& finding, void* context);
    // Now and then (about four times a second at most): the counts so far, and a file being read.
    void (*progress)(const RunCounts& counts, const char* path, void* context);
    void* context;
};

// Compares request.original with request.copy, handing every finding to sink
// in path order and counting it in tally. copyInside is set when the copy lies
// inside the original: it is then left out of the original's walk. Returns
// at once for a side that cannot be read or the same folder twice.
CompareOutcome CompareFolders(const CompareRequest& request, const CompareSink& sink, CompareTally& tally,
                              bool& copyInside);
