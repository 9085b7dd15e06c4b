#include "gather/new_files.h"

#include "base/hash_stop.h"
#include "base/list_reading.h"
#include "base/long_path.h"
#include "gather/folder_walk.h"

namespace {

SearchHook Hook = NULL;

struct Search {
    ListedPaths* known; // the list, its entries and the new files found so far
    std::vector<std::string> found;
};

bool TakeFile(const char* path, WalkFind find, void* context) {
    Search& search = *static_cast<Search*>(context);
    if (Hook) {
        Hook();
    }
    if (find == FoundFile) {
        // The walk joins names with a backslash, which doubles after a root.
        const std::string full = FullPath(path);
        if (search.known->Insert(full)) {
            search.found.push_back(full);
        }
    }
    // A stop of the run or of the console ends the search too: a big tree takes a while.
    return !HashStopRequested();
}

} // namespace

void SetSearchHook(SearchHook hook) { Hook = hook; }

std::vector<std::string> FindNewFiles(const std::string& listPath, const std::vector<std::string>& folders,
                                      ListedPaths& listed) {
    Search search;
    search.known = &listed;
    listed.Insert(FullPath(listPath)); // held, never reported
    // FullPath makes the heading's '/' backslashes.
    for (const std::string& folder : folders) {
        if (!WalkFolder(FullPath(ResolveEntryPath(listPath, folder)).c_str(), TakeFile, &search)) {
            break;
        }
    }
    return search.found;
}
