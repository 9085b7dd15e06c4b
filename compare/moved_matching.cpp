#include "compare/moved_matching.h"

#include <algorithm>
#include <deque>
#include <map>

namespace {

// The extra candidates of one digest.
struct SameContent {
    std::map<std::wstring, std::deque<size_t>> byName; // still free, in path order
    std::vector<size_t> inOrder;                       // all, in path order
    size_t next;                                       // where the look for a free one goes on
};

} // namespace

std::vector<std::pair<size_t, size_t>> MatchMoved(const std::vector<MoveCandidate>& missing,
                                                  const std::vector<MoveCandidate>& extra) {
    std::map<std::string, SameContent> contents;
    for (size_t e = 0; e < extra.size(); ++e) {
        SameContent& content = contents[extra[e].digest];
        content.byName[extra[e].name].push_back(e);
        content.inOrder.push_back(e);
    }
    std::vector<bool> taken(extra.size(), false);
    std::vector<std::pair<size_t, size_t>> pairs;
    std::vector<size_t> unnamed; // missing candidates without a free extra of their name
    for (size_t m = 0; m < missing.size(); ++m) {
        const auto content = contents.find(missing[m].digest);
        if (content == contents.end()) {
            continue;
        }
        const auto name = content->second.byName.find(missing[m].name);
        if (name == content->second.byName.end() || name->second.empty()) {
            unnamed.push_back(m);
            continue;
        }
        pairs.push_back(std::make_pair(m, name->second.front()));
        taken[name->second.front()] = true;
        name->second.pop_front();
    }
    // The rest in path order: each the earliest extra of its content still free.
    for (size_t m : unnamed) {
        SameContent& content = contents[missing[m].digest];
        while (content.next < content.inOrder.size() && taken[content.inOrder[content.next]]) {
            ++content.next;
        }
        if (content.next < content.inOrder.size()) {
            pairs.push_back(std::make_pair(m, content.inOrder[content.next]));
            taken[content.inOrder[content.next]] = true;
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}
