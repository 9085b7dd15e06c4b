#include "compare/compare_plan.h"

#include <map>
#include <set>

#include "compare/moved_matching.h"

namespace {

// entry of side which is read, after those before it in path order.
void AddRead(ComparePlan& plan, CompareSide which, int entry) {
    ComparedSide& side = plan.sides[which];
    const SideEntry& found = Entry(plan, which, entry);
    side.readOf[static_cast<size_t>(entry)] = static_cast<int>(side.reads.size());
    side.reads.push_back(SideRead{EntryFullPath(side.listing, found)});
    side.entryOf.push_back(entry);
    plan.bytesAll += found.size;
}

// The sizes of the files that one side alone has, and of them those both sides have: the MOVED groups.
void FindMoveGroups(ComparePlan& plan) {
    std::set<unsigned long long> alone[2]; // by side: the sizes of its files the other side lacks
    for (const EntryPair& pair : plan.pairs) {
        for (CompareSide which : {SideOriginal, SideCopy}) {
            const int entry = EntryOf(pair, which);
            if (entry != NoEntry && EntryOf(pair, OtherSide(which)) == NoEntry &&
                Entry(plan, which, entry).kind == EntryFile) {
                alone[which].insert(Entry(plan, which, entry).size);
            }
        }
    }
    std::map<unsigned long long, int> groupOfSize;
    for (unsigned long long size : alone[SideOriginal]) {
        if (alone[SideCopy].count(size)) {
            groupOfSize[size] = static_cast<int>(plan.groups.size());
            plan.groups.push_back(MoveGroup{{}, {}, 0, false});
        }
    }
    for (const EntryPair& pair : plan.pairs) {
        const CompareSide which = pair.copy == NoEntry ? SideOriginal : SideCopy;
        const int entry = EntryOf(pair, which);
        if ((pair.original == NoEntry) == (pair.copy == NoEntry) ||
            Entry(plan, which, entry).kind != EntryFile) {
            continue;
        }
        const auto group = groupOfSize.find(Entry(plan, which, entry).size);
        if (group != groupOfSize.end()) {
            plan.sides[which].groupOf[static_cast<size_t>(entry)] = group->second;
            MoveGroup& moves = plan.groups[static_cast<size_t>(group->second)];
            (which == SideOriginal ? moves.missing : moves.extra).push_back(entry);
        }
    }
}

// The key of a path's last name.
std::wstring NameKey(const std::wstring& key) {
    const size_t separator = key.rfind(KeySeparator);
    return separator == std::wstring::npos ? key : key.substr(separator + 1);
}

// The entries of a group's side that were read (or need no read), as candidates; kept gets their
// entries in the same order.
std::vector<MoveCandidate> Candidates(const ComparePlan& plan, CompareSide which,
                                      const std::vector<int>& entries, std::vector<int>& kept) {
    std::vector<MoveCandidate> candidates;
    for (int entry : entries) {
        if (ReadFailed(plan, which, entry)) {
            continue; // a READ ERROR
        }
        const SideEntry& found = Entry(plan, which, entry);
        const int read = plan.sides[which].readOf[static_cast<size_t>(entry)];
        // Empty files are alike without a digest, also where a record read one of them.
        const std::string digest = found.size == 0
                                       ? std::string()
                                       : plan.sides[which].reader->Result(static_cast<size_t>(read)).digest;
        candidates.push_back(MoveCandidate{NameKey(found.key), digest});
        kept.push_back(entry);
    }
    return candidates;
}

} // namespace

void PlanReads(ComparePlan& plan, bool recording) {
    for (ComparedSide& side : plan.sides) {
        const size_t count = side.listing.entries.size();
        side.readOf.assign(count, NoEntry);
        side.groupOf.assign(count, NoEntry);
        side.movedWith.assign(count, NoEntry);
        for (const SideEntry& entry : side.listing.entries) {
            plan.filesAll += entry.kind == EntryFile ? 1 : 0;
        }
    }
    FindMoveGroups(plan);
    for (const EntryPair& pair : plan.pairs) {
        const bool both = pair.original != NoEntry && pair.copy != NoEntry;
        for (CompareSide which : {SideOriginal, SideCopy}) {
            const int entry = EntryOf(pair, which);
            if (entry == NoEntry || Entry(plan, which, entry).kind != EntryFile) {
                continue;
            }
            const SideEntry& found = Entry(plan, which, entry);
            const int other = EntryOf(pair, OtherSide(which));
            const bool compared = both && Entry(plan, OtherSide(which), other).kind == EntryFile &&
                                  Entry(plan, OtherSide(which), other).size == found.size;
            const int group = plan.sides[which].groupOf[static_cast<size_t>(entry)];
            if ((found.size > 0 && (compared || group != NoEntry)) || (recording && which == SideOriginal)) {
                AddRead(plan, which, entry);
                if (group != NoEntry) {
                    ++plan.groups[static_cast<size_t>(group)].pending;
                }
            } else {
                ++plan.filesUnread;
            }
        }
    }
}

bool ReadFailed(const ComparePlan& plan, CompareSide which, int entry) {
    const ComparedSide& side = plan.sides[which];
    const int read = side.readOf[static_cast<size_t>(entry)];
    if (read == NoEntry) {
        return false;
    }
    const SideResult& result = side.reader->Result(static_cast<size_t>(read));
    return result.outcome != FileDigested || result.read != Entry(plan, which, entry).size;
}

void ResolveGroup(ComparePlan& plan, MoveGroup& group) {
    std::vector<int> missing;
    std::vector<int> extra;
    const std::vector<MoveCandidate> missingCandidates =
        Candidates(plan, SideOriginal, group.missing, missing);
    const std::vector<MoveCandidate> extraCandidates = Candidates(plan, SideCopy, group.extra, extra);
    for (const auto& moved : MatchMoved(missingCandidates, extraCandidates)) {
        const int original = missing[moved.first];
        const int copy = extra[moved.second];
        plan.sides[SideOriginal].movedWith[static_cast<size_t>(original)] = copy;
        plan.sides[SideCopy].movedWith[static_cast<size_t>(copy)] = original;
    }
    group.resolved = true;
}
