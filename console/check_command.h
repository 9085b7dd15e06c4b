#pragma once

// DigestorCmd -c [-q] LIST...: digests the file of every result line again
// with the line's algorithm and prints "path: OK" (quiet: not those), FAILED,
// MISSING or READ ERROR, then the tally. Returns the exit code.
int CheckLists(char** lists, int count, bool quiet);
