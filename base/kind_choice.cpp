#include "base/kind_choice.h"

#include "base/sum_line.h"

KindChoice::Length& KindChoice::Of(size_t length) {
    for (Length& known : m_lengths) {
        if (known.length == length) {
            return known;
        }
    }
    DigestKind usual = DigestMD5;
    SumLineKind(length, usual);
    m_lengths.push_back(Length{length, Open, usual});
    return m_lengths.back();
}

bool KindChoice::Offer(const std::string& expected, DigestKind& kind, KindTries& tries) {
    Length& length = Of(expected.size());
    tries.others.clear();
    tries.expected.clear();
    kind = length.kind;
    if (length.state == Out) {
        return false;
    }
    if (length.state == Open) {
        DigestKind kinds[MostSumLineKinds];
        const size_t count = SumLineKinds(expected.size(), kinds);
        tries.others.assign(kinds + (count > 0 ? 1 : 0), kinds + count);
        tries.expected = expected;
        length.state = tries.others.empty() ? Decided : Out;
    }
    return true;
}

void KindChoice::Back(size_t length, bool digested, DigestKind kind) {
    Length& known = Of(length);
    if (known.state == Out) {
        known.state = digested ? Decided : Open;
        known.kind = digested ? kind : known.kind;
    }
}
