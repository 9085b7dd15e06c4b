// ListStore: the text of the file list's entries, kept by the program rather
// than by the list box, so that an entry's text can change in place: the list
// box of Wine (and of Windows) moves every later entry to remove or insert
// one, which made a run over a long list quadratic. The texts lie one after
// another in large blocks; an entry is a pointer to its text. A block whose
// texts have all been replaced or removed is freed at once, so a run, which
// replaces the entries in the order they were added, holds about one block of
// old text at a time. Window thread only: the list box's procedure owns it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <map>
#include <memory>
#include <vector>

class ListStore {
public:
    ListStore();
    size_t Count() const { return m_entries.size(); }
    // The text of entry index (< Count()), ended by '\0'.
    const char* Text(size_t index) const { return m_entries[index]; }
    // Inserts text before entry index (Count() appends). False when there is no
    // memory for it; the store is then as it was.
    bool Insert(size_t index, const char* text);
    // Entry index gets text. False when there is no memory; the entry keeps its own.
    bool Replace(size_t index, const char* text);
    void Erase(size_t index);
    // Frees every block at once: no per-entry work beyond the pointers.
    void Clear();

private:
    struct Block {
        std::unique_ptr<char[]> text;
        size_t live; // bytes of entries' texts in it, terminators included
    };

    // Room for size bytes in the newest block, or null.
    char* Reserve(size_t size);
    // The text at text is no longer an entry's.
    void Release(const char* text);
    // Copies the live texts into fresh blocks once the dead ones outweigh them.
    void CompactIfWasteful();

    std::vector<char*> m_entries;
    std::map<uintptr_t, Block> m_blocks; // by the address of their first byte
    char* m_newest;                      // the block that takes new text
    size_t m_used;                       // bytes used in it
    size_t m_live;                       // bytes of the entries' texts in all blocks
    size_t m_held;                       // bytes of all blocks
};
