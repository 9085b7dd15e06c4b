#include "console/path_pattern.h"

#include <windows.h>

#include "base/code_page.h"
#include "base/long_path.h"
#include "base/scoped_handle.h"

std::vector<std::string> ExpandPattern(const std::string& argument) {
    const size_t nameStart = argument.find_last_of("\\/:") + 1; // 0 when there is no folder part
    if (argument.find_first_of("*?", nameStart) == std::string::npos ||
        PathAttributes(argument) != INVALID_FILE_ATTRIBUTES) {
        return {argument};
    }
    std::vector<std::string> paths;
    WIN32_FIND_DATAW entry;
    ScopedFind find(FindFirstFileExW(LongPath(argument).c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, NULL, 0));
    if (find.IsValid()) {
        do {
            std::string name;
            if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) {
                // A name outside the code page keeps its nearest form: it is reported as not opened.
                ToNarrow(entry.cFileName, name);
                paths.push_back(argument.substr(0, nameStart) + name);
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
    if (paths.empty()) {
        paths.push_back(argument);
    }
    return paths;
}
