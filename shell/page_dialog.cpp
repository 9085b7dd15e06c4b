#include "shell/page_dialog.h"

#include <commctrl.h>

#include <new>

#include "base/mirrored_layout.h"
#include "base/sum_line.h"
#include "base/algorithm_names.h"
#include "base/run_progress.h"
#include "base/text_fit.h"
#include "base/verdict_tones.h"
#include "res/resource.h"
#include "shell/module_lock.h"
#include "shell/page_context.h"
#include "shell/page_save.h"
#include "shell/page_worker.h"
#include "shell/shell_format.h"
#include "shell/shell_language.h"
#include "shell/typed_digest.h"
#include "shell/wide_text.h"

namespace {

// Ticked when the page opens.
const DigestKind DefaultKinds[] = {DigestMD5, DigestSHA1, DigestSHA256, DigestSHA512};
// The progress bar's range.
const int ProgressSteps = 1000;
// The algorithms' check boxes inside their group, in dialog units.
const int BoxLeft = 13, BoxTop = 13, BoxWidth = 50, BoxHeight = 10, BoxStepY = 12, BoxesPerRow = 4;
// Column widths in dialog units.
const int NameColumnWidth = 70, RecordedColumnWidth = 120;
// Pixels a column gives beside its text or heading.
const int CellMargin = 16;
// The samples the room for the lines below the list is measured with: a file's and a list's name of
// common length.
const wchar_t SampleFileName[] = L"setup-disc.iso";
const wchar_t SampleListName[] = L"SHA256SUMS";
const size_t NoRow = static_cast<size_t>(-1);

// Everything a page owns, from CreatePropertySheetPage to the sheet's release of the page.
struct PageWindow {
    std::vector<std::wstring> paths;
    std::wstring title;
    HMODULE language = NULL;
    char decimalMark = '.';      // the language module's, in the reading line's amounts
    bool ticked[KindCount] = {}; // by DigestKind
    PageContext* context = NULL; // the current one: news of others is dropped
    HANDLE worker = NULL;
    WPARAM generation = 0;
    HWND dialog = NULL;
    std::wstring detailShown;
    bool rowChosen = false; // the first row was selected for the user once
    COLORREF matchTone = 0;
    bool matchToned = false;
    COLORREF verdictTone = 0;
    bool verdictToned = false;
    std::string lastTyped; // the compare box's digest the last match was made for
    size_t matchedRow = NoRow;
    ModuleReference module;
    std::vector<BYTE> mirrored; // the page's template, flowing from the right; empty otherwise

    ~PageWindow() {
        if (language) {
            FreeLibrary(language);
        }
    }
};

std::wstring Words(const PageWindow* page, UINT id) { return ShellText(page->language, id); }

std::wstring VerdictWord(const PageWindow* page, Verdict verdict) {
    // By Verdict.
    const UINT ids[] = {IDS_VERDICT_OK,         IDS_VERDICT_FAILED,    IDS_VERDICT_MISSING,
                        IDS_VERDICT_READ_ERROR, IDS_VERDICT_CORRUPTED, IDS_VERDICT_MODIFIED,
                        IDS_VERDICT_NEW};
    std::wstring word = Words(page, ids[verdict]);
    return word.empty() ? WideText(VerdictText(verdict)) : word;
}

COLORREF VerdictTone(Verdict verdict) {
    return verdict == VerdictOK                                  ? PassedGreen
           : verdict == VerdictModified || verdict == VerdictNew ? ChangedBlue
                                                                 : FailedRed;
}

// The recorded time as local "YYYY-MM-DD HH:MM".
std::wstring RecordDate(unsigned long long ticks) {
    FILETIME utc = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(NULL, &universal, &local)) {
        return std::wstring();
    }
    wchar_t text[32];
    wsprintfW(text, L"%04u-%02u-%02u %02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
              local.wMinute);
    return text;
}

// Caller holds the context's lock.
std::wstring VerdictCell(const PageWindow* page, const PageFile& file) {
    if (!file.recorded) {
        return std::wstring();
    }
    const std::wstring word = VerdictWord(page, file.verdict);
    const std::wstring date = RecordDate(file.recordedAt);
    return FormatShellText(page->language, IDS_PAGE_VERDICT_CELL,
                           {reinterpret_cast<DWORD_PTR>(word.c_str()),
                            reinterpret_cast<DWORD_PTR>(file.listName.c_str()),
                            reinterpret_cast<DWORD_PTR>(date.c_str())});
}

