// BLAKE3 digestor, hash mode with its 256-bit default output (the BLAKE3 paper and its reference).
#pragma once

#include <cstddef>

#include "engine/blake3_constants.h"
#include "engine/digestor.h"

class CDigestor_BLAKE3 : public IDigestor {
public:
    CDigestor_BLAKE3();

    void Reset() override;
    void Update(const uint8_t* bytes, uint32_t length) override;
    void Finish() override;
    std::string DigestText() const override;

    // One message hashed in parts side by side (section 5.1.2: any complete subtree is independent of
    // the rest). Each part but the last is a power of two of whole chunks, all the same size, from a
    // multiple of that size on: a digestor started there with StartAt takes its bytes and gives its
    // subtree's chaining value with SubtreeRoot. The last part, 1 to that many chunks, the last of them
    // possibly partial, goes to a digestor started at its first chunk; before its Finish, JoinAfter
    // hands it the roots of the parts before it, in message order.
    void StartAt(uint64_t chunk);
    void SubtreeRoot(uint32_t cv[8]);
    void JoinAfter(const uint32_t (*cvs)[8], size_t count);

    // Whole chunks gathered before the vector code hashes them side by side: sixteen, the widest path's.
    static constexpr size_t BatchChunks = 16;

protected:
    ~CDigestor_BLAKE3() override {}

private:
    // Hashes count whole chunks, none of them the last of the message, and adds them to the tree.
    void HashChunks(const uint8_t* chunks, size_t count);
    // Hashes BatchChunks whole chunks, from a multiple of BatchChunks on and none of them the last, with
    // the vector code, their subtree too, and adds its root to the tree. Only where m_lanes >= 4.
    void HashBatch(const uint8_t* chunks);
    // Adds the root of the subtree over the next chunks chunks (a power of two, the chunks so far a
    // multiple of it; 1 for a single chunk) to the tree: while the number of such subtrees so far is
    // even, the one just completed merges with its left sibling (section 5.1.2, the chaining-value
    // stack). Every chunk pushed has a byte after it, so no merge made here is the root.
    void PushSubtree(const uint32_t cv[8], uint64_t chunks);

    const int m_lanes;       // chunks the chosen path hashes at once: 1, 4, 8 or 16
    uint64_t m_chunks;       // chunks hashed so far, the next chunk's counter
    uint32_t m_stack[54][8]; // roots of the completed subtrees, largest first; 2^54 chunks is 2^64 bytes
    size_t m_stackSize;
    uint8_t m_buffer[BatchChunks * Blake3ChunkSize]; // the message from the end of m_chunks on
    size_t m_buffered;
    uint8_t m_digest[32];
    bool m_finished;
};
