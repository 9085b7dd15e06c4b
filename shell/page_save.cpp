#include "shell/page_save.h"

#include <commdlg.h>

#include "base/algorithm_names.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "base/scoped_handle.h"
#include "base/sum_line.h"
#include "res/resource.h"
#include "shell/shell_format.h"
#include "shell/shell_language.h"
#include "shell/wide_text.h"

namespace {

std::wstring LowerName(DigestKind kind) {
    std::wstring name = WideText(KindName(kind));
    CharLowerBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

// Writes text into a new file beside path, then puts it in path's place.
bool WriteListFile(const std::wstring& path, const std::string& text) {
    const std::wstring temporary = path + L".digestor-new";
    {
        ScopedFile file(CreateFileW(LongPath(temporary).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
        DWORD written = 0;
        if (!file.IsValid() ||
            !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, NULL) ||
            written != text.size() || !file.Close()) {
            DeleteFileW(LongPath(temporary).c_str());
            return false;
        }
    }
    if (!MoveFileExW(LongPath(temporary).c_str(), LongPath(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(LongPath(temporary).c_str());
        return false;
    }
    return true;
}

} // namespace

std::string SumListText(const std::vector<SavedDigest>& digests, DigestKind kind,
                        const std::wstring& listFolder) {
    const std::string folder = Utf8Text(listFolder);
    std::string text;
    for (const SavedDigest& digest : digests) {
        if (digest.kind == kind) {
            text += SumLine(digest.digest, RecordedPath(folder, Utf8Text(digest.path))) + "\r\n";
        }
    }
    return text;
}

std::wstring SaveDigestList(HWND owner, HMODULE language, const std::vector<SavedDigest>& digests,
                            const std::vector<DigestKind>& kinds, DigestKind preferred,
                            const std::wstring& folder, const std::wstring& name, bool& failed) {
    failed = false;
    // "SHA256 list\0*.sha256\0" for each kind, its file type's index the kind's place + 1.
    std::wstring filter;
    DWORD chosen = 1;
    for (size_t k = 0; k < kinds.size(); ++k) {
        const std::wstring algorithm = WideText(KindName(kinds[k]));
        std::wstring label =
            FormatShellText(language, IDS_PAGE_SAVE_FILTER, {reinterpret_cast<DWORD_PTR>(algorithm.c_str())});
        label = label.empty() ? algorithm : label;
        filter += label + L" (*." + LowerName(kinds[k]) + L")" + L'\0' + L"*." + LowerName(kinds[k]) + L'\0';
        chosen = kinds[k] == preferred ? static_cast<DWORD>(k + 1) : chosen;
    }
    filter += L'\0';
    std::wstring file = name + L"." + LowerName(kinds[chosen - 1]);
    file.resize(32768, L'\0');
    const std::wstring title = ShellText(language, IDS_PAGE_SAVE_TITLE);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = chosen;
    dialog.lpstrFile = &file[0];
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.empty() ? NULL : title.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog)) {
        return std::wstring();
    }
    file.resize(wcslen(file.c_str()));
    const DigestKind kind =
        kinds[dialog.nFilterIndex >= 1 && dialog.nFilterIndex <= kinds.size() ? dialog.nFilterIndex - 1
                                                                              : chosen - 1];
    if (NameOf(file).find(L'.') == std::wstring::npos) {
        file += L"." + LowerName(kind);
    }
    failed = !WriteListFile(file, SumListText(digests, kind, FolderOfPath(file)));
    return file;
}
