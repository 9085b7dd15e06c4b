// The windows of another process: finding them and reading their texts.
//
// Texts are read with the wide messages and converted to the ANSI code page: across a process
// boundary Wine hands the ANSI forms back as UTF-16.  Every message goes through
// SendMessageTimeoutW, so a hung program fails a read instead of hanging the reader.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How long one cross-process message may take before the read counts as failed.
constexpr UINT kMessageTimeoutMs = 5000;

// Top-level windows that belong to processId, hidden ones included, in Z order.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Visible top-level windows that belong to processId, in Z order.
std::vector<HWND> VisibleTopLevelWindows(DWORD processId);

// The caption of a top-level window, read without sending it a message.
std::string CaptionOf(HWND window);

// Direct children of parent, in Z order (which is the template order of a dialog).
std::vector<HWND> ChildWindows(HWND parent);

std::string ClassNameOf(HWND window);

// WM_GETTEXT.  ok (when given) reports whether the window answered.
std::string WindowText(HWND window, bool* ok = nullptr);

// CB_GETLBTEXT / LB_GETTEXT of one item.
std::string ComboItemText(HWND combo, int index, bool* ok = nullptr);
std::string ListItemText(HWND list, int index, bool* ok = nullptr);

// A message that carries no pointer, sent with the timeout; returns fallback when it fails.
LRESULT SendPlainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT fallback = -1);

// Returns once the window's thread has handled every message sent before (a WM_NULL round trip).
bool SyncWithWindow(HWND window);

// True for a message box: a dialog with a text static (ID 0xFFFF) and one of the standard
// buttons (IDOK, IDCANCEL, IDYES, IDNO) among its children.
bool IsMessageBox(HWND window);

// Caption of Digestor's main window.
constexpr const char* kMainCaption = "Digestor";

// Digestor's main window in processId: visible, top-level, captioned kMainCaption, and not one of
// the program's message boxes (which carry the same title).  Null while there is none.
HWND FindMainWindow(DWORD processId);
