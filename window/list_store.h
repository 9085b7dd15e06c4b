// ListStore: the text of the file list's entries, kept by the program rather
// than by the list box, so that an entry's text can change in place: the list
// box of Wine (and of Windows) moves every later entry to remove or insert
// one, which made a run over a long list quadratic. The texts lie one after
// another in large blocks; an entry is a pointer to its text. Window thread
// only: the list box's procedure owns it.
#pragma once

#include <stddef.h>

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
    // Bytes held: blocks and pointers, for the benchmark's working set.
    size_t HeldBytes() const;

private:
    // Room for size bytes in the newest block, or null.
    char* Reserve(size_t size);
    // Copies the live texts into fresh blocks once the dead ones outweigh them.
    void CompactIfWasteful();

    std::vector<char*> m_entries;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used; // bytes used in the newest block
    size_t m_live; // bytes of the entries' texts, terminators included
    size_t m_dead; // bytes of replaced or erased texts still in the blocks
};
