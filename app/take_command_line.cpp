#include "app/take_command_line.h"

#include <shellapi.h>

#include <climits>
#include <new>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/digest_file.h"
#include "base/list_reading.h"
#include "base/long_path.h"
#include "base/scoped_handle.h"
#include "gather/folder_expand_thread.h"
#include "res/resource.h"
#include "run/compare_job.h"
#include "tools/check_list.h"
#include "tools/compare_folders.h"
#include "tools/record_folder.h"
#include "window/algorithm_box.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/list_painting.h"
#include "window/show_message.h"

namespace {

// How much of the names of the arguments not taken their message shows.
const size_t NotTakenShown = 1024;

bool IsSwitch(const wchar_t* argument, const wchar_t* name) { return lstrcmpiW(argument, name) == 0; }

CommandLineWork Refuse(HWND window, const wchar_t* argument) {
    std::string shown;
    ToNarrow(argument, shown);
    ShowMessage(window, IDS_COMMAND_LINE_FORMS, shown.c_str(), MB_TASKMODAL | MB_ICONERROR);
    return CommandLineIdle;
}

// The lines of the hand-over file of /items (UTF-8, a byte-order mark
// skipped, CR LF or LF) as UTF-16, empty lines left out; a byte that is no
// UTF-8 becomes U+FFFD, which names no file. False when it cannot be read.
bool ReadItems(const std::string& file, std::vector<std::wstring>& items) {
    try {
        std::string bytes;
        ScopedFile handle(OpenToRead(file.c_str()));
        char chunk[64 * 1024];
        DWORD length = 0;
        for (;;) {
            if (!handle.IsValid() || !ReadFile(handle.Get(), chunk, sizeof chunk, &length, NULL)) {
                return false;
            }
            if (length == 0) {
                break;
            }
            bytes.append(chunk, length);
        }
        const size_t first = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        if (bytes.size() - first > static_cast<size_t>(INT_MAX)) {
            return false;
        }
        const int size = static_cast<int>(bytes.size() - first);
        std::wstring text(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, &bytes[first], size, NULL, 0)),
                          L'\0');
        if (!text.empty()) {
            MultiByteToWideChar(CP_UTF8, 0, &bytes[first], size, &text[0], static_cast<int>(text.size()));
        }
        for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
            end = text.find(L'\n', start);
            end = end == std::wstring::npos ? text.size() : end;
            const size_t stop = end > start && text[end - 1] == L'\r' ? end - 1 : end;
            if (stop > start) {
                items.push_back(text.substr(start, stop - start));
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// "/items FILE": the file is the Explorer menu's hand-over in the temp
// folder, read once and deleted, so nothing is left behind.
CommandLineWork TakeItems(HWND window, const wchar_t* argument) {
    std::string file;
    std::vector<std::wstring> items;
    if (!ToNarrow(argument, file) || !ReadItems(file, items)) {
        ShowMessage(window, IDS_ITEMS_UNREADABLE, file.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return CommandLineIdle;
    }
    DeleteFileW(LongPath(file).c_str());
    std::vector<const wchar_t*> paths;
    paths.reserve(items.size());
    for (const std::wstring& item : items) {
        paths.push_back(item.c_str());
    }
    TakePaths(window, paths.data(), static_cast<int>(paths.size()), WalkFolders);
    StartFolderExpansion(window);
    return CommandLineRun;
}

// "/record FOLDER", with the algorithm already in the box.
CommandLineWork TakeRecord(HWND window, const wchar_t* argument) {
    std::string folder;
    if (!ToNarrow(argument, folder)) { // another folder's name
        ShowMessage(window, IDS_NOT_A_FOLDER, folder.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return CommandLineIdle;
    }
    return PrepareFolderRecording(window, folder) ? CommandLineRecord : CommandLineIdle;
}

// A side of "/compare" as narrow text; one whose name the code page cannot
// hold exactly (it would name another) is named in a message.
bool TakeSide(HWND window, const wchar_t* argument, std::string& side) {
    if (ToNarrow(argument, side)) {
        return true;
    }
    ShowMessage(window, IDS_COMPARE_UNREADABLE, side.c_str(), MB_TASKMODAL | MB_ICONERROR);
    return false;
}

// "/compare ORIGINAL COPY", with the algorithm already in the box: the run
// starts at once, without the dialog.
CommandLineWork TakeCompare(HWND window, const wchar_t* original, const wchar_t* copy) {
    FolderComparison comparison = {};
    comparison.kind = SelectedAlgorithm(window);
    if (TakeSide(window, original, comparison.original) && TakeSide(window, copy, comparison.copy) &&
        PrepareComparison(window, comparison)) {
        StartComparison(window,
                        {comparison.original, comparison.copy, comparison.kind, comparison.recordList});
    }
    return CommandLineIdle;
}

// arguments[0..count-1], the program's own path excluded.
CommandLineWork TakeArguments(HWND window, const wchar_t* const* arguments, int count) {
    if (count == 0) {
        return CommandLineIdle;
    }
    if (count > 1 && IsSwitch(arguments[0], L"/check")) {
        std::string list;
        if (ToNarrow(arguments[1], list)) {
            CheckList(window, list.c_str());
        } else {
            ShowMessage(window, IDS_BAD_ARGUMENTS, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
        }
        return CommandLineIdle;
    }
    int at = 0;
    bool chosen = false;
    if (IsSwitch(arguments[0], L"/alg")) {
        if (count < 2) {
            return Refuse(window, arguments[0]);
        }
        std::string name;
        DigestKind kind = DigestMD5;
        if (!ToNarrow(arguments[1], name) || !FindAlgorithm(name, kind)) {
            ShowMessage(window, IDS_UNKNOWN_ALGORITHM, name.c_str(), MB_TASKMODAL | MB_ICONERROR);
            return CommandLineIdle;
        }
        SelectAlgorithm(window, kind);
        at = 2;
        chosen = true;
    }
    if (at < count && IsSwitch(arguments[at], L"/compare")) {
        if (count != at + 3) { // a side missing, or something after them
            return Refuse(window, arguments[count < at + 3 ? at : at + 3]);
        }
        if (!chosen) {
            SelectAlgorithm(window, DigestXXH128);
        }
        return TakeCompare(window, arguments[at + 1], arguments[at + 2]);
    }
    if (at < count && (IsSwitch(arguments[at], L"/items") || IsSwitch(arguments[at], L"/record"))) {
        if (count != at + 2) { // the value missing, or something after it
            return Refuse(window, arguments[count == at + 1 ? at : at + 2]);
        }
        if (IsSwitch(arguments[at], L"/items")) {
            return TakeItems(window, arguments[at + 1]);
        }
        if (!chosen) {
            SelectAlgorithm(window, DigestSHA256);
        }
        return TakeRecord(window, arguments[at + 1]);
    }
    if (at == count) {
        return CommandLineIdle; // "/alg NAME" alone only selects
    }
    TakePaths(window, arguments + at, count - at, AskForFolders);
    StartFolderExpansion(window);
    return CommandLineRun;
}

} // namespace

void TakePaths(HWND window, const wchar_t* const* paths, int count, FolderQuestion question) {
    std::vector<std::string> folders;
    std::string notTaken;
    // Thousands of entries would each repaint the list under Wine.
    HoldListPainting();
    for (int i = 0; i < count; ++i) {
        // A cut or altered path would name another file.
        std::string path;
        bool exact = ToNarrow(paths[i], path);
        DWORD attributes = exact && path.size() < static_cast<size_t>(PathBufferSize)
                               ? PathAttributes(path)
                               : INVALID_FILE_ATTRIBUTES;
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (notTaken.size() <= NotTakenShown) { // the rest would not show
                notTaken += "\n" + CutText(path, PathBufferSize - 1);
            }
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            FileList->AddEntry(path.c_str());
        } else if (question == WalkFolders ||
                   ShowMessage(window, IDS_ASK_FOLDER, path.c_str(), MB_ICONQUESTION | MB_YESNO) == IDYES) {
            folders.push_back(path);
        }
    }
    ReleaseListPainting();
    PendingFolders = FolderQueue::Create(static_cast<int32_t>(folders.size()));
    for (const std::string& folder : folders) {
        PendingFolders.Push(folder.c_str());
    }
    if (PendingFolders.status == NoMemory) {
        ShowMessage(window, IDS_DROP_NO_MEMORY, MB_TASKMODAL | MB_ICONERROR);
    }
    if (!notTaken.empty()) {
        ShowMessage(window, IDS_BAD_ARGUMENTS, CutText(notTaken.substr(1), NotTakenShown).c_str(),
                    MB_TASKMODAL | MB_ICONERROR);
    }
}

CommandLineWork TakeCommandLine(HWND window) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        ShowMessage(NULL, IDS_BAD_COMMAND_LINE, MB_ICONERROR);
        return CommandLineIdle;
    }
    const CommandLineWork work = TakeArguments(window, arguments + 1, count - 1);
    LocalFree(arguments);
    return work;
}