// "As recorded: OK (SHA256SUMS, recorded 2026-01-05 14:20)". Caller holds the lock.
std::wstring VerdictLine(const PageWindow* page, const PageFile& file) {
    return Words(page, IDS_PAGE_RECORDED_COLUMN) + L": " + VerdictCell(page, file);
}

// What a file's row says where a digest would stand when it has none. Caller holds the lock.
std::wstring NoDigestText(const PageWindow* page, const PageFile& file) {
    return Words(page, file.state == FileCannotOpen   ? IDS_PAGE_OPEN_FAILED
                       : file.state == FileCannotRead ? IDS_PAGE_READ_FAILED
                                                      : IDS_PAGE_WAITING);
}

// The file's digest of kind, or null. Caller holds the lock.
const std::string* DigestOf(const PageFile& file, DigestKind kind) {
    for (size_t k = 0; k < file.kinds.size() && k < file.digests.size(); ++k) {
        if (file.kinds[k] == kind) {
            return &file.digests[k];
        }
    }
    return NULL;
}

// Column 0 the name, then one per ticked kind, then as recorded. Caller holds the lock.
std::wstring CellText(const PageWindow* page, const PageFile& file, int column) {
    const std::vector<DigestKind>& kinds = page->context->kinds;
    if (column == 0) {
        return NameOf(file.path);
    }
    if (column <= static_cast<int>(kinds.size())) {
        const std::string* digest = DigestOf(file, kinds[column - 1]);
        return digest ? WideText(*digest) : NoDigestText(page, file);
    }
    return VerdictCell(page, file);
}

HWND Control(const PageWindow* page, int id) { return GetDlgItem(page->dialog, id); }

std::wstring WindowText(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
    return text;
}

void BuildColumns(PageWindow* page) {
    HWND list = Control(page, IDC_PAGE_FILES);
    while (ListView_DeleteColumn(list, 0)) {
    }
    RECT widths = {NameColumnWidth, 0, RecordedColumnWidth, 0};
    MapDialogRect(page->dialog, &widths);
    std::vector<std::wstring> headings;
    std::vector<int> pixels;
    headings.push_back(Words(page, IDS_PAGE_NAME_COLUMN));
    pixels.push_back(widths.left);
    for (DigestKind kind : page->context->kinds) {
        headings.push_back(WideText(KindName(kind)));
        // As wide as the digest's hex digits.
        DigestorHolder digestor(kind);
        digestor->Finish();
        const std::wstring sample(digestor->DigestText().size(), L'0');
        int width = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                  reinterpret_cast<LPARAM>(sample.c_str()))) +
                    CellMargin;
        pixels.push_back(width);
    }
    headings.push_back(Words(page, IDS_PAGE_RECORDED_COLUMN));
    pixels.push_back(widths.right);
    for (size_t c = 0; c < headings.size(); ++c) {
        // No narrower than its heading.
        const int heading = static_cast<int>(
            SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(headings[c].c_str())));
        pixels[c] = pixels[c] > heading + CellMargin ? pixels[c] : heading + CellMargin;
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = &headings[c][0];
        column.cx = pixels[c];
        column.iSubItem = static_cast<int>(c);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
}

// Lets the current worker go: patient, it cancels the read until the worker has seen the stop (about
// 100 ms at most); otherwise once. Either way the worker ends on its own and frees what it holds.
enum StopManner { StopOnce, StopAndCancel };

void LetWorkerGo(PageWindow* page, StopManner manner) {
    if (!page->context) {
        return;
    }
    page->context->Detach();
    if (page->worker) {
        if (manner == StopAndCancel) {
            StopPageWorker(page->worker, page->context);
        } else {
            InterlockedExchange(&page->context->stop, 1);
            CancelSynchronousIo(page->worker);
        }
        CloseHandle(page->worker);
        page->worker = NULL;
    }
    page->context->Release();
    page->context = NULL;
}

void UpdateDetail(PageWindow* page);
void UpdateMatch(PageWindow* page);
void OnNews(PageWindow* page);

