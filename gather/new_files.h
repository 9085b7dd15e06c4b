#pragma once

#include <string>
#include <vector>

#include "base/listed_paths.h"

// The files a recorded list at listPath does not hold: every file below its folders (as the heading
// names them, relative ones taken from the list's folder) whose full path is none of listed (the full
// paths of the list's entries, and of any other file not to be reported; ASCII case aside, as Windows
// compares names) and is not the list itself. Full paths, in the walk's order, each once however the
// folders overlap: the list and each file found join listed as the search goes. What the walk cannot
// take (a folder it cannot search, a path too long) is passed over: no file there can be checked. A
// stop request (HashStopRequested) ends the search with what it found so far.
std::vector<std::string> FindNewFiles(const std::string& listPath, const std::vector<std::string>& folders,
                                      ListedPaths& listed);

// Called on the searching thread before each thing the walk finds; null (the default) calls nothing.
// Tests stall a search there, as a share that does not answer would.
typedef void (*SearchHook)();
void SetSearchHook(SearchHook hook);
