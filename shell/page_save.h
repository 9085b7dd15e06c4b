// The page's Save list...: a *sum list of the digests shown, one algorithm per list, chosen by the
// save dialog's file type (name.sha256, name.md5, ...), written beside the files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/digestor.h"

// One digested file of the page.
struct SavedDigest {
    std::wstring path; // full path
    DigestKind kind;
    std::string digest;
};

// The list's text: a "hex  name" line (SumLine) for each digest of kind, names relative to
// listFolder (a full path) with '/' between them, in UTF-8.
std::string SumListText(const std::vector<SavedDigest>& digests, DigestKind kind,
                        const std::wstring& listFolder);

// Asks where (the save dialog, starting in folder with name suggested, one file type per kind of
// kinds, preferred first), then writes the list, complete or not at all. language words the dialog.
// The path written, or the empty text after a cancel; failed is set when the write failed.
std::wstring SaveDigestList(HWND owner, HMODULE language, const std::vector<SavedDigest>& digests,
                            const std::vector<DigestKind>& kinds, DigestKind preferred,
                            const std::wstring& folder, const std::wstring& name, bool& failed);