// "Reading big.iso: 1.2 GB of 4.4 GB, 150.3 MB/s" of a file that has been read for about a second.
std::wstring ReadingText(const PageWindow* page, const std::wstring& name, const PageReading& reading) {
    const std::wstring done = WideText(AmountText(reading.done, page->decimalMark));
    const std::wstring size = WideText(AmountText(reading.size, page->decimalMark));
    const std::wstring speed =
        WideText(AmountText(static_cast<uint64_t>(reading.bytesPerSecond), page->decimalMark));
    return FormatShellText(
        page->language, IDS_PAGE_READING_FILE,
        {reinterpret_cast<DWORD_PTR>(name.c_str()), reinterpret_cast<DWORD_PTR>(done.c_str()),
         reinterpret_cast<DWORD_PTR>(size.c_str()), reinterpret_cast<DWORD_PTR>(speed.c_str())});
}

enum PageStage { StageWaiting, StageReading, StageDone }; // waiting: for the rows

// The status line: of done files of rows, or of the file of readingName being read.
std::wstring StatusText(const PageWindow* page, PageStage stage, size_t done, size_t rows,
                        const std::wstring& readingName, const PageReading& reading) {
    return stage == StageWaiting ? Words(page, IDS_PAGE_WAITING)
           : stage == StageDone
               ? FormatShellText(page->language, IDS_PAGE_DONE, {static_cast<DWORD_PTR>(done)})
           : reading.shown ? ReadingText(page, readingName, reading)
                           : FormatShellText(page->language, IDS_PAGE_READING,
                                             {static_cast<DWORD_PTR>(done), static_cast<DWORD_PTR>(rows)});
}

std::wstring LeftOutText(const PageWindow* page, size_t folders) {
    return folders == 0   ? std::wstring()
           : folders == 1 ? Words(page, IDS_PAGE_FOLDER_LEFT_OUT)
                          : FormatShellText(page->language, IDS_PAGE_FOLDERS_LEFT_OUT,
                                            {static_cast<DWORD_PTR>(folders)});
}

// The compare box's answer when the digest of kind of file name matches: the name only among several.
std::wstring MatchText(const PageWindow* page, const std::wstring& kind, const std::wstring& name,
                       size_t rows) {
    return rows == 1 ? FormatShellText(page->language, IDS_PAGE_MATCH_ONE,
                                       {reinterpret_cast<DWORD_PTR>(kind.c_str())})
                     : FormatShellText(page->language, IDS_PAGE_MATCH,
                                       {reinterpret_cast<DWORD_PTR>(kind.c_str()),
                                        reinterpret_cast<DWORD_PTR>(name.c_str())});
}

// A new worker for the ticked algorithms; the old one, if any, stops.
void Restart(PageWindow* page) {
    LetWorkerGo(page, StopOnce);
    std::vector<DigestKind> kinds;
    for (DigestKind kind : BoxKinds) {
        if (page->ticked[kind]) {
            kinds.push_back(kind);
        }
    }
    page->context = new PageContext(page->paths, kinds, page->dialog, ++page->generation);
    HWND list = Control(page, IDC_PAGE_FILES);
    ListView_SetItemCountEx(list, 0, 0);
    BuildColumns(page);
    page->worker = StartPageWorker(page->context);
    page->lastTyped.clear();
    OnNews(page);
}

