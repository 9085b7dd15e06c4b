// GuiListbox: the main window's file list. It offers the entry operations the
// rest of the program uses, and draws the entries itself: light grey bars with
// black text, the selected entry dark grey with white text.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

class ListStore;

// Drawing record, hung on the list box and on its parent as the window
// property below. Created once and kept until the process ends.
struct GuiListboxStyle {
    HPEN normalPen;
    HPEN selectedPen;
    COLORREF normalTextColor;
    COLORREF selectedTextColor;
    HBRUSH normalBrush;
    HBRUSH selectedBrush;
    WNDPROC parentProc; // the parent's procedure before ListParentProc
    WNDPROC listProc;   // the list box's procedure before ListBoxProc
    HWND listWindow;
    int32_t topMargin; // margins of the text inside the item rectangle, in pixels
    int32_t bottomMargin;
    int32_t leftMargin;
    int32_t rightMargin;
    UINT dpi; // the DPI the list's item height is in
    // The entries' texts. The list box holds an empty string per entry; its
    // procedure below answers every text message from here.
    ListStore* entries;
    // What the list's callers asked for with WM_SETREDRAW, and whether the
    // list box paints nothing until MSG_LIST_REDRAW while they want painting.
    bool redrawWanted;
    bool redrawDeferred;
    // How verdict lines begin ("OK <- ", in the module's words), by
    // VerdictTones (gui_listbox.cpp): they are drawn in its tone.
    std::vector<std::string> verdictMarks;
};

extern const char* const GuiListboxProperty; // "VarnoLibraryGuiListbox"

// Put in front of the parent's procedure: draws the list's entries, answers
// their removal itself, and scales their height when the parent moves to a
// screen of another DPI.
LRESULT CALLBACK ListParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Put in front of the list box's procedure: keeps the entries' texts in the
// record's store (adding, inserting, removing, clearing, LB_GETTEXT and
// LB_GETTEXTLEN, from this process or another, A or W), answers the search
// for a typed character from them, and repaints every entry on a resize.
// Entries added or removed one after another are painted once, when the
// window thread next reads its messages: under Wine every change of a list
// that paints costs milliseconds of scroll bar and display work.
LRESULT CALLBACK ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Each operation is one synchronous message to the list box (GetEntry and
// GetSelectedEntry send more), so workers may call them: the window thread
// carries them out. Entries hold at most 519 characters, so a 520-byte buffer
// takes any of them.
class GuiListbox {
public:
    // Wraps list, a list box with LBS_OWNERDRAWFIXED and LBS_HASSTRINGS, and
    // subclasses it and its parent for drawing.
    explicit GuiListbox(HWND list);

    // Appends text; its index, or LB_ERR / LB_ERRSPACE. A text of 520
    // characters or more is refused with LB_ERR and nothing is sent.
    LRESULT AddEntry(const char* text);
    // Inserts text before the entry at index (-1 appends); same results and limit.
    LRESULT InsertEntry(int index, const char* text);
    // Removes the entry at index; the remaining count, or LB_ERR.
    LRESULT DeleteEntry(int index);
    // Entry index gets text in place, at the same cost whatever the list's
    // length; a selected entry loses its selection, as when it is removed and
    // inserted again. Its index, or LB_ERR (same limit as AddEntry).
    LRESULT ReplaceEntry(int index, const char* text);
    void ClearEntries();
    // Copies entry index into buffer (520 bytes). False, with buffer untouched,
    // when there is no such entry or it would not fit.
    bool GetEntry(int index, char* buffer);
    // Copies the selected entry into buffer (520 bytes). False, with buffer
    // untouched, when nothing is selected or the entry would not fit.
    bool GetSelectedEntry(char* buffer);
    // Selects the entry at index; -1 removes the selection. The list box's answer.
    LRESULT SetSelection(int index);
    // Number of entries, or LB_ERR.
    LRESULT EntryCount();

    bool IsSetUp() const { return m_setUp; }
    // The entries' texts, read in place: window thread only.
    const ListStore& Entries() const;

private:
    bool AttachStyle();

    bool m_setUp;
    GuiListboxStyle* m_style;
    HWND m_parent;
    HWND m_list;
};
