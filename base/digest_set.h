// Several digests of one stream from one pass over its bytes: each piece read goes to every digestor
// of the set. Where there are several processors the digestors are shared out over lanes, threads of
// the set's own that digest the same bytes side by side, so the digests of four algorithms take about
// as long as the slowest of them instead of the sum.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/digest_file.h"
#include "engine/digestor.h"

class DigestSet {
public:
    // kinds: the digests wanted, numbered in this order by DigestText. lanes: how many threads digest,
    // the caller's own included; 0 means one per processor, never more than there are kinds. Lanes
    // that cannot start leave their work to the others. Throws std::bad_alloc when memory runs out.
    explicit DigestSet(const std::vector<DigestKind>& kinds, int lanes = 0);
    ~DigestSet(); // ends the lanes
    DigestSet(const DigestSet&) = delete;
    DigestSet& operator=(const DigestSet&) = delete;

    size_t Count() const;
    DigestKind Kind(size_t index) const;
    int Lanes() const; // how many threads digest, the caller's included

    // As IDigestor's, for every digestor of the set. Update returns once every digestor has the bytes.
    void Reset();
    void Update(const uint8_t* bytes, uint32_t length);
    void Finish();
    // Lower-case hexadecimal digest of kind number index, "" while not finished.
    std::string DigestText(size_t index) const;

private:
    std::vector<DigestKind> m_kinds;
    std::vector<IDigestor*> m_digestors; // one reference each
};

// Digests the open file from its current position into every digestor of set (Reset, then Finish at the
// end), reading ahead while the lanes digest. As DigestOpenFile: only a read of 0 bytes at the end of the
// file finishes the digests; a read that fails is FileReadFailed; FileStopped when check says so (it is
// asked before each piece, at least every 1 MiB, and once more with all the bytes).
FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context);
