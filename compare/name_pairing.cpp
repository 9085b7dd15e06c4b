#include "compare/name_pairing.h"

#include <windows.h>

#include "base/code_page.h"
#include "base/long_path.h"

namespace {

// Characters below this are their own NFC form whatever follows them: the combining marks, and every
// character NFC replaces, lie above. Names of them alone skip the normalisation.
const wchar_t FirstNotComposed = 0x300;
const wchar_t FirstNotAscii = 0x80;
// Each retry of NormalizeString takes the larger length it asks for; a valid name needs one.
const int NormalizeTries = 3;

bool AllBelow(const std::wstring& text, wchar_t limit) {
    for (wchar_t c : text) {
        if (c >= limit) {
            return false;
        }
    }
    return true;
}

// text in NFC; as it is where it holds no valid UTF-16 (a lone surrogate).
std::wstring Composed(const std::wstring& text) {
    if (AllBelow(text, FirstNotComposed)) {
        return text;
    }
    const int size = static_cast<int>(text.size());
    int length = NormalizeString(NormalizationC, text.data(), size, NULL, 0);
    for (int tries = 0; length > 0 && tries < NormalizeTries; ++tries) {
        std::wstring composed(static_cast<size_t>(length), L'\0');
        const int made = NormalizeString(NormalizationC, text.data(), size, &composed[0], length);
        if (made > 0) {
            composed.resize(static_cast<size_t>(made));
            return composed;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            break;
        }
        length = -made;
    }
    return text;
}

// text in upper case as Windows compares names: the invariant locale's simple mapping, which keeps the
// length.
std::wstring UpperCase(const std::wstring& text) {
    std::wstring upper = text;
    if (AllBelow(text, FirstNotAscii)) {
        for (wchar_t& c : upper) {
            c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
        }
        return upper;
    }
    const int size = static_cast<int>(text.size());
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), size, &upper[0], size, NULL, NULL, 0);
    return upper;
}

bool SameButCase(const std::string& one, const std::string& other) {
    return one == other || SamePath(one, other);
}

// The entries [i, iEnd) and [j, jEnd), all of one key: those of the same name but for case first,
// then the rest in order; the unpaired ones alone.
void PairRun(const std::vector<SideEntry>& original, const std::vector<SideEntry>& copy, size_t i,
             size_t iEnd, size_t j, size_t jEnd, std::vector<EntryPair>& pairs) {
    std::vector<int> partner(iEnd - i, -1);
    std::vector<bool> taken(jEnd - j, false);
    for (size_t a = i; a < iEnd; ++a) {
        for (size_t b = j; b < jEnd && partner[a - i] < 0; ++b) {
            if (!taken[b - j] && SameButCase(original[a].path, copy[b].path)) {
                partner[a - i] = static_cast<int>(b);
                taken[b - j] = true;
            }
        }
    }
    size_t next = j;
    for (size_t a = i; a < iEnd; ++a) {
        while (next < jEnd && taken[next - j]) {
            ++next;
        }
        if (partner[a - i] < 0 && next < jEnd) {
            partner[a - i] = static_cast<int>(next);
            taken[next - j] = true;
        }
        const int b = partner[a - i];
        pairs.push_back(
            EntryPair{static_cast<int>(a), b,
                      b >= 0 && !SameButCase(original[a].path, copy[static_cast<size_t>(b)].path)});
    }
    for (size_t b = j; b < jEnd; ++b) {
        if (!taken[b - j]) {
            pairs.push_back(EntryPair{-1, static_cast<int>(b), false});
        }
    }
}

} // namespace

std::wstring PairingKey(const std::string& path) {
    std::wstring key = UpperCase(Composed(ToWide(path)));
    for (wchar_t& c : key) {
        c = c == L'\\' ? KeySeparator : c;
    }
    return key;
}

std::vector<EntryPair> PairNames(const std::vector<SideEntry>& original, const std::vector<SideEntry>& copy) {
    std::vector<EntryPair> pairs;
    pairs.reserve(original.size() > copy.size() ? original.size() : copy.size());
    size_t i = 0;
    size_t j = 0;
    while (i < original.size() || j < copy.size()) {
        const int order = i == original.size() ? 1
                          : j == copy.size()   ? -1
                                               : original[i].key.compare(copy[j].key);
        if (order < 0) {
            pairs.push_back(EntryPair{static_cast<int>(i++), -1, false});
        } else if (order > 0) {
            pairs.push_back(EntryPair{-1, static_cast<int>(j++), false});
        } else {
            size_t iEnd = i + 1;
            size_t jEnd = j + 1;
            while (iEnd < original.size() && original[iEnd].key == original[i].key) {
                ++iEnd;
            }
            while (jEnd < copy.size() && copy[jEnd].key == copy[j].key) {
                ++jEnd;
            }
            PairRun(original, copy, i, iEnd, j, jEnd, pairs);
            i = iEnd;
            j = jEnd;
        }
    }
    return pairs;
}
