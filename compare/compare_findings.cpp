#include "compare/compare_findings.h"

#include <algorithm>

namespace {

// Where the findings go.
struct Findings {
    const ComparePlan& plan;
    const CompareSink& sink;
    CompareTally& tally;
};

// Whether the findings of a pair are known: its files' reads are in, its MOVED group resolved.
bool Settled(const ComparePlan& plan, const EntryPair& pair) {
    for (CompareSide which : {SideOriginal, SideCopy}) {
        const int entry = EntryOf(pair, which);
        if (entry == NoEntry) {
            continue;
        }
        const ComparedSide& side = plan.sides[which];
        const int read = side.readOf[static_cast<size_t>(entry)];
        const int group = side.groupOf[static_cast<size_t>(entry)];
        if ((read != NoEntry && static_cast<size_t>(read) >= side.taken) ||
            (group != NoEntry && !plan.groups[static_cast<size_t>(group)].resolved)) {
            return false;
        }
    }
    return true;
}

// Whether side which holds anything below the folder of key: then the other side's empty folder of
// that name is no finding, its content is.
bool HoldsBelow(const ComparePlan& plan, CompareSide which, const std::wstring& key) {
    const std::vector<SideEntry>& entries = plan.sides[which].listing.entries;
    const auto below =
        std::lower_bound(entries.begin(), entries.end(), key,
                         [](const SideEntry& entry, const std::wstring& k) { return entry.key < k; });
    return below != entries.end() && below->key.compare(0, key.size(), key) == 0 &&
           below->key.size() > key.size();
}

// A finding counted and handed out.
void Found(const Findings& out, CompareVerdict verdict, CompareSide side, const std::string& path,
           const std::string& copyPath = std::string(), bool otherForm = false) {
    // By CompareVerdict.
    int* const counts[] = {&out.tally.same,  &out.tally.different, &out.tally.missing,
                           &out.tally.extra, &out.tally.moved,     &out.tally.readErrors};
    ++*counts[verdict];
    out.tally.otherForms += otherForm ? 1 : 0;
    const CompareFinding finding = {verdict, path, copyPath, side, otherForm};
    if (out.sink.found) {
        out.sink.found(finding, out.sink.context);
    }
}

// The findings of an entry one side alone has.
void FoundAlone(const Findings& out, CompareSide which, int entry) {
    const ComparePlan& plan = out.plan;
    const SideEntry& found = Entry(plan, which, entry);
    const CompareVerdict absent = which == SideOriginal ? CompareMissing : CompareExtra;
    const int moved = plan.sides[which].movedWith[static_cast<size_t>(entry)];
    if (found.kind == EntryUnreadable || ReadFailed(plan, which, entry)) {
        Found(out, CompareReadError, which, found.path);
    } else if (found.kind == EntryEmptyFolder) {
        if (!HoldsBelow(plan, OtherSide(which), found.key)) {
            Found(out, absent, which, found.path);
        }
    } else if (moved == NoEntry) {
        Found(out, absent, which, found.path);
    } else if (which == SideOriginal) {
        Found(out, CompareMoved, SideOriginal, found.path, Entry(plan, SideCopy, moved).path);
    }
}

// The findings of a pair's entries, in order.
void FoundPair(const Findings& out, const EntryPair& pair) {
    const ComparePlan& plan = out.plan;
    const SideEntry& original = Entry(plan, SideOriginal, pair.original);
    const SideEntry& copy = Entry(plan, SideCopy, pair.copy);
    const bool unread[2] = {original.kind == EntryUnreadable || ReadFailed(plan, SideOriginal, pair.original),
                            copy.kind == EntryUnreadable || ReadFailed(plan, SideCopy, pair.copy)};
    if (unread[SideOriginal] || unread[SideCopy]) {
        for (CompareSide which : {SideOriginal, SideCopy}) {
            if (unread[which]) {
                Found(out, CompareReadError, which, Entry(plan, which, EntryOf(pair, which)).path);
            }
        }
        return;
    }
    bool same = original.size == copy.size;
    if (same && original.kind == EntryFile && original.size > 0) {
        const int read[2] = {plan.sides[SideOriginal].readOf[static_cast<size_t>(pair.original)],
                             plan.sides[SideCopy].readOf[static_cast<size_t>(pair.copy)]};
        same = plan.sides[SideOriginal].reader->Result(static_cast<size_t>(read[SideOriginal])).digest ==
               plan.sides[SideCopy].reader->Result(static_cast<size_t>(read[SideCopy])).digest;
    }
    Found(out, same ? CompareSame : CompareDifferent, SideOriginal, original.path,
          pair.otherForm ? copy.path : std::string(), pair.otherForm);
}

} // namespace

void FindSettled(const ComparePlan& plan, size_t& emitted, const CompareSink& sink, CompareTally& tally) {
    const Findings out = {plan, sink, tally};
    for (; emitted < plan.pairs.size() && Settled(plan, plan.pairs[emitted]); ++emitted) {
        const EntryPair& pair = plan.pairs[emitted];
        if (pair.original != NoEntry && pair.copy != NoEntry) {
            FoundPair(out, pair);
        } else if (pair.original != NoEntry) {
            FoundAlone(out, SideOriginal, pair.original);
        } else {
            FoundAlone(out, SideCopy, pair.copy);
        }
    }
}
