// FolderQueue: ring buffer of fixed-size path slots, wrapping at the queue's own capacity.
#include "gather/folder_queue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Length of s, but never reads more than limit bytes; returns limit when no
// terminator appears within them (a caller's overlong or unterminated path).
size_t BoundedLength(const char* s, size_t limit) {
    size_t n = 0;
    while (n < limit && s[n] != '\0')
        ++n;
    return n;
}

} // namespace

FolderQueue FolderQueue::Create(int32_t capacity) {
    FolderQueue q;
    q.storage = nullptr;
    q.writeIndex = 0;
    q.readIndex = 0;
    q.count = 0;
    q.status = Ok;
    q.capacity = 0;

    if (capacity < 0) {
        q.status = NoMemory;
        return q;
    }
    if (capacity == 0)
        return q; // no slots needed; malloc(0) may or may not return null, so skip it

    // The byte count is computed in size_t and checked first, so a large capacity
    // on a 32-bit build cannot wrap around into a small allocation.
    const size_t slots = static_cast<size_t>(capacity);
    if (slots > SIZE_MAX / static_cast<size_t>(PathBufferSize)) {
        q.status = NoMemory;
        return q;
    }
    q.storage = static_cast<char*>(std::malloc(slots * static_cast<size_t>(PathBufferSize)));
    if (q.storage == nullptr) {
        q.status = NoMemory;
        return q;
    }
    q.capacity = capacity;
    return q;
}

void FolderQueue::Push(const char* path) {
    // Length first: an oversized path is refused as such even when the queue is full.
    const size_t length = BoundedLength(path, static_cast<size_t>(PathBufferSize));
    if (length >= static_cast<size_t>(PathBufferSize)) {
        status = TooLong;
        return;
    }
    if (count >= capacity) {
        status = Full;
        return;
    }

    char* slot = storage + static_cast<size_t>(writeIndex) * PathBufferSize;
    std::memcpy(slot, path, length);
    slot[length] = '\0';

    // Wrap at this queue's capacity so a drop of any size keeps every path.
    ++writeIndex;
    if (writeIndex == capacity)
        writeIndex = 0;
    ++count;
    status = Ok;
}

char* FolderQueue::Pop(char* out) {
    if (count <= 0) {
        out[0] = '\0'; // leave no stale path behind for a caller that ignores the status
        status = Empty;
        return out;
    }

    const char* slot = storage + static_cast<size_t>(readIndex) * PathBufferSize;
    // Push always terminates within the slot; the bound only guards the caller's buffer.
    const size_t length = BoundedLength(slot, static_cast<size_t>(PathBufferSize - 1));
    std::memcpy(out, slot, length);
    out[length] = '\0';

    ++readIndex;
    if (readIndex == capacity)
        readIndex = 0;
    --count;
    status = Ok;
    return out;
}

void FolderQueue::Free() {
    std::free(storage); // free(nullptr) is a no-op, which covers capacity 0 and failed Create
    storage = nullptr;
    // A freed queue then acts like capacity 0: pushes give Full, pops give Empty,
    // instead of touching released memory.
    capacity = 0;
    count = 0;
    writeIndex = 0;
    readIndex = 0;
}
