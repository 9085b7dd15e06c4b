// The main window as the start-up runs it, in the system's language, on a window thread of its
// own, its message boxes answered and recorded; a temporary tree.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/digestor.h"

// Polls condition every 10 ms for at most timeoutMs; true once it holds.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);
std::string DigestOf(DigestKind kind, const std::string& bytes); // the engine's, in one piece
// "digest <- ALG -> path" with the engine's digest of the file's bytes.
std::string ResultLine(DigestKind kind, const std::string& path);
std::string WindowText(HWND window);
std::string ReadBytes(const std::string& path); // a file's bytes, at any length and in any script
extern const char* const DigestNames[13];       // the names lines carry, by DigestKind
extern const DigestKind BoxOrder[12];           // what the boxes offer, top to bottom

struct SeenBox {
    std::string caption, text;
    HWND owner;
    UINT flags;      // the MB_ICON* it shows, and MB_YESNO when it asks
    bool ownerShown; // its owner was visible when it appeared
};

class WinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override; // closes the window; fails on boxes not in m_allowedBoxes
    void OnWindowThread(const std::function<void()>& work); // between two of its messages
    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    // String id of the language module, formatted with first and second.
    std::string Text(UINT id, const std::string& first = "", const std::string& second = "") const;
    std::string Tally(int checked, int ok, int failed, int missing, int notChecked) const; // IDS_CHECK_TALLY
    // IDS_COMPARE_TALLY: same, different, missing, extra, moved, read errors, other forms.
    std::string CompareTally(const std::string& original, const std::string& copy, std::vector<int> n) const;
    // The dialog's caption ("Digestor: " and string caption, unless 0) and its controls' texts.
    void ExpectTexts(HWND dialog, UINT caption, std::initializer_list<std::pair<int, UINT>> controls);
    std::vector<std::string> Entries();
    void SetEntries(const std::vector<std::string>& entries);
    void Drop(const std::vector<std::string>& paths); // WM_DROPFILES as the shell sends it
    HANDLE Start();  // IDC_START as the button sends it; our own handle of the new worker, or null
    bool WaitIdle(); // no walk, no progress dialog, no hash worker, no message box
    std::vector<SeenBox> Boxes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_boxes;
    }
    std::string Path(const std::string& relative) const { return m_root + "\\" + relative; }
    // A file of size pseudo-random bytes, the same for the same size; folders made as needed.
    std::string File(const std::string& relative, size_t size = 0);
    HWND m_window = NULL;
    int m_answer = IDYES; // to Yes/No boxes (IDNO with DIGESTOR_ANSWER_NO set); the others get OK
    std::set<std::string> m_allowedBoxes;

private:
    static DWORD WINAPI WindowThread(void* self);
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam);
    HMODULE m_language = NULL; // our own reference; LanguageModule is the window's
    std::string m_root;
    HANDLE m_thread = NULL;
    HWND m_helper = NULL;
    std::mutex m_mutex;
    std::vector<SeenBox> m_boxes;
};
