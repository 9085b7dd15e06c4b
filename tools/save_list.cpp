#include "tools/save_list.h"

#include <commdlg.h>
#include <stdio.h>
#include <string.h>

#include <new>
#include <string>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "base/load_text.h"
#include "base/scoped_handle.h"
#include "base/show_message.h"
#include "res/resource.h"

namespace {

const char Filter[] = "Normal Text file (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
const DWORD SaveFlags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                        OFN_LONGNAMES | OFN_ENABLESIZING;
static_assert(SaveFlags == 0xA0880A, "the save dialog's documented flags");
const int SeparatorLength = 80;

static_assert(sizeof(OPENFILENAMEA) == 152, "the save dialog gets the full structure");

BOOL PlainWrite(HANDLE file, const void* bytes, DWORD length) {
    DWORD written = 0;
    return WriteFile(file, bytes, length, &written, NULL) && written == length;
}

SaveWriteFunction Write = PlainWrite;

// The whole file's text. The count is asked before every entry, so entries a
// folder walk adds meanwhile are written too.
std::string ListText() {
    std::string separator(SeparatorLength, '-');
    separator += "\r\n";
    const char* heading = LoadText(IDS_SAVE_HEADING);
    std::string text = separator;
    text += "                 ";
    text += AppTitle;
    text += " - ";
    text += heading ? heading : "";
    text += "\r\n";
    text += separator;
    text += "\r\n";

    char entry[PathBufferSize];
    memset(entry, 0, sizeof entry);
    for (int index = 0; index < FileList->EntryCount(); ++index) {
        // An entry that cannot be read is written as the empty line.
        if (!FileList->GetEntry(index, entry)) {
            entry[0] = '\0';
        }
        text += entry;
        text += "\r\n";
    }
    return text;
}

// The folder part of path, its last separator included; empty when none.
std::string FolderOf(const char* path) {
    const char* slash = strrchr(path, '\\');
    const char* other = strrchr(path, '/');
    if (other > slash) {
        slash = other;
    }
    return slash ? std::string(path, slash + 1) : std::string();
}

// Puts the complete file temporary in target's place. An existing target is
// replaced with ReplaceFileA, which keeps its attributes and security; its
// attributes are set again afterwards for platforms whose ReplaceFileA does
// not. On failure target is as it was and temporary still exists.
bool PutInPlace(const char* temporary, const char* target, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExA(temporary, target, MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ReplaceFileA(target, temporary, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL)) {
        return false;
    }
    if (GetFileAttributesA(target) != attributes) {
        SetFileAttributesA(target, attributes);
    }
    return true;
}

// Writes text into a new file beside target and puts it in target's place
// only when complete, so a failure leaves target whole and no file behind.
bool WriteInPlace(const char* target, const std::string& text) {
    // A replace ignores the read-only attribute: a read-only file stays.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    std::string folder = FolderOf(target);
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "dig", 0, temporary)) {
        return false;
    }
    bool written = false;
    {
        ScopedFile file(
            CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
        written = file.IsValid() && Write(file.Get(), text.data(), static_cast<DWORD>(text.size())) &&
                  FlushFileBuffers(file.Get());
        written = file.Close() && written;
    }
    if (written && PutInPlace(temporary, target, attributes)) {
        return true;
    }
    DeleteFileA(temporary);
    return false;
}

} // namespace

void SetSaveWriteFunction(SaveWriteFunction write) { Write = write ? write : PlainWrite; }

bool WriteListFile(const char* path) {
    try {
        return WriteInPlace(path, ListText());
    } catch (const std::bad_alloc&) {
        return false; // no room for the text: nothing was written
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

    if (!WriteListFile(fileName)) {
        ShowMessage(owner, IDS_SAVE_FAILED, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    FileList->SetSelection(-1);
    ShowMessage(owner, IDS_SAVED, MB_TASKMODAL | MB_ICONINFORMATION);
}
