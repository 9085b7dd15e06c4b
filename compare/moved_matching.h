// The files MISSING under one name and EXTRA under another that hold the same
// content: they pair up as MOVED.
#pragma once

#include <string>
#include <utility>
#include <vector>

// A file of one size that only one side has.
struct MoveCandidate {
    std::wstring name;  // the key of its file name (PairingKey), without its folders
    std::string digest; // of its content; all alike for empty files
};

// The candidates of one size, each side's in path order, paired where their digests are equal: those
// of the same file name first, then in path order. Each pair is (index in missing, index in extra).
std::vector<std::pair<size_t, size_t>> MatchMoved(const std::vector<MoveCandidate>& missing,
                                                  const std::vector<MoveCandidate>& extra);
