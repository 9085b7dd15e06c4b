#include "tools/compare_clipboard.h"

#include <string.h>
#include <wchar.h>

#include <new>
#include <string>

#include "base/code_page.h"
#include "base/digest_in_text.h"
#include "base/list_reading.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/show_message.h"

namespace {

// The clipboard's text in the process code page; empty when it holds none.
// UTF-16 comes first: the CF_TEXT that Windows makes from it is in the ANSI
// code page of the clipboard's locale, not necessarily the process's.
std::string ClipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) {
        return text;
    }
    const UINT format = IsClipboardFormatAvailable(CF_UNICODETEXT) ? CF_UNICODETEXT : CF_TEXT;
    HANDLE data = GetClipboardData(format);
    const void* locked = data ? GlobalLock(data) : NULL;
    if (locked) {
        // The text need not end within its block: the block's size bounds it.
        const size_t size = GlobalSize(data);
        try {
            if (format == CF_UNICODETEXT) {
                const wchar_t* wide = static_cast<const wchar_t*>(locked);
                // A character the code page lacks is no hex digit either way.
                ToNarrow(std::wstring(wide, wcsnlen(wide, size / sizeof(wchar_t))), text);
            } else {
                const char* narrow = static_cast<const char*>(locked);
                text.assign(narrow, strnlen(narrow, size));
            }
        } catch (const std::bad_alloc&) {
            text.clear();
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// The index of the first entry that is a result line with digest, and its
// path; -1 when there is none.
int FindEntry(const std::string& digest, std::string& path) {
    char entry[PathBufferSize];
    const int count = static_cast<int>(FileList->EntryCount());
    for (int index = 0; index < count; ++index) {
        if (!FileList->GetEntry(index, entry)) {
            continue;
        }
        const ListEntry read = ReadOwnLine(entry);
        if (read.isResult && read.digest == digest) {
            path = read.path;
            return index;
        }
    }
    return -1;
}

} // namespace

void CompareClipboard(HWND owner) {
    if (ExpandThread || ProgressWindow) {
        return;
    }
    const std::string digest = FindDigestInText(ClipboardText(owner));
    if (digest.empty()) {
        ShowMessage(owner, IDS_COMPARE_NO_DIGEST, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    std::string path;
    const int index = FindEntry(digest, path);
    if (index < 0) {
        ShowMessage(owner, IDS_COMPARE_NONE, MB_TASKMODAL | MB_ICONINFORMATION);
        return;
    }
    FileList->SetSelection(index);
    // A selection set by the program is not reported by the list box: the
    // window is told as a click tells it, and shows the entry below the list.
    SendMessageA(owner, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(owner, IDC_FILE_LIST)));
    ShowMessage(owner, IDS_COMPARE_MATCH, path.c_str(), MB_TASKMODAL | MB_ICONINFORMATION);
}
