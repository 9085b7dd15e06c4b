// FolderQueue: first-in, first-out ring of dropped folder paths, handed from the drop handler to the worker.
// Standard C++ only; no locking, because only one drop is processed at a time.
#pragma once

#include <cstdint>

#include "base/path_buffer.h"

// Outcome of the last queue operation. Full and Empty report a refused push
// and a pop with nothing queued; they say nothing about the fill level itself.
enum QueueStatus : int32_t {
    Ok = 0,       // the operation went through
    Full = 1,     // Push found count == capacity; nothing stored
    Empty = 2,    // Pop found nothing queued; out holds no path
    NoMemory = 3, // Create could not allocate the slots (or capacity was negative)
    TooLong = 4   // Push got a path of PathBufferSize characters or more; nothing stored
};

// Plain record, copied by value into the process-wide pending slot. A copy shares
// the storage with its original, so exactly one of them may be freed, and only the
// copy that is pushed and popped afterwards has meaningful indices.
struct FolderQueue {
    char* storage;      // capacity * PathBufferSize bytes from std::malloc; slot k at k * PathBufferSize
    int32_t writeIndex; // slot the next Push fills
    int32_t readIndex;  // slot the next Pop takes
    int32_t count;      // number of queued paths
    QueueStatus status; // outcome of the last operation
    int32_t capacity;   // number of slots; both indices wrap here

    // Allocates room for capacity paths; slots are left uncleared. A negative capacity
    // or an allocation failure gives storage == nullptr, capacity 0 and status NoMemory,
    // which then behaves as a queue that takes nothing. Capacity 0 is valid (status Ok,
    // storage nullptr) and refuses every push with Full.
    static FolderQueue Create(int32_t capacity);

    // Queues a copy of path (a zero-terminated string, not null). Sets TooLong if it
    // does not fit a slot, Full if the queue already holds capacity paths, else Ok.
    void Push(const char* path);

    // Takes the oldest path into out (a caller's buffer of PathBufferSize bytes) and
    // returns out. With nothing queued: status Empty, out is set to "" (not a valid
    // path) and the indices stay put.
    char* Pop(char* out);

    // Releases the storage and sets it to nullptr, so a second Free is harmless; also
    // zeroes capacity, count and indices so later pushes and pops are refused safely.
    void Free();
};
