// A large file's BLAKE3 digest from several threads at once: the file's chunk tree lets its parts be
// hashed apart, each by a lane reading through a handle of its own, and their subtrees joined in order.
#pragma once

#include <windows.h>

#include <string>

#include "base/digest_file.h"

// The size from which a run's worker digests a BLAKE3 file with lanes where the run has several
// workers: 16 MiB, or DIGESTOR_PARALLEL_FROM bytes where that is set (tests).
ULONGLONG Blake3ParallelFrom();

// Digests the first size bytes of the file open as file, at path, with lanes threads: the caller's own,
// reading through file, and up to lanes - 1 more, each opening path again; a lane that cannot start or
// open leaves its parts to the others. check is called on the caller's thread only, with the bytes all
// lanes have digested so far: before each MiB the caller reads and every few milliseconds while it
// waits for the others; false stops them all, as does a cancel of the caller's read. A file that ends
// before size, or any lane's failed read, is FileReadFailed. digest is set on FileDigested.
// Throws std::bad_alloc, before any lane starts, when memory runs out.
FileOutcome DigestBlake3Parallel(const char* path, HANDLE file, ULONGLONG size, int lanes, BlockCheck check,
                                 void* context, std::string& digest);
