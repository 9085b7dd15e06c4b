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
    // the caller's own included; 0 means one per processor (up to 8, or DIGESTOR_WORKERS where set, as
    // for a run's workers), never more than there are kinds. Lanes that cannot start leave their work to
    // the others. Throws std::bad_alloc when memory runs out, leaving no lane or digestor behind.
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
    // Pieces handed to the lanes and not yet digested by all of them: a lane that the scheduler keeps
    // waiting catches up later instead of holding up the others at every piece.
    static const int Ahead = 4;
    struct Piece {
        const uint8_t* bytes;
        uint32_t length;
    };
    struct LaneStart {
        DigestSet* set;
        int lane;
    };

    static DWORD WINAPI LaneWork(LPVOID start);
    void ShareOut();
    void Hand(const uint8_t* bytes, uint32_t length);
    void DigestShare(int lane, const uint8_t* bytes, uint32_t length);
    uint64_t LanesDone(); // the pieces every lane but the caller's has digested
    void AwaitLanes();    // until every piece handed is digested
    void Abandon();       // the pieces handed are dropped; returns once the lanes are idle
    FileOutcome ReadAndDigest(HANDLE file, uint8_t* buffers, BlockCheck check, void* context);
    void EndLanes();

    std::vector<DigestKind> m_kinds;
    std::vector<IDigestor*> m_digestors; // owned, one per kind
    std::vector<int> m_laneOf;           // the lane that digests each kind
    std::vector<LaneStart> m_starts;     // one per lane beyond the caller's
    std::vector<HANDLE> m_threads;       // the lanes that started
    uint32_t m_pieceSize;

    // Guarded by m_lock, but for m_abandon, which the lanes also look at between steps of a piece.
    SRWLOCK m_lock;
    CONDITION_VARIABLE m_handed;   // lanes wait for a piece or the end
    CONDITION_VARIABLE m_finished; // the caller waits for the lanes
    Piece m_pieces[Ahead];         // piece number n is at n % Ahead
    uint64_t m_handedCount;        // pieces handed since the set began
    std::vector<uint64_t> m_done;  // pieces each lane has digested, the caller's (0) unused
    volatile LONG m_abandon;
    bool m_ending;
};

// Digests the open file from its current position into every digestor of set (Reset, then Finish at the
// end), reading ahead while the lanes digest. As DigestOpenFile: only a read of 0 bytes at the end of the
// file finishes the digests; a read that fails is FileReadFailed; FileStopped when check says so (it is
// asked before each piece, at least every 1 MiB, and once more with all the bytes).
FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context);
