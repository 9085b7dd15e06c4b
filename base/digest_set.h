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

    // The most bytes one Update should take for a stop to be honoured within a few milliseconds: a whole
    // read of 1 MiB for the usual kinds, less when the set holds a slow one such as MD2.
    uint32_t PieceSize() const;

private:
    friend FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context);
    struct LaneStart {
        DigestSet* set;
        int lane;
    };

    static DWORD WINAPI LaneWork(LPVOID start);
    void ShareOut();
    // Update in three steps, so that the caller's thread may read between handing a piece to the
    // other lanes and digesting its own share of it.
    void Hand(const uint8_t* bytes, uint32_t length);
    void DigestShare(int lane, const uint8_t* bytes, uint32_t length);
    void AwaitLanes();
    void EndLanes();

    std::vector<DigestKind> m_kinds;
    std::vector<IDigestor*> m_digestors; // owned, one per kind
    std::vector<int> m_laneOf;           // the lane that digests each kind
    std::vector<LaneStart> m_starts;     // one per lane beyond the caller's
    std::vector<HANDLE> m_threads;       // the lanes that started
    uint32_t m_pieceSize;

    // The round of work handed to the lanes, guarded by m_lock.
    SRWLOCK m_lock;
    CONDITION_VARIABLE m_handed;   // lanes wait for a round or the end
    CONDITION_VARIABLE m_finished; // the caller waits for the lanes' shares
    unsigned m_round;              // counts the rounds handed out
    const uint8_t* m_bytes;
    uint32_t m_length;
    int m_busy; // lanes still digesting the round
    bool m_ending;
};

// Digests the open file from its current position into every digestor of set (Reset, then Finish at the
// end), reading ahead while the lanes digest. As DigestOpenFile: only a read of 0 bytes at the end of the
// file finishes the digests; a read that fails is FileReadFailed; FileStopped when check says so (it is
// asked before each piece, at least every 1 MiB, and once more with all the bytes).
FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context);