// The look that follows from the context: the row count, the progress, the status lines, the
// commands, the selected file's digests and the compare box's answer.
void OnNews(PageWindow* page) {
    PageContext* context = page->context;
    context->NewsTaken();
    size_t rows, folders, done;
    ULONGLONG doneBytes, totalBytes;
    bool known, finished, anyDigest = false;
    PageReading reading;
    std::wstring readingName;
    {
        SharedLock hold(context->lock);
        rows = context->rows.size();
        folders = context->foldersLeftOut;
        done = context->filesDone;
        doneBytes = context->doneBytes;
        totalBytes = context->totalBytes;
        known = context->rowsKnown;
        finished = context->finished;
        reading = context->reading;
        if (reading.shown) {
            readingName = NameOf(context->files[reading.file].path);
        }
        for (size_t row = 0; row < rows && !anyDigest; ++row) {
            anyDigest = context->files[context->rows[row]].state == FileDigestsDone;
        }
    }
    HWND list = Control(page, IDC_PAGE_FILES);
    if (static_cast<size_t>(ListView_GetItemCount(list)) != rows) {
        ListView_SetItemCountEx(list, static_cast<int>(rows), LVSICF_NOSCROLL);
    } else {
        InvalidateRect(list, NULL, FALSE);
    }
    if (!page->rowChosen && rows > 0) {
        page->rowChosen = true;
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    int position = finished     ? ProgressSteps
                   : totalBytes ? static_cast<int>(doneBytes * ProgressSteps / totalBytes)
                                : 0;
    SendDlgItemMessageW(page->dialog, IDC_PAGE_PROGRESS, PBM_SETPOS, position, 0);
    const PageStage stage = !known ? StageWaiting : finished ? StageDone : StageReading;
    const std::wstring status = StatusText(page, stage, done, rows, readingName, reading);
    // News comes up to twenty times a second; the line is drawn again only when its words change.
    if (status != WindowText(Control(page, IDC_PAGE_STATUS))) {
        SetDlgItemTextW(page->dialog, IDC_PAGE_STATUS, status.c_str());
    }
    SetDlgItemTextW(page->dialog, IDC_PAGE_LEFT_OUT, LeftOutText(page, folders).c_str());
    EnableWindow(Control(page, IDC_PAGE_COPY_ALL), anyDigest);
    EnableWindow(Control(page, IDC_PAGE_SAVE), anyDigest);
    UpdateDetail(page);
    UpdateMatch(page);
}

size_t SelectedRow(const PageWindow* page) {
    int row = ListView_GetNextItem(Control(page, IDC_PAGE_FILES), -1, LVNI_SELECTED);
    return row < 0 ? NoRow : static_cast<size_t>(row);
}

// The selected file's digests as lines "SHA256: hex" in the read-only edit, where they can be
// selected and copied, and its verdict in its tone.
void UpdateDetail(PageWindow* page) {
    const size_t row = SelectedRow(page);
    std::wstring detail, verdict;
    page->verdictToned = false;
    {
        SharedLock hold(page->context->lock);
        if (row < page->context->rows.size()) {
            const PageFile& file = page->context->files[page->context->rows[row]];
            detail = NameOf(file.path) + L"\r\n";
            if (file.digests.empty()) {
                detail += NoDigestText(page, file) + L"\r\n";
            }
            for (size_t k = 0; k < file.digests.size() && k < file.kinds.size(); ++k) {
                detail += WideText(KindName(file.kinds[k])) + L": " + WideText(file.digests[k]) + L"\r\n";
            }
            if (file.recorded) {
                verdict = VerdictLine(page, file);
                page->verdictToned = true;
                page->verdictTone = VerdictTone(file.verdict);
            }
        }
    }
    if (detail != page->detailShown) {
        page->detailShown = detail;
        SetDlgItemTextW(page->dialog, IDC_PAGE_DIGESTS, detail.c_str());
    }
    SetDlgItemTextW(page->dialog, IDC_PAGE_VERDICT, verdict.c_str());
}

// The compare box's digest against every digest shown: the first that matches names its algorithm
// (and its file when there are several) in green, and its row is selected; none, in words and red.
void UpdateMatch(PageWindow* page) {
    const std::string typed = TypedDigest(Utf8Text(WindowText(Control(page, IDC_PAGE_COMPARE))));
    const bool empty =
        WindowText(Control(page, IDC_PAGE_COMPARE)).find_first_not_of(L" \t\r\n") == std::wstring::npos;
    std::wstring answer;
    size_t matched = NoRow;
    bool finished;
    {
        SharedLock hold(page->context->lock);
        finished = page->context->finished;
        const std::vector<size_t>& rows = page->context->rows;
        for (size_t row = 0; row < rows.size() && matched == NoRow && !typed.empty(); ++row) {
            const PageFile& file = page->context->files[rows[row]];
            for (size_t k = 0; k < file.digests.size() && k < file.kinds.size(); ++k) {
                if (file.digests[k] == typed) {
                    answer =
                        MatchText(page, WideText(KindName(file.kinds[k])), NameOf(file.path), rows.size());
                    matched = row;
                    break;
                }
            }
        }
    }
    page->matchToned = !empty;
    if (empty) {
        answer.clear();
    } else if (typed.empty()) {
        answer = Words(page, IDS_PAGE_NO_DIGEST);
        page->matchTone = FailedRed;
    } else if (matched != NoRow) {
        page->matchTone = PassedGreen;
    } else if (finished) {
        answer = Words(page, IDS_PAGE_NO_MATCH);
        page->matchTone = FailedRed;
    } else {
        answer = Words(page, IDS_PAGE_MATCH_WAIT);
        page->matchToned = false;
    }
    SetDlgItemTextW(page->dialog, IDC_PAGE_MATCH, answer.c_str());
    if (matched != NoRow && (matched != page->matchedRow || typed != page->lastTyped)) {
        HWND list = Control(page, IDC_PAGE_FILES);
        ListView_SetItemState(list, static_cast<int>(matched), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, static_cast<int>(matched), FALSE);
    }
    page->matchedRow = matched;
    page->lastTyped = typed;
}

// Every digest shown as *sum lines, one group per algorithm (a "# SHA256" comment before each when
// there are several, which *sum -c skips), names as in their folder.
std::wstring AllDigestsText(const PageWindow* page) {
    std::string text;
    SharedLock hold(page->context->lock);
    const std::vector<DigestKind>& kinds = page->context->kinds;
    for (DigestKind kind : kinds) {
        if (kinds.size() > 1) {
            text += std::string("# ") + KindName(kind) + "\r\n";
        }
        for (size_t index : page->context->rows) {
            const PageFile& file = page->context->files[index];
            const std::string* digest = DigestOf(file, kind);
            if (digest) {
                text += SumLine(*digest, Utf8Text(NameOf(file.path))) + "\r\n";
            }
        }
    }
    return WideText(text);
}

void CopyToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) {
        return;
    }
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    void* bytes = memory ? GlobalLock(memory) : NULL;
    if (bytes) {
        memcpy(bytes, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) {
            GlobalFree(memory);
        }
    } else if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
}

