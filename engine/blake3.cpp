// BLAKE3 cryptographic hash in hash mode, 32-byte output: the BLAKE3 paper (O'Connor, Aumasson, Neves,
// Wilcox-O'Hearn, 2020), sections 2 (compression, chunks, tree) and 5.1 (incremental hashing).
#include "engine/blake3.h"

#include <cstring>

#include "engine/blake3_x86.h"
#include "engine/byte_order.h"
#include "engine/cpu_features.h"
#include "engine/hex_text.h"

namespace {

// The quarter round G of section 2.2.
inline void G(uint32_t v[16], int a, int b, int c, int d, uint32_t x, uint32_t y) {
    v[a] = v[a] + v[b] + x;
    v[d] = RotateRight(v[d] ^ v[a], 16);
    v[c] = v[c] + v[d];
    v[b] = RotateRight(v[b] ^ v[c], 12);
    v[a] = v[a] + v[b] + y;
    v[d] = RotateRight(v[d] ^ v[a], 8);
    v[c] = v[c] + v[d];
    v[b] = RotateRight(v[b] ^ v[c], 7);
}

// The compression function of section 2.2: chaining value, one 64-byte block as sixteen little-endian
// words, counter, block length and flags in; the sixteen output words out (only the first eight, the
// next chaining value, are used here).
void Compress(const uint32_t cv[8], const uint32_t m[16], uint64_t counter, uint32_t blockLength,
              uint32_t flags, uint32_t out[16]) {
    uint32_t v[16] = {cv[0],
                      cv[1],
                      cv[2],
                      cv[3],
                      cv[4],
                      cv[5],
                      cv[6],
                      cv[7],
                      Blake3IV[0],
                      Blake3IV[1],
                      Blake3IV[2],
                      Blake3IV[3],
                      uint32_t(counter),
                      uint32_t(counter >> 32),
                      blockLength,
                      flags};
    for (int r = 0; r < Blake3Rounds; ++r) {
        const uint8_t* s = Blake3Schedule.word[r];
        // columns
        G(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        G(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        G(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        G(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        // diagonals
        G(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        G(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        G(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        G(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i) {
        out[i] = v[i] ^ v[i + 8];
        out[i + 8] = v[i + 8] ^ cv[i];
    }
}

// A block of up to 64 bytes as message words, zero-padded.
void LoadBlock(const uint8_t* p, size_t length, uint32_t m[16]) {
    uint8_t block[Blake3BlockSize] = {};
    std::memcpy(block, p, length);
    for (int i = 0; i < 16; ++i)
        m[i] = LoadLE32(block + 4 * i);
}

// A node whose compression is still open: the chunk's last block or a parent's two children, so that
// the root flag can be added when it turns out to be the root (section 2.5).
struct Node {
    uint32_t cv[8];
    uint32_t m[16];
    uint64_t counter;
    uint32_t blockLength;
    uint32_t flags;

    void ChainingValue(uint32_t out[8]) const {
        uint32_t words[16];
        Compress(cv, m, counter, blockLength, flags, words);
        std::memcpy(out, words, 8 * sizeof(uint32_t));
    }
    // The root's first 32 output bytes: counter 0, the root flag added.
    void RootBytes(uint8_t out[32]) const {
        uint32_t words[16];
        Compress(cv, m, 0, blockLength, flags | Blake3Root, words);
        for (int i = 0; i < 8; ++i)
            StoreLE32(out + 4 * i, words[i]);
    }
};

// Section 2.4: a chunk of 0 to 1024 bytes, all its blocks but the last compressed, that one left open.
// Only the empty message has an empty chunk (one block of length 0).
Node ChunkNode(const uint8_t* chunk, size_t length, uint64_t counter) {
    Node node;
    std::memcpy(node.cv, Blake3IV, sizeof node.cv);
    node.counter = counter;
    uint32_t flags = Blake3ChunkStart;
    for (; length > Blake3BlockSize; chunk += Blake3BlockSize, length -= Blake3BlockSize) {
        uint32_t m[16], out[16];
        LoadBlock(chunk, Blake3BlockSize, m);
        Compress(node.cv, m, counter, Blake3BlockSize, flags, out);
        std::memcpy(node.cv, out, sizeof node.cv);
        flags = 0;
    }
    LoadBlock(chunk, length, node.m);
    node.blockLength = uint32_t(length);
    node.flags = flags | Blake3ChunkEnd;
    return node;
}

// Section 2.5: a parent node, its block the left child's chaining value then the right's.
Node ParentNode(const uint32_t left[8], const uint32_t right[8]) {
    Node node;
    std::memcpy(node.cv, Blake3IV, sizeof node.cv);
    std::memcpy(node.m, left, 8 * sizeof(uint32_t));
    std::memcpy(node.m + 8, right, 8 * sizeof(uint32_t));
    node.counter = 0;
    node.blockLength = Blake3BlockSize;
    node.flags = Blake3Parent;
    return node;
}

int ChooseLanes() {
#if DIGESTOR_SHA_X86
    switch (UseVectorLevel()) {
    case VectorLevel::Avx512:
        return Chosen(PathUser::Blake3, CodePath::Avx512, 16);
    case VectorLevel::Avx2:
        return Chosen(PathUser::Blake3, CodePath::Avx2, 8);
    case VectorLevel::Sse41:
        return Chosen(PathUser::Blake3, CodePath::Sse41, 4);
    default:
        break;
    }
#endif
    return Chosen(PathUser::Blake3, CodePath::Portable, 1);
}

} // namespace

CDigestor_BLAKE3::CDigestor_BLAKE3() : m_lanes(ChooseLanes()) { Reset(); }

void CDigestor_BLAKE3::Reset() {
    m_finished = false;
    m_chunks = 0;
    m_stackSize = 0;
    m_buffered = 0;
}

void CDigestor_BLAKE3::StartAt(uint64_t chunk) {
    Reset();
    m_chunks = chunk;
}

void CDigestor_BLAKE3::SubtreeRoot(uint32_t cv[8]) {
    // The buffer holds whole chunks only; the last of them is held back from the stack, whose merges
    // would otherwise reach below this part, and then merges with it from the smallest subtree up.
    const size_t lastStart = m_buffered - Blake3ChunkSize;
    HashChunks(m_buffer, lastStart / Blake3ChunkSize);
    ChunkNode(m_buffer + lastStart, Blake3ChunkSize, m_chunks).ChainingValue(cv);
    while (m_stackSize != 0)
        ParentNode(m_stack[--m_stackSize], cv).ChainingValue(cv);
    m_buffered = 0;
    m_finished = true;
}

void CDigestor_BLAKE3::JoinAfter(const uint32_t (*cvs)[8], size_t count) {
    // The stack the parts before would have left, beneath this part's own: its subtrees are all
    // smaller than the parts before, so none of its merges reached below it.
    uint32_t before[54][8];
    size_t size = 0;
    for (size_t i = 0; i < count; ++i) {
        uint32_t merged[8];
        std::memcpy(merged, cvs[i], sizeof merged);
        for (uint64_t total = i + 1; (total & 1) == 0; total >>= 1)
            ParentNode(before[--size], merged).ChainingValue(merged);
        std::memcpy(before[size++], merged, sizeof merged);
    }
    std::memmove(m_stack[size], m_stack[0], m_stackSize * sizeof m_stack[0]);
    std::memcpy(m_stack[0], before[0], size * sizeof before[0]);
    m_stackSize += size;
}

void CDigestor_BLAKE3::PushSubtree(const uint32_t cv[8], uint64_t chunks) {
    uint32_t merged[8];
    std::memcpy(merged, cv, sizeof merged);
    m_chunks += chunks;
    for (uint64_t total = m_chunks / chunks; (total & 1) == 0; total >>= 1)
        ParentNode(m_stack[--m_stackSize], merged).ChainingValue(merged);
    std::memcpy(m_stack[m_stackSize++], merged, sizeof merged);
}

void CDigestor_BLAKE3::HashBatch(const uint8_t* chunks) {
#if DIGESTOR_SHA_X86
    // The sixteen chunks side by side, then their subtree a level at a time: eight parents side by side,
    // four, and the last three alone, where lanes would sit idle.
    uint32_t cvs[16][8];
    if (m_lanes >= 16) {
        Blake3HashChunksAvx512(chunks, m_chunks, cvs);
    } else if (m_lanes >= 8) {
        Blake3HashChunksAvx2(chunks, m_chunks, cvs);
        Blake3HashChunksAvx2(chunks + 8 * Blake3ChunkSize, m_chunks + 8, cvs + 8);
    } else {
        for (int i = 0; i < 16; i += 4)
            Blake3HashChunksSse41(chunks + i * Blake3ChunkSize, m_chunks + i, cvs + i);
    }
    if (m_lanes >= 8) {
        Blake3HashParentsAvx2(cvs, cvs);
    } else {
        Blake3HashParentsSse41(cvs, cvs);
        Blake3HashParentsSse41(cvs + 8, cvs + 4);
    }
    Blake3HashParentsSse41(cvs, cvs);
    ParentNode(cvs[0], cvs[1]).ChainingValue(cvs[0]);
    ParentNode(cvs[2], cvs[3]).ChainingValue(cvs[1]);
    ParentNode(cvs[0], cvs[1]).ChainingValue(cvs[0]);
    PushSubtree(cvs[0], BatchChunks);
#else
    (void)chunks;
#endif
}

void CDigestor_BLAKE3::HashChunks(const uint8_t* chunks, size_t count) {
    while (count != 0) {
        if (m_lanes >= 4 && count >= BatchChunks && m_chunks % BatchChunks == 0) {
            HashBatch(chunks);
            chunks += BatchChunks * Blake3ChunkSize;
            count -= BatchChunks;
            continue;
        }
        uint32_t cvs[16][8];
        size_t n = 1;
#if DIGESTOR_SHA_X86
        if (m_lanes >= 16 && count >= 16) {
            Blake3HashChunksAvx512(chunks, m_chunks, cvs);
            n = 16;
        } else if (m_lanes >= 8 && count >= 8) {
            Blake3HashChunksAvx2(chunks, m_chunks, cvs);
            n = 8;
        } else if (m_lanes >= 4 && count >= 4) {
            Blake3HashChunksSse41(chunks, m_chunks, cvs);
            n = 4;
        } else
#endif
        {
            ChunkNode(chunks, Blake3ChunkSize, m_chunks).ChainingValue(cvs[0]);
        }
        for (size_t i = 0; i < n; ++i)
            PushSubtree(cvs[i], 1);
        chunks += n * Blake3ChunkSize;
        count -= n;
    }
}

void CDigestor_BLAKE3::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    // A chunk is hashed only once a byte after it is seen: the last chunk may be the root. The buffer
    // always starts at a chunk boundary, and whole batches go to the vector code.
    if (m_buffered + length <= sizeof m_buffer) {
        std::memcpy(m_buffer + m_buffered, bytes, length);
        m_buffered += length;
        return;
    }
    const size_t part = sizeof m_buffer - m_buffered; // the buffer fills, and more follows it
    std::memcpy(m_buffer + m_buffered, bytes, part);
    HashChunks(m_buffer, BatchChunks);
    bytes += part;
    length -= uint32_t(part);
    // Whole batches from the caller's bytes, leaving 1 to 16 KiB for the buffer.
    const size_t batches = (length - 1) / sizeof m_buffer;
    HashChunks(bytes, batches * BatchChunks);
    bytes += batches * sizeof m_buffer;
    length -= uint32_t(batches * sizeof m_buffer);
    std::memcpy(m_buffer, bytes, length);
    m_buffered = length;
}

void CDigestor_BLAKE3::Finish() {
    if (m_finished)
        return;
    // The buffered chunks before the last one are ordinary; the last is the root when it is the only
    // chunk, otherwise the subtrees on the stack merge with it from the smallest up to the root.
    const size_t lastStart = m_buffered == 0 ? 0 : (m_buffered - 1) / Blake3ChunkSize * Blake3ChunkSize;
    HashChunks(m_buffer, lastStart / Blake3ChunkSize);
    Node node = ChunkNode(m_buffer + lastStart, m_buffered - lastStart, m_chunks);
    while (m_stackSize != 0) {
        uint32_t right[8];
        node.ChainingValue(right);
        node = ParentNode(m_stack[--m_stackSize], right);
    }
    node.RootBytes(m_digest);
    m_finished = true;
}

std::string CDigestor_BLAKE3::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}
