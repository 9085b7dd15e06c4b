// A fresh folder tree under the temporary folder for the tests that list
// files, removed with everything in it at the end.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return m_root; }
    // Creates the folder relative below the root; its full path.
    std::string Folder(const std::string& relative);
    // Creates an empty file relative below the root; its full path.
    std::string File(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    // Removes the file or folder relative below the root with everything in it.
    void Remove(const std::string& relative);
    // Creates a chain of folders named segment below folder, each holding
    // f.txt, until the paths pass length characters; the deepest f.txt. The
    // ANSI calls stop at MAX_PATH, so this goes through the wide ones.
    std::string DeepChain(const std::string& folder, const std::string& segment, size_t length);

private:
    std::string m_root;
};

// The files below folder in the order a depth-first walk meets them, as the
// file system delivers entries: the order ScanFolder must keep.
std::vector<std::string> WalkOrder(const std::string& folder);

// The main window's list entries, read in the test's thread.
std::vector<std::string> ListedEntries();