void OnSave(PageWindow* page) {
    std::vector<SavedDigest> digests;
    std::vector<DigestKind> kinds = page->context->kinds;
    std::wstring first;
    size_t rows;
    {
        SharedLock hold(page->context->lock);
        rows = page->context->rows.size();
        for (size_t index : page->context->rows) {
            const PageFile& file = page->context->files[index];
            first = first.empty() ? file.path : first;
            for (size_t k = 0; k < file.digests.size() && k < file.kinds.size(); ++k) {
                SavedDigest digest = {file.path, file.kinds[k], file.digests[k]};
                digests.push_back(digest);
            }
        }
    }
    if (first.empty() || kinds.empty()) {
        return;
    }
    DigestKind preferred = kinds.front();
    for (DigestKind kind : kinds) {
        preferred = kind == DigestSHA256 ? kind : preferred;
    }
    const std::wstring folder = FolderOfPath(first);
    std::wstring name = rows == 1 ? NameOf(first) : NameOf(folder);
    name = name.empty() || name.find(L':') != std::wstring::npos ? L"digests" : name;
    bool failed = false;
    const std::wstring saved =
        SaveDigestList(page->dialog, page->language, digests, kinds, preferred, folder, name, failed);
    if (saved.empty()) {
        return;
    }
    if (failed) {
        const std::wstring message = FormatShellText(page->language, IDS_PAGE_SAVE_FAILED,
                                                     {reinterpret_cast<DWORD_PTR>(saved.c_str())});
        MessageBoxW(page->dialog, message.c_str(), page->title.c_str(),
                    MB_OK | MB_ICONERROR | (ShellReadsRightToLeft() ? MB_RTLREADING | MB_RIGHT : 0));
    } else {
        const std::wstring message =
            FormatShellText(page->language, IDS_PAGE_SAVED, {reinterpret_cast<DWORD_PTR>(saved.c_str())});
        SetDlgItemTextW(page->dialog, IDC_PAGE_STATUS, message.c_str());
    }
}

