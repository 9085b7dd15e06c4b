// How a check decides the algorithm of the lines whose digest's length alone told it
// (ListEntry::byLength; 64 digits: SHA256, SHA3-256 or BLAKE3), for the window's check and the
// console's alike. The first such line of each length goes to the workers with the kind such lines
// most often mean, and with the other kinds of that length to try when its digest differs: the worker
// reads the file again only then, with all of them at once. The lines after it wait until it is back
// and take the kind that matched, for the whole list; where none matched, the usual kind stays and
// that line is FAILED. A list whose lines match under the usual kind is read as it always was, each
// file once. Standard C++ only.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#include "engine/digestor.h"

// What a worker tries on a file whose digest under its kind differs from expected: the others, from
// one more read; the one that gives expected becomes the slot's kind. Nothing when others is empty.
struct KindTries {
    std::vector<DigestKind> others;
    std::string expected;
};

class KindChoice {
public:
    // Whether an entry read by length, whose digest is expected, may go to the workers now: false
    // while the first entry of its length is out. Else kind is what it is digested with, and tries
    // what the worker tries when that digest differs (the first entry of its length only).
    bool Offer(const std::string& expected, DigestKind& kind, KindTries& tries);
    // An entry offered with tries came back: digested, the kind it was digested with decides its
    // length; not digested (missing, unreadable), the next entry of that length tries in its place.
    void Back(size_t length, bool digested, DigestKind kind);

private:
    enum State { Open, Out, Decided };
    struct Length {
        size_t length;
        State state;
        DigestKind kind;
    };
    Length& Of(size_t length);

    std::vector<Length> m_lengths;
};
