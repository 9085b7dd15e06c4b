#include "compare/side_listing.h"

#include <algorithm>

#include "base/hash_stop.h"
#include "base/long_path.h"
#include "base/path_buffer.h"
#include "compare/name_pairing.h"
#include "gather/folder_walk.h"

namespace {

// The path of a find relative to the root: what follows the root and its separator.
std::string Relative(const SideListing& side, const char* path) {
    size_t at = side.root.size();
    while (path[at] == '\\') {
        ++at;
    }
    return path + at;
}

void Add(SideListing& side, const std::string& path, SideEntryKind kind, unsigned long long size) {
    side.entries.push_back(SideEntry{path, PairingKey(path), size, kind});
}

WalkStep TakeEntry(const WalkEntry& entry, void* context) {
    SideListing& side = *static_cast<SideListing*>(context);
    if (HashStopRequested()) {
        return WalkEnd;
    }
    const std::string path = Relative(side, entry.path);
    switch (entry.find) {
    case FoundFolder:
        return !side.leave.empty() && SamePath(entry.path, side.leave) ? WalkPassOver : WalkOn;
    case FoundFile:
        Add(side, path, EntryFile, entry.size);
        InterlockedIncrement64(&side.filesFound);
        InterlockedExchangeAdd64(&side.bytesFound, static_cast<LONG64>(entry.size));
        return WalkOn;
    case FoundEmptyFolder:
        if (!path.empty()) {
            Add(side, path + "\\", EntryEmptyFolder, 0);
        }
        return WalkOn;
    case FoundUnlistedFolder:
        if (path.empty()) {
            side.listed = false; // the root itself
            return WalkEnd;
        }
        Add(side, path + "\\", EntryUnreadable, 0);
        return WalkOn;
    default:
        Add(side, path, EntryUnreadable, 0);
        return WalkOn;
    }
}

bool ByKey(const SideEntry& one, const SideEntry& other) {
    const int order = one.key.compare(other.key);
    return order < 0 || (order == 0 && one.path < other.path);
}

} // namespace

void ListSide(SideListing& side) {
    side.entries.clear();
    WIN32_FILE_ATTRIBUTE_DATA data;
    side.listed = side.root.size() < static_cast<size_t>(PathBufferSize) &&
                  GetFileAttributesExW(LongPath(side.root).c_str(), GetFileExInfoStandard, &data);
    if (!side.listed) {
        return;
    }
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const unsigned long long size =
            (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        Add(side, side.name, EntryFile, size);
        InterlockedIncrement64(&side.filesFound);
        InterlockedExchangeAdd64(&side.bytesFound, static_cast<LONG64>(size));
        return;
    }
    WalkEntries(side.root.c_str(), TakeEntry, &side);
    std::sort(side.entries.begin(), side.entries.end(), ByKey);
}

std::string EntryFullPath(const SideListing& side, const SideEntry& entry) {
    if (!side.name.empty()) {
        return side.root;
    }
    return side.root + (side.root.back() == '\\' ? "" : "\\") + entry.path;
}