// One check box per algorithm inside their group, in the table's order, after the group in the
// tab order.
void MakeAlgorithmBoxes(PageWindow* page) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(page->dialog, WM_GETFONT, 0, 0));
    HWND previous = Control(page, IDC_PAGE_ALGORITHMS);
    RECT group;
    GetWindowRect(previous, &group);
    MapWindowPoints(NULL, page->dialog, reinterpret_cast<POINT*>(&group), 2);
    for (size_t place = 0; place < BoxKindCount; ++place) {
        const DigestKind kind = BoxKinds[place];
        const int column = static_cast<int>(place % BoxesPerRow),
                  line = static_cast<int>(place / BoxesPerRow);
        RECT box = {BoxLeft + column * BoxWidth, BoxTop + line * BoxStepY,
                    BoxLeft + (column + 1) * BoxWidth - 2, BoxTop + line * BoxStepY + BoxHeight};
        MapDialogRect(page->dialog, &box);
        RECT origin = {7, 3, 0, 0};
        MapDialogRect(page->dialog, &origin);
        const std::wstring name = WideText(KindName(kind));
        HWND check =
            CreateWindowExW(0, L"BUTTON", name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                            group.left + box.left - origin.left, group.top + box.top - origin.top,
                            box.right - box.left, box.bottom - box.top, page->dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PAGE_ALGORITHM_FIRST + kind)),
                            ThisModule(), NULL);
        SendMessageW(check, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(check, BM_SETCHECK, page->ticked[kind] ? BST_CHECKED : BST_UNCHECKED, 0);
        SetWindowPos(check, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = check;
    }
}

// A digest already on the clipboard goes into the compare box, to be compared as the digests come.
void CompareClipboard(PageWindow* page) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(page->dialog)) {
        return;
    }
    std::wstring text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : NULL;
    if (chars) {
        // A clipboard holds no more than a page would compare.
        text.assign(chars, wcsnlen(chars, 4096));
        GlobalUnlock(data);
    }
    CloseClipboard();
    const std::string typed = TypedDigest(Utf8Text(text));
    if (!typed.empty()) {
        SetDlgItemTextW(page->dialog, IDC_PAGE_COMPARE, WideText(typed).c_str());
    }
}

