#include "tools/save_list.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>

#include <new>
#include <string>

#include "base/list_file.h"
#include "base/load_text.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/list_store.h"
#include "window/show_message.h"

namespace {

const char Filter[] = "Normal Text file (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
const DWORD SaveFlags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                        OFN_LONGNAMES | OFN_ENABLESIZING;
static_assert(SaveFlags == 0xA0880A, "the save dialog's documented flags");

static_assert(sizeof(OPENFILENAMEA) == 152, "the save dialog gets the full structure");

// The whole file's text, read from the list's own store on the window thread:
// one pass, no message per entry.
std::string ListText() {
    std::string text = ListHeading(LoadText(IDS_SAVE_HEADING));
    const ListStore& entries = FileList->Entries();
    size_t size = text.size();
    for (size_t index = 0; index < entries.Count(); ++index) {
        size += strlen(entries.Text(index)) + 2;
    }
    text.reserve(size);
    for (size_t index = 0; index < entries.Count(); ++index) {
        // An entry too long for a list line (only another program can add
        // one) is written as the empty line, as GetEntry refuses it.
        const char* entry = entries.Text(index);
        if (strlen(entry) < static_cast<size_t>(PathBufferSize)) {
            text += entry;
        }
        text += "\r\n";
    }
    return text;
}

} // namespace

SaveOutcome WriteListFile(const char* path, std::string& aside) {
    try {
        return WriteInPlace(path, ListText(), aside);
    } catch (const std::bad_alloc&) {
        return SaveFailed; // no room for the text: nothing was written
    }
}

void SaveList(HWND owner) {
    char fileName[PathBufferSize] = "";
    // The dialog keeps a pointer to the title, so it gets its own copy.
    char title[SharedTextSize];
    const char* loaded = LoadText(IDS_SAVE_TITLE);
    if (loaded) {
        lstrcpynA(title, loaded, sizeof title);
    }

    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hInstance = AppInstance;
    dialog.lpstrFilter = Filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrTitle = loaded ? title : NULL;
    dialog.Flags = SaveFlags;
    dialog.lpstrDefExt = "txt";
    if (!GetSaveFileNameA(&dialog)) {
        return;
    }

    std::string aside;
    SaveOutcome outcome = WriteListFile(fileName, aside);
    if (outcome == SaveFailed) {
        ShowMessage(owner, IDS_SAVE_FAILED, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    if (outcome == SaveAside) {
        // The old list was moved away: the message names where the new one lies.
        ShowMessage(owner, IDS_SAVE_KEPT, aside.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    FileList->SetSelection(-1);
    ShowMessage(owner, IDS_SAVED, MB_TASKMODAL | MB_ICONINFORMATION);
}
