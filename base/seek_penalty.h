// Whether a file lies on a disk that seeks: such a disk reads one file at a
// time faster than several at once.
#pragma once

// True when the volume of path (a drive-letter path, in its short or long
// form) reports a seek penalty. False when it reports none or the platform
// cannot tell (network shares, Wine). Asked once per drive letter; any thread.
// With DIGESTOR_SEEK_PENALTY set, every path seeks (for tests).
bool HasSeekPenalty(const char* path);