RECT ControlRect(PageWindow* page, int id) {
    RECT rect;
    GetWindowRect(Control(page, id), &rect);
    MapWindowPoints(NULL, page->dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// One file needs no list of files: its digests box takes the list's place and grows by its own
// height, so every digest shows without scrolling; the bar, the buttons and the status lines move down
// into the room the box leaves.
void FitOneFile(PageWindow* page) {
    const RECT list = ControlRect(page, IDC_PAGE_FILES);
    const RECT digests = ControlRect(page, IDC_PAGE_DIGESTS);
    const int grow = ControlRect(page, IDC_PAGE_VERDICT).top - digests.top;
    ShowWindow(Control(page, IDC_PAGE_FILES), SW_HIDE);
    MoveWindow(Control(page, IDC_PAGE_DIGESTS), list.left, list.top, list.right - list.left,
               list.bottom - list.top + grow, FALSE);
    for (int id : {IDC_PAGE_PROGRESS, IDC_PAGE_COPY_ALL, IDC_PAGE_SAVE, IDC_PAGE_STATUS, IDC_PAGE_LEFT_OUT}) {
        const RECT rect = ControlRect(page, id);
        MoveWindow(Control(page, id), rect.left, rect.top + grow, rect.right - rect.left,
                   rect.bottom - rect.top, FALSE);
    }
}

// Every form the lines below the list take, each with the widest counts and amounts (WidestCount,
// ...), a file and a list of common names and every algorithm and verdict: the page makes room for
// them as it opens.
std::vector<LaterText> LaterTexts(const PageWindow* page) {
    const size_t count = WidestCount;
    std::vector<LaterText> later = {
        {IDC_PAGE_STATUS, StatusText(page, StageReading, count, count, SampleFileName, PageReading())},
        {IDC_PAGE_STATUS, StatusText(page, StageDone, count, count, SampleFileName, PageReading())},
        {IDC_PAGE_LEFT_OUT, LeftOutText(page, 1)},
        {IDC_PAGE_LEFT_OUT, LeftOutText(page, count)},
        {IDC_PAGE_MATCH, Words(page, IDS_PAGE_NO_MATCH)},
        {IDC_PAGE_MATCH, Words(page, IDS_PAGE_NO_DIGEST)},
        {IDC_PAGE_MATCH, Words(page, IDS_PAGE_MATCH_WAIT)},
    };
    for (uint64_t amount : WidestAmounts()) {
        const PageReading reading = {true, 0, amount, amount, static_cast<double>(amount)};
        later.push_back(
            {IDC_PAGE_STATUS, StatusText(page, StageReading, count, count, SampleFileName, reading)});
    }
    for (DigestKind kind : BoxKinds) {
        for (size_t rows : {static_cast<size_t>(1), count}) {
            later.push_back(
                {IDC_PAGE_MATCH, MatchText(page, WideText(KindName(kind)), SampleFileName, rows)});
        }
    }
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    PageFile file = {};
    file.recorded = true;
    file.listName = SampleListName;
    file.recordedAt = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    for (int verdict = VerdictOK; verdict <= VerdictNew; ++verdict) {
        file.verdict = static_cast<Verdict>(verdict);
        later.push_back({IDC_PAGE_VERDICT, VerdictLine(page, file)});
    }
    return later;
}

void OnInitDialog(HWND dialog, PageWindow* page) {
    page->dialog = dialog;
    const struct {
        int control;
        UINT text;
    } words[] = {{IDC_PAGE_ALGORITHMS, IDS_PAGE_ALGORITHMS},
                 {IDC_PAGE_COMPARE_LABEL, IDS_PAGE_COMPARE_LABEL},
                 {IDC_PAGE_COPY_ALL, IDS_PAGE_COPY_ALL},
                 {IDC_PAGE_SAVE, IDS_PAGE_SAVE}};
    for (const auto& word : words) {
        SetDlgItemTextW(dialog, word.control, Words(page, word.text).c_str());
    }
    MakeAlgorithmBoxes(page);
    // Digests and the digest typed to compare read from the left, also on a mirrored page.
    KeepLeftToRight(Control(page, IDC_PAGE_DIGESTS));
    KeepLeftToRight(Control(page, IDC_PAGE_COMPARE));
    HWND list = Control(page, IDC_PAGE_FILES);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    SendDlgItemMessageW(dialog, IDC_PAGE_PROGRESS, PBM_SETRANGE32, 0, ProgressSteps);
    // The page's size is the sheet's: the lines take their room from the fields beside and above them.
    FitTexts(dialog, LaterTexts(page), FitKeepsWindowSize);
    if (page->paths.size() == 1) {
        FitOneFile(page);
    }
    Restart(page);
    CompareClipboard(page);
}

void OnGetDispInfo(PageWindow* page, NMLVDISPINFOW* info) {
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) {
        return;
    }
    std::wstring text;
    {
        SharedLock hold(page->context->lock);
        const size_t row = static_cast<size_t>(info->item.iItem);
        if (row < page->context->rows.size()) {
            text = CellText(page, page->context->files[page->context->rows[row]], info->item.iSubItem);
        }
    }
    lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
}

// The verdict column in its verdict's tone, every other cell in the list's own colour.
LRESULT OnCustomDraw(PageWindow* page, NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
        if (draw->iSubItem == static_cast<int>(page->context->kinds.size()) + 1) {
            SharedLock hold(page->context->lock);
            const size_t row = static_cast<size_t>(draw->nmcd.dwItemSpec);
            if (row < page->context->rows.size() && page->context->files[page->context->rows[row]].recorded) {
                draw->clrText = VerdictTone(page->context->files[page->context->rows[row]].verdict);
            }
        }
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

INT_PTR OnNotify(HWND dialog, PageWindow* page, NMHDR* header) {
    if (header->idFrom != IDC_PAGE_FILES || !page->context) {
        return FALSE;
    }
    switch (header->code) {
    case LVN_GETDISPINFOW:
        OnGetDispInfo(page, reinterpret_cast<NMLVDISPINFOW*>(header));
        return TRUE;
    case LVN_ITEMCHANGED:
        UpdateDetail(page);
        return TRUE;
    case NM_CUSTOMDRAW:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT,
                          OnCustomDraw(page, reinterpret_cast<NMLVCUSTOMDRAW*>(header)));
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR OnCommand(PageWindow* page, WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id >= IDC_PAGE_ALGORITHM_FIRST && id < IDC_PAGE_ALGORITHM_FIRST + static_cast<int>(KindCount) &&
        BoxPosition(id - IDC_PAGE_ALGORITHM_FIRST) >= 0) {
        if (HIWORD(wParam) == BN_CLICKED) {
            const size_t kind = static_cast<size_t>(id - IDC_PAGE_ALGORITHM_FIRST);
            page->ticked[kind] = SendDlgItemMessageW(page->dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
            Restart(page);
        }
        return TRUE;
    }
    switch (id) {
    case IDC_PAGE_COMPARE:
        if (HIWORD(wParam) == EN_CHANGE && page->context) {
            UpdateMatch(page);
        }
        return TRUE;
    case IDC_PAGE_COPY_ALL:
        CopyToClipboard(page->dialog, AllDigestsText(page));
        return TRUE;
    case IDC_PAGE_SAVE:
        OnSave(page);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR OnColorStatic(PageWindow* page, HDC dc, HWND control) {
    const bool match = control == Control(page, IDC_PAGE_MATCH) && page->matchToned;
    const bool verdict = control == Control(page, IDC_PAGE_VERDICT) && page->verdictToned;
    if (!match && !verdict) {
        return FALSE;
    }
    SetTextColor(dc, match ? page->matchTone : page->verdictTone);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK PageProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PageWindow* page = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    try {
        switch (message) {
        case WM_INITDIALOG:
            page = reinterpret_cast<PageWindow*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
            OnInitDialog(dialog, page);
            return TRUE;
        case WM_PAGE_NEWS:
            if (page && page->context && wParam == page->generation) {
                OnNews(page);
            }
            return TRUE;
        case WM_NOTIFY:
            return page ? OnNotify(dialog, page, reinterpret_cast<NMHDR*>(lParam)) : FALSE;
        case WM_COMMAND:
            return page ? OnCommand(page, wParam) : FALSE;
        case WM_CTLCOLORSTATIC:
            return page ? OnColorStatic(page, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))
                        : FALSE;
        case WM_DESTROY:
            if (page) {
                LetWorkerGo(page, StopAndCancel);
            }
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        // Out of memory inside Explorer: the page shows what it had.
        return FALSE;
    }
}

UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* sheetPage) {
    if (message == PSPCB_RELEASE && sheetPage) {
        PageWindow* page = reinterpret_cast<PageWindow*>(sheetPage->lParam);
        LetWorkerGo(page, StopAndCancel);
        delete page;
    }
    return TRUE;
}

} // namespace

HPROPSHEETPAGE CreateDigestsSheetPage(const std::vector<std::wstring>& paths) {
    PageWindow* page = new (std::nothrow) PageWindow;
    if (!page) {
        return NULL;
    }
    try {
        page->paths = paths;
        page->language = LoadShellLanguage();
        page->title = Words(page, IDS_PAGE_TITLE);
        const std::wstring mark = Words(page, IDS_DECIMAL_MARK);
        if (mark.size() == 1 && mark[0] > L' ' && mark[0] < 0x80) {
            page->decimalMark = static_cast<char>(mark[0]);
        }
        if (page->title.empty()) {
            page->title = L"Digests";
        }
        if (ShellReadsRightToLeft()) {
            page->mirrored = MirroredTemplate(ThisModule(), IDD_DIGESTS_PAGE);
        }
        for (DigestKind kind : DefaultKinds) {
            page->ticked[kind] = true;
        }
    } catch (...) {
        delete page;
        return NULL;
    }
    PROPSHEETPAGEW sheetPage = {};
    sheetPage.dwSize = sizeof(sheetPage);
    sheetPage.dwFlags = PSP_USETITLE | PSP_USECALLBACK;
    sheetPage.hInstance = ThisModule();
    sheetPage.pszTemplate = MAKEINTRESOURCEW(IDD_DIGESTS_PAGE);
    if (!page->mirrored.empty()) {
        sheetPage.dwFlags |= PSP_DLGINDIRECT | PSP_RTLREADING;
        sheetPage.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(page->mirrored.data());
    }
    sheetPage.pszTitle = page->title.c_str();
    sheetPage.pfnDlgProc = PageProcedure;
    sheetPage.lParam = reinterpret_cast<LPARAM>(page);
    sheetPage.pfnCallback = PageCallback;
    HPROPSHEETPAGE made = CreatePropertySheetPageW(&sheetPage);
    if (!made) {
        delete page;
    }
    return made;
}
